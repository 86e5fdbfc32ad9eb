// The render pass over the index, with its direct writes into the raster.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <type_traits>
#include <unordered_set>
#include <vector>

#include "render/render_pass.h"
#include "render/render_pass_parts.h"

namespace tesmar::render_pass {
namespace {

enum class Cull { Outside, Inside, Test };

Cull Classify(const TRenderIndex::Box& b, const TBox& r) {
  if (b.maxx < r.min.x || b.minx > r.max.x || b.maxy < r.min.y || b.miny > r.max.y) return Cull::Outside;
  if (b.minx >= r.min.x && b.maxx <= r.max.x && b.miny >= r.min.y && b.maxy <= r.max.y) return Cull::Inside;
  return Cull::Test;
}

// Lines of one pen gathered for one poly-polyline call.
class LineBatch {
 public:
  explicit LineBatch(Canvas& c) : canvas_(c) {}
  void Add(TPixel P, TPixel Q) {
    pts_.push_back(CanvasPoint{P.x, P.y});
    pts_.push_back(CanvasPoint{Q.x, Q.y});
    counts_.push_back(2);
  }
  bool Empty() const { return counts_.empty(); }
  void Flush() {
    if (counts_.empty()) return;
    canvas_.PolyPolyline(pts_.data(), counts_.data(), counts_.size());
    pts_.clear();
    counts_.clear();
  }

 private:
  Canvas& canvas_;
  std::vector<CanvasPoint> pts_;
  std::vector<std::uint32_t> counts_;
};

// The pass over the index. Records are visited in table order, so overlaps paint as in the
// plain pass; what differs is only what costs nothing on the screen: records outside the view
// are dismissed by their boxes, segments whose ends fall on one pixel and primitives wholly
// outside the image make no canvas call, solid one-pixel lines of one pen go out together,
// and in copy mode a line, arc or pixel that the current pen has already drawn is not drawn
// again.
class IndexedPass {
 public:
  IndexedPass(Pass& p, const TRenderIndex& index) : p_(p), index_(index), batch_(p.canvas) {
    thin_ = p.a.penWidth <= 1;
    margin_ = std::max(p.a.penWidth, 1);
    for (const TLayer& l : p.m.LayerAry) visible_.push_back(l.visible);
    copy_ = p.canvas.Pen().mode == PenMode::Copy;
    direct_ = copy_ && thin_ && p.a.raster && p.a.raster->W == p.a.W && p.a.raster->H == p.a.H ? p.a.raster : nullptr;
  }

  void Run() {
    const bool fast = p_.a.fast;
    Table(p_.m.FillAry, index_.fills, false, FillInView, [&](TFillBlk& r) {
      Flush();
      Forget();
      CanvasDraws();
      p_.Fill(r);
    });
    Table(p_.m.LineAry, index_.lines, fast, LineInView, [&](TAcadLineBlk& r) { Line(r); }, &index_.lineLayers);
    Table(p_.m.CircleAry, index_.circles, fast, CircleInView, [&](TCircleBlk& r) { Round(r); });
    Table(p_.m.ArcAry, index_.arcs, fast, ArcInView, [&](TArcBlk& r) { Round(r); });
    for (const TXlineBlk& r : p_.m.XlineAry) {
      if (!Wanted(r)) continue;
      ++p_.count;
      TAcadPoint a, b;
      if (p_.XlineEnds(r, a, b)) Segment(a, b, p_.ColourOf(r.PenColor), r.PenStyle);
    }
    if (!fast) {
      Table(p_.m.TextAry, index_.texts, false, TextInView, [&](TTextBlk& r) {
        if (TextCellHeight(r.code40, p_.s) <= 1) return;
        Flush();
        Forget();
        CanvasDraws();
        p_.Text(r);
      });
    }
    batch_.Flush();
  }

 private:
  template <class Record>
  bool Wanted(const Record& r) const {
    if (Skipped(r)) return false;
    if constexpr (std::is_same_v<Record, TTextBlk>) {
      if ((r.code70 & 1) != 0) return false;
    }
    const std::int32_t layer = static_cast<std::int32_t>(r.layindex);
    if (p_.selected >= 0) return layer == p_.selected;
    return layer < 0 || static_cast<std::size_t>(layer) >= visible_.size() || visible_[layer];
  }

  bool WantedLayer(std::int32_t layer) const {
    if (layer == TRenderIndex::kNeverDrawn) return false;
    if (p_.selected >= 0) return layer == p_.selected;
    return layer < 0 || static_cast<std::size_t>(layer) >= visible_.size() || visible_[layer];
  }

  // The pixel column and row that a world point's x and y round to, as the segment's ends do.
  std::int32_t Column(double x) const { return NearestInt((x - p_.a.centre.x) / p_.s); }
  std::int32_t RowOf(double y) const { return NearestInt(-(y - p_.a.centre.y) / p_.s); }

  // True when every point of the box rounds to one pixel: a thin segment inside it has both
  // ends on that pixel and draws nothing (the rounding keeps the order of coordinates).
  bool OnOnePixel(const TRenderIndex::Box& b) const {
    return thin_ && Column(b.minx) == Column(b.maxx) && RowOf(b.miny) == RowOf(b.maxy);
  }

  template <class Rows, class InView, class Draw>
  void Table(Rows& rows, const std::vector<TRenderIndex::Box>& boxes, bool fast, InView inView, Draw draw,
             const std::vector<std::int32_t>* layers = nullptr) {
    const std::size_t stepBy = fast ? 2 : 1;
    const bool cull = p_.selected < 0 && !p_.a.drawAll && boxes.size() == rows.size();
    if (layers && layers->size() == rows.size() && boxes.size() == rows.size()) {
      // Lines: the box and the layer decide most of them without the record being read.
      const bool wantAll = p_.selected >= 0 || p_.a.drawAll;
      for (std::size_t i = 0; i < rows.size(); i += stepBy) {
        if (!WantedLayer((*layers)[i])) continue;
        const Cull c = Classify(boxes[i], p_.R);
        if (!wantAll && (c == Cull::Outside || (c == Cull::Test && !inView(rows[i], p_.R)))) continue;
        ++p_.count;
        if (c == Cull::Inside && OnOnePixel(boxes[i])) continue;
        draw(rows[i]);
      }
      return;
    }
    for (std::size_t i = 0; i < rows.size(); i += stepBy) {
      if (cull) {
        const Cull c = Classify(boxes[i], p_.R);
        if (c == Cull::Outside) continue;
        if (!Wanted(rows[i])) continue;
        if (c == Cull::Test && !inView(rows[i], p_.R)) continue;
      } else {
        if (!Wanted(rows[i])) continue;
        if (p_.selected < 0 && !p_.a.drawAll && !inView(rows[i], p_.R)) continue;
      }
      ++p_.count;
      draw(rows[i]);
    }
  }

  void Flush() {
    if (!batch_.Empty()) CanvasDraws();
    batch_.Flush();
    pixelValid_ = false;
  }

  // The canvas is about to draw: what it draws may be held back until the next Sync.
  void CanvasDraws() { synced_ = false; }

  // Writes pixel P (inside the image) with colour-table index `value` straight into the raster.
  void Put(TPixel P, std::uint8_t value) {
    if (!synced_) direct_->Sync(), synced_ = true;
    direct_->rows.Row(P.y)[P.x] = value;
  }

  bool InImage(TPixel P) const { return P.x >= 0 && P.y >= 0 && P.x < p_.a.W && P.y < p_.a.H; }

  // Forgets what was drawn with the current pen: after a pen change or a drawing in another
  // colour, drawing the same primitive again may change pixels.
  void Forget() {
    segments_.clear();
    onePixel_.clear();
    arcs_.clear();
  }

  // Sets the pen, first sending the lines gathered with the pen that goes.
  void Pen(Colour colour, TPenStyle style) {
    const PenState pen = p_.canvas.Pen();
    if (pen.colour == colour && pen.width == p_.a.penWidth && pen.style == style) return;
    Flush();
    Forget();
    SetPen(p_.canvas, colour, p_.a.penWidth, style);
    penIndexValid_ = false;
  }

  std::uint8_t PenIndex() {
    if (!penIndexValid_) penIndex_ = direct_->PenIndex(p_.canvas.Pen().colour), penIndexValid_ = true;
    return penIndex_;
  }

  static bool Short16(int v) { return v >= -32768 && v <= 32767; }
  static std::uint32_t Pack(TPixel p) {
    return (static_cast<std::uint32_t>(p.x) & 0xFFFF) | ((static_cast<std::uint32_t>(p.y) & 0xFFFF) << 16);
  }

  // True when the same pen has already drawn exactly these pixels in copy mode, so that
  // drawing them again changes nothing. A segment whose ends are neighbours draws only its
  // first pixel, whatever the neighbour.
  bool Repeated(TPixel P, TPixel Q) {
    if (!copy_ || !Short16(P.x) || !Short16(P.y) || !Short16(Q.x) || !Short16(Q.y)) return false;
    if (std::abs(P.x - Q.x) <= 1 && std::abs(P.y - Q.y) <= 1) return !onePixel_.insert(Pack(P)).second;
    return !segments_.insert((static_cast<std::uint64_t>(Pack(P)) << 32) | Pack(Q)).second;
  }

  bool OffImage(int x1, int y1, int x2, int y2) const {
    return std::max(x1, x2) < -margin_ || std::min(x1, x2) >= p_.a.W + margin_ || std::max(y1, y2) < -margin_ ||
           std::min(y1, y2) >= p_.a.H + margin_;
  }

  void Segment(TAcadPoint p, TAcadPoint q, Colour colour, TPenStyle style) {
    TPixel P, Q;
    const bool visible = SegmentPixels(p_.a.origin, p_.s, p, q, P, Q);
    Pen(colour, style);
    if (!visible || (thin_ && (P == Q || OffImage(P.x, P.y, Q.x, Q.y)))) return;
    // Ends on neighbouring pixels: the solid pen draws the first pixel alone.
    if (direct_ && style == 0 && std::abs(P.x - Q.x) <= 1 && std::abs(P.y - Q.y) <= 1) {
      if (InImage(P)) Put(P, PenIndex());
      return;
    }
    if (thin_ && style == 0) {
      if (Repeated(P, Q)) return;
      batch_.Add(P, Q);
      pixelValid_ = false;
      return;
    }
    Flush();
    CanvasDraws();
    p_.canvas.MoveTo(P.x, P.y);
    p_.canvas.LineTo(Q.x, Q.y);
  }

  // The pixel at the centre of a circle or arc that comes to one pixel, in `colour`.
  void CentrePixel(TPixel P, Colour colour) {
    if (!InImage(P)) return;
    if (direct_) {
      // Lines of the current pen that are still to go out may cover P: they go first unless they
      // are of the same colour.
      if (colour != p_.canvas.Pen().colour) {
        Flush();
        Forget();
      }
      if (colour != pixelColour_ || !pixelIndexValid_) {
        pixelIndex_ = direct_->PixelIndex(colour), pixelColour_ = colour, pixelIndexValid_ = true;
      }
      Put(P, pixelIndex_);
      return;
    }
    if (copy_ && pixelValid_ && P == lastPixel_ && colour == lastColour_) return;
    batch_.Flush();
    if (colour != p_.canvas.Pen().colour) Forget();
    CanvasDraws();
    p_.canvas.SetPixel(P.x, P.y, colour);
    pixelValid_ = true, lastPixel_ = P, lastColour_ = colour;
  }

  void Line(const TAcadLineBlk& r) { Segment(p_.Rel(r.st), p_.Rel(r.ed), p_.ColourOf(r.PenColor), r.PenStyle); }

  // A circle or an arc.
  template <class Record>
  void Round(Record& r) {
    double a0 = 0, a1 = 0;
    const TAcadPoint c = p_.Rel(r.center);
    const Colour colour = p_.ColourOf(r.PenColor);
    if constexpr (std::is_same_v<Record, TArcBlk>) {
      Pass::NormaliseArc(r);
      if (std::fabs(r.ed - r.st) <= 1) {
        Segment(AcadPointPolar(c, r.st * kDegToRad, r.hankei), AcadPointPolar(c, r.ed * kDegToRad, r.hankei), colour,
                r.PenStyle);
        return;
      }
      a0 = r.st * kDegToRad, a1 = r.ed * kDegToRad;
    }
    const double s = p_.s;
    if (NearestInt(r.hankei / s) < 1) {
      const double cx = c.x / s, cy = -c.y / s;
      if (!InGuard(cx, cy)) return;
      CentrePixel(Pixel(cx, cy, p_.a.origin), colour);
      return;
    }
    const double R = r.hankei / s, cx = c.x / s + p_.a.origin.x, cy = -c.y / s + p_.a.origin.y;
    if (thin_ && OffImage(static_cast<int>(std::max(cx - R - 2, -1e9)), static_cast<int>(std::max(cy - R - 2, -1e9)),
                          static_cast<int>(std::min(cx + R + 2, 1e9)), static_cast<int>(std::min(cy + R + 2, 1e9)))) {
      Pen(colour, r.PenStyle);
      return;
    }
    Pen(colour, r.PenStyle);
    if (copy_ && thin_ && r.PenStyle == 0 && R < 16384 && std::fabs(cx) < 16384 && std::fabs(cy) < 16384) {
      // The arc's pixels follow from its box and its two end pixels.
      const TAcadPoint S = AcadPointPolar(c, a0, r.hankei), E = AcadPointPolar(c, a1, r.hankei);
      const TPixel ps = WorldToScreen(S, s, p_.a.origin), pe = WorldToScreen(E, s, p_.a.origin);
      const TPixel tl = WorldToScreen(TAcadPoint{c.x - r.hankei, c.y + r.hankei, 0}, s, p_.a.origin);
      const TPixel br = WorldToScreen(TAcadPoint{c.x + r.hankei, c.y - r.hankei, 0}, s, p_.a.origin);
      // Equal end pixels draw the whole circle or the centre pixel, by the sweep.
      const double sweep = std::fabs((a0 > a1 ? a1 + kTwoPi : a1) - a0);
      const std::int32_t kind = sweep <= kHundredthDegree ? 0 : sweep <= kPi ? 1 : 2;
      if (direct_ && kind == 1 && ps == pe) {
        // A short arc whose ends fall on one pixel shrinks to the pixel at its centre.
        CentrePixel(Pixel(c.x / s, -c.y / s, p_.a.origin), colour);
        return;
      }
      const std::array<std::int32_t, 9> key{tl.x, tl.y, br.x, br.y, ps.x, ps.y, pe.x, pe.y, kind};
      if (!arcs_.insert(key).second) return;
    }
    Flush();
    CanvasDraws();
    DrawArc(p_.canvas, p_.a.origin, s, c, r.hankei, a0, a1, colour, p_.a.penWidth, r.PenStyle);
  }

  struct ArcKeyHash {
    std::size_t operator()(const std::array<std::int32_t, 9>& k) const {
      std::uint64_t h = 1469598103934665603ull;
      for (std::int32_t v : k) h = (h ^ static_cast<std::uint32_t>(v)) * 1099511628211ull;
      return static_cast<std::size_t>(h);
    }
  };

  Pass& p_;
  const TRenderIndex& index_;
  TRasterTarget* direct_ = nullptr;
  bool synced_ = false;
  bool penIndexValid_ = false, pixelIndexValid_ = false;
  std::uint8_t penIndex_ = 0, pixelIndex_ = 0;
  Colour pixelColour_ = 0;
  LineBatch batch_;
  std::vector<bool> visible_;
  bool thin_ = true;
  int margin_ = 1;
  bool pixelValid_ = false;
  bool copy_ = true;
  std::unordered_set<std::uint64_t> segments_;
  std::unordered_set<std::uint32_t> onePixel_;
  std::unordered_set<std::array<std::int32_t, 9>, ArcKeyHash> arcs_;
  TPixel lastPixel_;
  Colour lastColour_ = 0;
};

}  // namespace

void RunIndexedPass(Pass& p, const TRenderIndex& index) { IndexedPass(p, index).Run(); }

}  // namespace tesmar::render_pass
