#include "viewer/zoomer_form_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "base/strings.h"
#include "dxf/probe.h"
#include "dxf/reader.h"
#include "render/colours.h"
#include "render/expand.h"
#include "render/image_canvas_win.h"
#include "render/offscreen_win.h"
#include "render/postprocess.h"
#include "render/prepare_canvas.h"
#include "ui/display.h"
#include "ui/seams.h"
#include "ui/theme.h"
#include "viewer/pick.h"

namespace tesmar {

namespace {

// The layer a picked record names: the layer table's entry, or the record's own layer name
// when the table has no such layer.
template <typename Record>
std::u16string LayerNameOf(const TDrawingModel& m, const Record& r) {
  if (r.layindex >= 0 && std::size_t(r.layindex) < m.LayerAry.size()) return m.LayerAry[r.layindex].Name;
  return r.layer.str();
}

}  // namespace
namespace {

enum : int { kIdCheckList = 301, kIdEdit = 302, kIdProgress = 303 };

constexpr Colour kCrosshairGreen = 0x008000;
constexpr wchar_t kReadErrorCaption[] = L"情報xx";
constexpr char16_t kReadError[] = u" 読み込みエラーです";
constexpr char16_t kUnreadableStatus[] = u"AutoCAD Binary DXF";

double NowMs() {
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

// The reader advances ProgressBar1 and shows it at once (the opening pumps no messages).
class ProgressBarAdapter : public IDxfProgress {
 public:
  explicit ProgressBarAdapter(HWND bar) : bar_(bar) {}
  void SetMax(int max) override { SendMessageW(bar_, PBM_SETRANGE32, 0, max); }
  int Position() const override { return int(SendMessageW(bar_, PBM_GETPOS, 0, 0)); }
  void SetPosition(int position) override {
    SendMessageW(bar_, PBM_SETPOS, WPARAM(position), 0);
    UpdateWindow(bar_);
  }

 private:
  HWND bar_;
};

// The reader's message boxes belong to the viewer window.
class OwnedReport : public IDxfReport {
 public:
  explicit OwnedReport(HWND owner) : owner_(owner) {}
  bool HasParentWindow() const override { return owner_ != nullptr; }
  void ShowMessage(std::u16string_view text, std::u16string_view caption) override {
    ui::ShowMessageBox(owner_, text, caption, MB_OK);
  }

 private:
  HWND owner_;
};

std::u16string FileNameOf(std::u16string_view path) {
  const std::size_t cut = path.find_last_of(u"\\/:");
  return std::u16string(cut == std::u16string_view::npos ? path : path.substr(cut + 1));
}

TAcadPoint Relative(TAcadPoint p, TAcadPoint centre) { return TAcadPoint{p.x - centre.x, p.y - centre.y, 0}; }

}  // namespace

TMorvikZoomerForm::TMorvikZoomerForm(TDrawingModel& model) : model_(model) {}
TMorvikZoomerForm::~TMorvikZoomerForm() = default;

void TMorvikZoomerForm::Create(HWND owner) {
  ui::FormDesign params;
  params.className = L"TMorvikZoomerForm";
  params.caption = u"MorvikZoomer";
  params.clientWidth = kClientWidth, params.clientHeight = kClientHeight;
  params.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  params.owner = owner;
  CreateForm(params);
  font_ = ui::CreatePixelFont(u"Tahoma", 11, dpi_);
  CreateControls();
  created_ = true;
  ApplyLayout();
  FormCreate();
}

void TMorvikZoomerForm::CreateControls() {
  image1_.Create(hwnd(), u"Image1", 0, 0, 10, 10, 0);
  image1_.onMouseDown = [this](TMouseButton b, bool shift, int x, int y) {
    ui::RunGuarded([&] { Image1MouseDown(b, shift, x, y); });
  };
  image1_.onMouseUp = [this](TMouseButton b, bool shift, int x, int y) {
    ui::RunGuarded([&] { Image1MouseUp(b, shift, x, y); });
  };
  image1_.onMouseMoveShift = [this](bool shift, int x, int y) { ui::RunGuarded([&] { Image1MouseMove(shift, x, y); }); };
  image1_.onWheel = [this](bool down, POINT screen) {
    bool handled = true;
    ui::RunGuarded([&] { FormMouseWheel(screen, down, handled); });
  };
  splitter1_.Create(hwnd(), u"Splitter1", 0, 0, 6, 10);
  splitter1_.onDrag = [this](int x) {
    const SIZE c = ClientSize();
    const int splitter = ui::Scaled(6, dpi_);
    const int panel = std::clamp(int(c.cx) - x - splitter, ui::Scaled(30, dpi_), std::max(ui::Scaled(30, dpi_), int(c.cx) - splitter - 1));
    panelWidth_ = MulDiv(panel, 96, dpi_);
    ApplyLayout();
  };
  splitter1_.onMoved = [this] { ui::RunGuarded([&] { Splitter1Moved(); }); };
  panel1_.Create(hwnd(), u"Panel1", 0, 0, 10, 10);
  panel1_.SetShowCaption(false);
  panel1_.SetBevelRaised(false);
  speedButton1_.Create(panel1_.hwnd(), u"SpeedButton1", u"White / Color", 0, 0, 10, 10, 0);
  speedButton1_.onClick = [this] { ui::RunGuarded([&] { SpeedButton1Click(); }); };
  checkListBox1_.Create(panel1_.hwnd(), kIdCheckList, ui::Scaled(16, dpi_));
  checkListBox1_.onClick = [this] { ui::RunGuarded([&] { CheckListBox1Click(); }); };
  checkListBox1_.onWheel = [this](bool down, POINT screen) {
    bool handled = true;
    ui::RunGuarded([&] { FormMouseWheel(screen, down, handled); });
    return handled;
  };
  edit1_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_CENTER | ES_READONLY | ES_AUTOHSCROLL,
                           0, 0, 10, 10, hwnd(), reinterpret_cast<HMENU>(INT_PTR(kIdEdit)), GetModuleHandleW(nullptr),
                           nullptr);
  progressBar1_ = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, hwnd(),
                                  reinterpret_cast<HMENU>(INT_PTR(kIdProgress)), GetModuleHandleW(nullptr), nullptr);
  for (HWND h : {speedButton1_.hwnd(), checkListBox1_.hwnd(), edit1_})
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
}

void TMorvikZoomerForm::ApplyLayout() {
  if (!created_) return;
  const SIZE c = ClientSize();
  auto px = [this](int designed) { return ui::Scaled(designed, dpi_); };
  const int progress = px(10), edit = px(21), splitter = px(6), button = px(17);
  const int panel = std::min(px(panelWidth_), std::max(0, int(c.cx) - splitter));
  const int top = std::max(0, int(c.cy) - progress - edit);
  MoveWindow(progressBar1_, 0, c.cy - progress, c.cx, progress, TRUE);
  MoveWindow(edit1_, 0, top, c.cx, edit, TRUE);
  panel1_.SetBounds(c.cx - panel, 0, panel, top);
  splitter1_.SetBounds(c.cx - panel - splitter, 0, splitter, top);
  image1_.SetBounds(0, 0, std::max(0, int(c.cx) - panel - splitter), top);
  speedButton1_.SetBounds(0, 0, panel, button);
  checkListBox1_.SetBounds(0, button, panel, std::max(0, top - button));
}

// ---- Opening

void TMorvikZoomerForm::FormCreate() {
  Edit1().SetText(u"");
  dispScale = ui::FirstMonitorScaleFactor().value_or(0);
}

void TMorvikZoomerForm::FormShow() {
  g_DispScale = 0.95;
  mvflag = false;
  Edit1().SetText(u"");
  checkListBox1_.Clear();
  MakeDxfZoomer(dxfFullName);
}

void TMorvikZoomerForm::OpenRequest(const std::u16string& dxfPath, void*) {
  dxfFullName = dxfPath;
  g_CoSw = 0;
  // Showing a hidden window runs FormShow; an open window is asked again.
  if (!IsWindowVisible(hwnd())) {
    ShowWindow(hwnd(), SW_SHOWNORMAL);
  } else {
    FormShow();
  }
}

TView TMorvikZoomerForm::View() const {
  TView v;
  v.g_cadpt = g_cadpt;
  v.g_cadw = g_cadw, v.g_cadh = g_cadh;
  v.g_DispScale = g_DispScale;
  v.W = image1_.Width(), v.H = image1_.Height();
  return v;
}

std::u16string TMorvikZoomerForm::Caption() const { return ui::WindowText(hwnd()); }

void TMorvikZoomerForm::FillLayerList() {
  checkListBox1_.Clear();
  if (model_.LayerAry.empty()) return;
  checkListBox1_.SetRedraw(false);
  for (const TLayer& l : model_.LayerAry) checkListBox1_.Add(l.Name, AciToColor(std::abs(int(l.color))));
  for (int i = 0; i < checkListBox1_.Count(); ++i)
    checkListBox1_.SetChecked(i, LayerVisible(model_, checkListBox1_.Item(i)));
  checkListBox1_.SetRedraw(true);
}

void TMorvikZoomerForm::MakeDxfZoomer(const std::u16string& dxfname) {
  bool shown = false, unreadable = false;
  try {
    SetWindowTextW(hwnd(), WidePtr(FileNameOf(dxfname)));
    std::error_code ec;
    const std::filesystem::path file = PathFromU16(dxfname);
    const bool isDxf = std::filesystem::is_regular_file(file, ec) && UpperCase16(U16FromPath(file.extension())) == u".DXF";
    if (isDxf) {
      std::u16string signature;
      const bool signatureRead = ReadDxfSignature(dxfname, signature);
      unreadable = !IsReadableDxfSignature(signatureRead, signature);
    }
    std::u16string version;
    if (isDxf && !unreadable && ReadDxfVersion(dxfname, version)) {
      const std::uint32_t start = GetTickCount();
      const double t0 = NowMs();
      index_.reset();  // the model is about to change
      ProgressBarAdapter progress(progressBar1_);
      OwnedReport report(hwnd());
      std::u16string status;
      ReadDxfFile(model_, dxfname, &progress, &report, status, DxfEncodingForVersion(version));
      const double t1 = NowMs();
      FillLayerList();
      extents_ = RunPostProcessing(model_);
      index_ = BuildRenderIndex(model_);
      const double t2 = NowMs();
      TView v = View();
      FitView(v, extents_);
      g_cadw = v.g_cadw, g_cadh = v.g_cadh, g_cadpt = v.g_cadpt;
      OffscreenRedraw(/*drawAll=*/true, /*fast=*/false);
      shown = true;
      lastOpen = TOpenTimes{t1 - t0, t2 - t1, NowMs() - t2};
      Edit1().SetText(OpenStatus(g_cadw, g_cadh, ElapsedSeconds(start, GetTickCount())) +
                      (model_.expansionCut ? kExpansionCutNote : u""));
      const std::u16string caption = OpenedCaption(FileNameOf(dxfname), g_cadw, g_cadh);
      SetWindowTextW(hwnd(), WidePtr(caption));
    }
  } catch (...) {
    image1_.NewPicture(std::max(1, image1_.Width()), std::max(1, image1_.Height()));
    ui::ShowMessageBox(hwnd(), dxfname + u'\r' + kReadError, FromWide(kReadErrorCaption), MB_OK | MB_ICONINFORMATION);
    SendMessageW(progressBar1_, PBM_SETPOS, 0, 0);
  }
  if (!shown) ClosingStep(unreadable);
}

void TMorvikZoomerForm::ClosingStep(bool unreadable) {
  const int W = std::max(1, image1_.Width()), H = std::max(1, image1_.Height());
  if (!image1_.HasPicture() || image1_.Picture().Width() != W || image1_.Picture().Height() != H) image1_.NewPicture(W, H);
  DrawEmptyFrame(CanvasOf(image1_), W, H);
  if (unreadable) Edit1().SetText(kUnreadableStatus);
}

void TMorvikZoomerForm::ShowPicture(const TRaster8& raster) {
  ui::DibBitmap& pic = image1_.NewPicture(raster.Width(), raster.Height());
  BitBlt(pic.Dc(), 0, 0, raster.Width(), raster.Height(), raster.Dc(), 0, 0, SRCCOPY);
  InvalidateRect(image1_.hwnd(), nullptr, FALSE);
  UpdateWindow(image1_.hwnd());
}

void TMorvikZoomerForm::OffscreenRedraw(bool drawAll, bool fast) {
  TView v = View();
  v.W = std::max(1, v.W), v.H = std::max(1, v.H);
  ShowPicture(*tesmar::OffscreenRedraw(model_, v, g_CoSw, drawAll, fast, index_.get()));
}

// ---- Zoom and pan

void TMorvikZoomerForm::FormMouseWheel(POINT screen, bool down, bool& handled) {
  mvflag = false;
  POINT p = screen;
  ScreenToClient(image1_.hwnd(), &p);
  TView v = View();
  if (!OnImage(v, TPixel{p.x, p.y})) {
    handled = false;
    return;
  }
  handled = true;
  if (!WheelZoom(v, saved, TPixel{p.x, p.y}, down, extents_)) return;  // at a zoom bound
  g_cadw = v.g_cadw, g_cadh = v.g_cadh, g_cadpt = v.g_cadpt;
  Edit1().SetText(MoveStatus(View(), TPixel{p.x, p.y}));  // the new width and height at once
  if (g_WheelNow) return;
  g_WheelNow = true;
  try {
    OffscreenRedraw(false, false);
  } catch (...) {
    g_WheelNow = false;
    throw;
  }
  g_WheelNow = false;
}

void TMorvikZoomerForm::FormMouseWheelDown(POINT screen, bool& handled) { FormMouseWheel(screen, true, handled); }
void TMorvikZoomerForm::FormMouseWheelUp(POINT screen, bool& handled) { FormMouseWheel(screen, false, handled); }

void TMorvikZoomerForm::DrawRubberBand(POINT a, POINT b) {
  Canvas& c = CanvasOf(image1_);
  c.SetPenStyle(psDashDotDot);
  c.SetPenMode(PenMode::NotXor);
  c.SetPenWidth(3);
  c.SetPenColour(kBlack);
  c.SetBrushStyle(BrushStyle::Clear);
  c.Rectangle(a.x, a.y, b.x, b.y);
  c.SetPenMode(PenMode::Copy);
}

void TMorvikZoomerForm::DrawCrosshair(int x, int y) {
  Canvas& c = CanvasOf(image1_);
  const int W = image1_.Width(), H = image1_.Height();
  c.MoveTo(0, y - 1);
  c.LineTo(W, y - 1);
  c.MoveTo(x - 1, 0);
  c.LineTo(x - 1, H);
}

void TMorvikZoomerForm::Image1MouseDown(TMouseButton button, bool shift, int X, int Y) {
  if (Caption().empty()) return;
  mvret1 = mvret2 = mvret3 = mvret4 = -1;
  if (shift) {
    const TPick pick = PickNearest(model_, ScreenToWorld(TPixel{X, Y}, View()));
    if (pick.kind == TPickKind::None) return;
    const std::u16string layer = [&]() -> std::u16string {
      switch (pick.kind) {
        case TPickKind::Circle: return LayerNameOf(model_, model_.CircleAry[pick.index]);
        case TPickKind::Arc: return LayerNameOf(model_, model_.ArcAry[pick.index]);
        case TPickKind::Text: return LayerNameOf(model_, model_.TextAry[pick.index]);
        default: return std::u16string();
      }
    }();
    switch (pick.kind) {
      case TPickKind::Line:
        mvret1 = pick.index;
        break;
      case TPickKind::Circle:
        Edit1().SetText(CircleRadiusStatus(layer, model_.CircleAry[pick.index].hankei));
        mvret2 = pick.index;
        break;
      case TPickKind::Arc:
        Edit1().SetText(ArcRadiusStatus(layer, model_.ArcAry[pick.index].hankei));
        mvret3 = pick.index;
        break;
      case TPickKind::Text: {
        const TTextBlk& t = model_.TextAry[pick.index];
        Edit1().SetText(TextHeightStatus(layer, t.code40, t.str));
        mvret4 = pick.index;
        break;
      }
      case TPickKind::None:
        break;
    }
    CanvasOf(image1_).SetPenMode(PenMode::Invert);
    DrawPickHighlight(int(pick.kind), pick.index);
    return;
  }
  g_DownPt = g_OldPt = POINT{X, Y};
  if (button == TMouseButton::Middle) {
    g_PanFlag = true;
    return;
  }
  g_ZoomFlag = true;
  DrawRubberBand(g_DownPt, POINT{X, Y});
}

void TMorvikZoomerForm::DrawPickHighlight(int kind, std::int32_t index) {
  Canvas& c = CanvasOf(image1_);
  const TView v = View();
  const double s = PixelSize(v);
  const TPixel origin = v.Origin();
  switch (TPickKind(kind)) {
    case TPickKind::Line: {
      const TAcadLineBlk& l = model_.LineAry[index];
      DrawSegment(c, origin, s, Relative(l.st, g_cadpt), Relative(l.ed, g_cadpt), kBlack, 7, psSolid);
      break;
    }
    case TPickKind::Circle: {
      const TCircleBlk& ci = model_.CircleAry[index];
      DrawArc(c, origin, s, Relative(ci.center, g_cadpt), ci.hankei, 0, 0, kBlack, 7, psSolid);
      break;
    }
    case TPickKind::Arc: {
      const TArcBlk& a = model_.ArcAry[index];
      DrawArc(c, origin, s, Relative(a.center, g_cadpt), a.hankei, a.st * kDegToRad, a.ed * kDegToRad, kBlack, 7, psSolid);
      break;
    }
    case TPickKind::Text: {
      const TTextBlk& t = model_.TextAry[index];
      DrawArc(c, origin, s, Relative(TextReferencePoint(t), g_cadpt), t.code40, 0, 0, kBlack, 7, psSolid);
      break;
    }
    case TPickKind::None:
      break;
  }
}

void TMorvikZoomerForm::Image1MouseMove(bool shift, int X, int Y) {
  if (Caption().empty()) {
    Edit1().SetText(u"");
    return;
  }
  Canvas& c = CanvasOf(image1_);
  c.SetPenMode(PenMode::Xor);
  c.SetPenColour(kCrosshairGreen);
  c.SetPenStyle(psSolid);
  c.SetPenWidth(1);
  if (mvflag) DrawCrosshair(mvx, mvy);
  DrawCrosshair(X, Y);
  c.SetPenColour(kWhite);
  c.SetPenStyle(psSolid);
  mvx = X, mvy = Y;
  mvflag = true;
  if (shift || g_cadw == 0) return;
  const TView v = View();
  Edit1().SetText(MoveStatus(v, TPixel{X, Y}));
  if (g_ZoomFlag && X != g_OldPt.x && Y != g_OldPt.y) {
    DrawRubberBand(g_DownPt, g_OldPt);
    DrawRubberBand(g_DownPt, POINT{X, Y});
    g_OldPt = POINT{X, Y};
  } else if (g_PanFlag && X != g_OldPt.x && Y != g_OldPt.y && !g_PanNow) {
    g_PanNow = true;
    TView preview = v;
    preview.g_cadpt = PanPreviewCentre(v, TPixel{g_OldPt.x, g_OldPt.y}, TPixel{X, Y});
    preview.W = std::max(1, preview.W), preview.H = std::max(1, preview.H);
    try {
      ShowPicture(*tesmar::OffscreenRedraw(model_, preview, g_CoSw, false, true, index_.get()));
    } catch (...) {
      g_PanNow = false;
      throw;
    }
    g_PanNow = false;
  }
}

void TMorvikZoomerForm::Image1MouseUp(TMouseButton button, bool shift, int X, int Y) {
  if (Caption().empty()) return;
  if (shift) {
    if (mvret1 >= 0 && mvret2 < 0 && mvret3 < 0 && mvret4 < 0) {
      const TAcadLineBlk& l = model_.LineAry[mvret1];
      const double L = std::hypot(l.ed.x - l.st.x, l.ed.y - l.st.y);
      const std::u16string layer = LayerNameOf(model_, l);
      Edit1().SetText(LineLengthStatus(layer, L, std::nullopt));
      CanvasOf(image1_).SetPenMode(PenMode::Invert);
      DrawPickHighlight(int(TPickKind::Line), mvret1);
      CanvasOf(image1_).SetPenMode(PenMode::Copy);
      if (const auto m = MutualDistance(l, OldPickLine)) Edit1().SetText(LineLengthStatus(layer, L, m));
      OldPickLine = l;
    } else if (mvret2 >= 0 && mvret3 < 0 && mvret4 < 0) {
      CanvasOf(image1_).SetPenMode(PenMode::Invert);
      DrawPickHighlight(int(TPickKind::Circle), mvret2);
      CanvasOf(image1_).SetPenMode(PenMode::Copy);
    } else if (mvret3 >= 0 && mvret4 < 0) {
      CanvasOf(image1_).SetPenMode(PenMode::Invert);
      DrawPickHighlight(int(TPickKind::Arc), mvret3);
      CanvasOf(image1_).SetPenMode(PenMode::Copy);
    } else if (mvret4 >= 0) {
      CanvasOf(image1_).SetPenMode(PenMode::Invert);
      DrawPickHighlight(int(TPickKind::Text), mvret4);
      CanvasOf(image1_).SetPenMode(PenMode::Copy);
    }
    return;
  }
  mvflag = g_ZoomFlag = g_PanFlag = false;
  TView v = View();
  const TGesture g = ClassifyRelease(button == TMouseButton::Middle, X - g_DownPt.x, Y - g_DownPt.y);
  const bool drawAll = ApplyGesture(g, v, saved, TPixel{g_DownPt.x, g_DownPt.y}, TPixel{X, Y}, extents_);
  g_cadw = v.g_cadw, g_cadh = v.g_cadh, g_cadpt = v.g_cadpt;
  OffscreenRedraw(drawAll, false);
  Edit1().SetText(ViewSizeStatus(View()));
}

void TMorvikZoomerForm::FormResize() {
  mvflag = false;
  OffscreenRedraw(false, false);
}

void TMorvikZoomerForm::Splitter1Moved() { FormResize(); }

// ---- Layer panel

int TMorvikZoomerForm::ItemMargin(std::int32_t scale) {
  if (scale <= 0) return 1;
  const int m = int(std::nearbyint(scale / 100.0));
  return m == 0 ? 1 : m;
}

void TMorvikZoomerForm::CheckListBox1DrawItem(HDC dc, int Index, const RECT& Rect) {
  const int m = ItemMargin(dispScale);
  Colour c = checkListBox1_.Colour(Index);
  if (c == kWhite) c = kBlack;
  ui::Brush brush(CreateSolidBrush(c));
  RECT fill{Rect.left - m, Rect.top + m, Rect.right - m, Rect.bottom - m};
  ::FillRect(dc, &fill, brush.get());
  SetTextColor(dc, ContrastColor(c));
  SetBkMode(dc, TRANSPARENT);
  ui::Selection font(dc, font_.get());
  const std::wstring text = ToWide(checkListBox1_.Item(Index));
  ::TextOutW(dc, Rect.left + 4, Rect.top + m, text.c_str(), int(text.size()));
}

void TMorvikZoomerForm::CheckListBox1Click() {
  mvflag = false;
  for (int i = 0; i < checkListBox1_.Count(); ++i) SetLayerVisible(model_, checkListBox1_.Item(i), checkListBox1_.Checked(i));
  const int selected = checkListBox1_.ItemIndex();
  if (selected < 0) return;
  Canvas& c = CanvasOf(image1_);
  const TView v = View();
  TRenderArgs blink = RenderArgsFor(v, g_CoSw, false, false);
  blink.selectedLayer = checkListBox1_.Item(selected);
  blink.penWidth = 5;
  c.SetPenMode(PenMode::Invert);
  c.SetPenStyle(psSolid);
  int r = 0;
  for (int k = 0; k < 3; ++k) {
    r = RenderDrawing(model_, c, blink, index_.get());
    if (r <= 0) break;
    UpdateWindow(image1_.hwnd());
    Sleep(100);
    RenderDrawing(model_, c, blink, index_.get());
    UpdateWindow(image1_.hwnd());
    if (k < 2) Sleep(100);
  }
  c.SetPenWidth(1);
  c.SetPenMode(PenMode::Copy);
  if (r > 0) {
    PrepareCanvas(c, v.W, v.H, kBlack);
    RenderDrawing(model_, c, RenderArgsFor(v, g_CoSw, false, false), index_.get());
    UpdateWindow(image1_.hwnd());
  }
}

void TMorvikZoomerForm::SpeedButton1Click() {
  g_CoSw = 1 - g_CoSw;
  mvflag = false;
  Canvas& c = CanvasOf(image1_);
  const TView v = View();
  PrepareCanvas(c, v.W, v.H, kBlack);
  RenderDrawing(model_, c, RenderArgsFor(v, g_CoSw, false, false), index_.get());
  UpdateWindow(image1_.hwnd());
}

LRESULT TMorvikZoomerForm::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SIZE:
      if (created_ && wp != SIZE_MINIMIZED) {
        ApplyLayout();
        ui::RunGuarded([&] { FormResize(); });
      }
      return 0;
    case WM_SHOWWINDOW:
      if (wp && created_) ui::RunGuarded([&] { FormShow(); });
      break;
    case WM_CLOSE:
      ShowWindow(hwnd(), SW_HIDE);
      return 0;
    case WM_MOUSEWHEEL: {
      bool handled = true;
      const POINT screen{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      const int notches = GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA;
      for (int n = notches; n != 0; n += n > 0 ? -1 : 1) ui::RunGuarded([&] { FormMouseWheel(screen, n < 0, handled); });
      return 0;
    }
    case WM_CTLCOLORLISTBOX:
      if (reinterpret_cast<HWND>(lp) == checkListBox1_.hwnd()) {
        SetBkColor(reinterpret_cast<HDC>(wp), kBlack);
        return reinterpret_cast<LRESULT>(GetStockObject(BLACK_BRUSH));
      }
      break;
    case WM_MEASUREITEM:
      return TRUE;
    case WM_DRAWITEM: {
      auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
      if (d->hwndItem == checkListBox1_.hwnd()) {
        ::FillRect(d->hDC, &d->rcItem, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        if (int(d->itemID) >= 0) {
          checkListBox1_.DrawCheck(d->hDC, d->rcItem, checkListBox1_.Checked(int(d->itemID)));
          RECT text = d->rcItem;
          text.left += checkListBox1_.CheckWidth();
          ui::RunGuarded([&] { CheckListBox1DrawItem(d->hDC, int(d->itemID), text); });
        }
        return TRUE;
      }
      break;
    }
  }
  return ui::Form::HandleMessage(msg, wp, lp);
}

}  // namespace tesmar
