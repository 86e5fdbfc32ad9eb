// Pick and measure in the viewer: a press with Shift highlights the nearest entity and tells
// its measure, the release takes the highlight away and measures a line against the previous.
#include <windows.h>

#include <cmath>

#include "render/image_canvas_win.h"
#include "viewer/pick.h"
#include "viewer/zoomer_form_win.h"

namespace tesmar {
namespace {

TAcadPoint Relative(TAcadPoint p, TAcadPoint centre) { return TAcadPoint{p.x - centre.x, p.y - centre.y, 0}; }

}  // namespace

void TMorvikZoomerForm::PickPress(int X, int Y) {
  const TDrawingModel& m = drawing_->model;
  const TPick pick = PickNearest(m, ScreenToWorld(TPixel{X, Y}, View()));
  switch (pick.kind) {
    case TPickKind::None:
      return;
    case TPickKind::Line:
      mvret1 = pick.index;
      break;
    case TPickKind::Circle: {
      const TCircleBlk& c = m.CircleAry[pick.index];
      Edit1().SetText(CircleRadiusStatus(c.layer, c.hankei));
      mvret2 = pick.index;
      break;
    }
    case TPickKind::Arc: {
      const TArcBlk& a = m.ArcAry[pick.index];
      Edit1().SetText(ArcRadiusStatus(a.layer, a.hankei));
      mvret3 = pick.index;
      break;
    }
    case TPickKind::Text: {
      const TTextBlk& t = m.TextAry[pick.index];
      Edit1().SetText(TextHeightStatus(t.layer, t.code40, t.str));
      mvret4 = pick.index;
      break;
    }
    case TPickKind::Fill: {
      const TFillBlk& f = m.FillAry[pick.index];
      Edit1().SetText(FillAreaStatus(f.layer, FillArea(f)));
      mvret5 = pick.index;
      break;
    }
  }
  ImagePass pass(image1_);
  pass.canvas().SetPenMode(PenMode::Invert);
  DrawPickHighlight(pass.canvas(), int(pick.kind), pick.index);
}

void TMorvikZoomerForm::PickRelease() {
  int kind = 0;
  std::int32_t index = -1;
  if (mvret1 >= 0 && mvret2 < 0 && mvret3 < 0 && mvret4 < 0) {
    const TAcadLineBlk& l = drawing_->model.LineAry[mvret1];
    const double L = std::hypot(l.ed.x - l.st.x, l.ed.y - l.st.y);
    std::u16string status = LineLengthStatus(l.layer, L, std::nullopt);
    if (const auto d = MutualDistance(l, OldPickLine)) status = LineLengthStatus(l.layer, L, d);
    Edit1().SetText(status);
    OldPickLine = l;
    kind = int(TPickKind::Line), index = mvret1;
  } else if (mvret2 >= 0 && mvret3 < 0 && mvret4 < 0) {
    kind = int(TPickKind::Circle), index = mvret2;
  } else if (mvret3 >= 0 && mvret4 < 0) {
    kind = int(TPickKind::Arc), index = mvret3;
  } else if (mvret4 >= 0) {
    kind = int(TPickKind::Text), index = mvret4;
  } else if (mvret5 >= 0) {
    kind = int(TPickKind::Fill), index = mvret5;
  } else {
    return;
  }
  ImagePass pass(image1_);
  pass.canvas().SetPenMode(PenMode::Invert);
  DrawPickHighlight(pass.canvas(), kind, index);
  pass.canvas().SetPenMode(PenMode::Copy);
}

void TMorvikZoomerForm::DrawPickHighlight(Canvas& c, int kind, std::int32_t index) {
  const TDrawingModel& m = drawing_->model;
  const TView v = View();
  const double s = PixelSize(v);
  const TPixel origin = v.Origin();
  switch (TPickKind(kind)) {
    case TPickKind::Line: {
      const TAcadLineBlk& l = m.LineAry[index];
      DrawSegment(c, origin, s, Relative(l.st, g_cadpt), Relative(l.ed, g_cadpt), kBlack, 7, psSolid);
      break;
    }
    case TPickKind::Circle: {
      const TCircleBlk& ci = m.CircleAry[index];
      DrawArc(c, origin, s, Relative(ci.center, g_cadpt), ci.hankei, 0, 0, kBlack, 7, psSolid);
      break;
    }
    case TPickKind::Arc: {
      const TArcBlk& a = m.ArcAry[index];
      DrawArc(c, origin, s, Relative(a.center, g_cadpt), a.hankei, a.st * kDegToRad, a.ed * kDegToRad, kBlack, 7, psSolid);
      break;
    }
    case TPickKind::Text: {
      const TTextBlk& t = m.TextAry[index];
      DrawArc(c, origin, s, Relative(TextReferencePoint(t), g_cadpt), t.code40, 0, 0, kBlack, 7, psSolid);
      break;
    }
    case TPickKind::Fill: {
      const TFillBlk& f = m.FillAry[index];
      std::size_t start = 0;
      for (const std::uint32_t n : f.counts) {
        if (start + n > f.pts.size()) break;
        for (std::uint32_t k = 0; k < n; ++k)
          DrawSegment(c, origin, s, Relative(f.pts[start + k], g_cadpt), Relative(f.pts[start + (k + 1) % n], g_cadpt),
                      kBlack, 7, psSolid);
        start += n;
      }
      break;
    }
    case TPickKind::None:
      break;
  }
}

}  // namespace tesmar
