#include "render/canvas_gdi_win.h"

#include <map>
#include <mutex>
#include <stdexcept>

#include "base/strings.h"

namespace tesmar {
namespace {

int Rop2Of(PenMode m) {
  switch (m) {
    case PenMode::Copy: return R2_COPYPEN;
    case PenMode::Xor: return R2_XORPEN;
    case PenMode::NotXor: return R2_NOTXORPEN;
    case PenMode::Invert: return R2_NOT;
  }
  return R2_COPYPEN;
}

}  // namespace

GdiCanvas::GdiCanvas(HDC dc) : dc_(dc) {
  if (!dc_) throw std::invalid_argument("GdiCanvas needs a device context");
  // The selections made here are undone by the destructor, so the DC outlives us unchanged.
  oldPen_ = GetCurrentObject(dc_, OBJ_PEN);
  oldBrush_ = GetCurrentObject(dc_, OBJ_BRUSH);
  SetROP2(dc_, R2_COPYPEN);
}

GdiCanvas::~GdiCanvas() {
  while (!fonts_.empty()) PopFont();
  SelectObject(dc_, oldPen_);
  SelectObject(dc_, oldBrush_);
}

void GdiCanvas::SetPenColour(Colour c) { penDirty_ |= pen_.colour != c; pen_.colour = c; }
void GdiCanvas::SetPenWidth(int w) { penDirty_ |= pen_.width != w; pen_.width = w; }
void GdiCanvas::SetPenStyle(TPenStyle s) { penDirty_ |= pen_.style != s; pen_.style = s; }
void GdiCanvas::SetPenMode(PenMode m) {
  pen_.mode = m;
  SetROP2(dc_, Rop2Of(m));
}
void GdiCanvas::SetBrushStyle(BrushStyle s) { brushDirty_ |= brush_.style != s; brush_.style = s; }
void GdiCanvas::SetBrushColour(Colour c) { brushDirty_ |= brush_.colour != c; brush_.colour = c; }

void GdiCanvas::RealisePen() {
  if (!penDirty_) return;
  ui::Pen pen(CreatePen(pen_.style, pen_.width, pen_.colour));
  if (!pen) throw std::runtime_error("CreatePen failed");
  SelectObject(dc_, pen.get());
  gdiPen_ = std::move(pen);  // the previous pen is no longer selected, so it can go
  penDirty_ = false;
}

// The brush also gives the background of text and of the gaps in styled pens: a solid brush
// fills them with its colour, a clear brush leaves what is underneath.
void GdiCanvas::RealiseBrush() {
  if (!brushDirty_) return;
  if (brush_.style == BrushStyle::Clear) {
    SelectObject(dc_, GetStockObject(NULL_BRUSH));
    gdiBrush_.Reset();
    SetBkMode(dc_, TRANSPARENT);
  } else {
    ui::Brush brush(CreateSolidBrush(brush_.colour));
    if (!brush) throw std::runtime_error("CreateSolidBrush failed");
    SelectObject(dc_, brush.get());
    gdiBrush_ = std::move(brush);
    SetBkMode(dc_, OPAQUE);
    SetBkColor(dc_, brush_.colour);
  }
  brushDirty_ = false;
}

void GdiCanvas::Changed() {
  if (batch_ > 0) {
    drawnInBatch_ = true;
  } else if (changed) {
    changed();
  }
}

void GdiCanvas::EndBatch() {
  if (batch_ > 0 && --batch_ == 0 && drawnInBatch_) {
    drawnInBatch_ = false;
    if (changed) changed();
  }
}

void GdiCanvas::MoveTo(int x, int y) { MoveToEx(dc_, x, y, nullptr); }

void GdiCanvas::LineTo(int x, int y) {
  RealisePen();
  RealiseBrush();
  ::LineTo(dc_, x, y);
  Changed();
}

void GdiCanvas::SetPixel(int x, int y, Colour c) {
  SetPixelV(dc_, x, y, c);
  Changed();
}

void GdiCanvas::PolyPolyline(const CanvasPoint* pts, const std::uint32_t* counts, std::size_t n) {
  static_assert(sizeof(CanvasPoint) == sizeof(POINT));
  if (n == 0) return;
  RealisePen();
  RealiseBrush();
  ::PolyPolyline(dc_, reinterpret_cast<const POINT*>(pts), reinterpret_cast<const DWORD*>(counts), static_cast<DWORD>(n));
  Changed();
}

void GdiCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  RealisePen();
  RealiseBrush();
  SetArcDirection(dc_, AD_COUNTERCLOCKWISE);
  ::Arc(dc_, x1, y1, x2, y2, x3, y3, x4, y4);
  Changed();
}

void GdiCanvas::Rectangle(int left, int top, int right, int bottom) {
  RealisePen();
  RealiseBrush();
  ::Rectangle(dc_, left, top, right, bottom);
  Changed();
}

void GdiCanvas::FillRect(int left, int top, int right, int bottom) {
  RealiseBrush();
  RECT r{left, top, right, bottom};
  if (gdiBrush_) ::FillRect(dc_, &r, gdiBrush_.get());
  Changed();
}

void GdiCanvas::FillPolyPolygon(const CanvasPoint* pts, const std::uint32_t* counts, std::size_t n) {
  if (n == 0) return;
  RealiseBrush();
  if (!gdiBrush_) return;  // a clear brush fills nothing
  const HGDIOBJ pen = SelectObject(dc_, GetStockObject(NULL_PEN));
  SetPolyFillMode(dc_, ALTERNATE);
  ::PolyPolygon(dc_, reinterpret_cast<const POINT*>(pts), reinterpret_cast<const INT*>(counts), static_cast<int>(n));
  SelectObject(dc_, pen);
  Changed();
}

LogicalFont GdiCanvas::Font() const {
  LOGFONTW lf{};
  GetObjectW(GetCurrentObject(dc_, OBJ_FONT), sizeof lf, &lf);
  LogicalFont f;
  f.height = lf.lfHeight, f.width = lf.lfWidth, f.escapement = lf.lfEscapement;
  f.orientation = lf.lfOrientation, f.weight = lf.lfWeight;
  f.italic = lf.lfItalic, f.underline = lf.lfUnderline, f.strikeOut = lf.lfStrikeOut;
  f.charSet = lf.lfCharSet;
  f.face = FromWide(lf.lfFaceName);
  return f;
}

void GdiCanvas::PushFont(const LogicalFont& f) {
  LOGFONTW lf{};
  lf.lfHeight = f.height, lf.lfWidth = f.width, lf.lfEscapement = f.escapement;
  lf.lfOrientation = f.orientation, lf.lfWeight = f.weight;
  lf.lfItalic = f.italic, lf.lfUnderline = f.underline, lf.lfStrikeOut = f.strikeOut;
  lf.lfCharSet = f.charSet;
  std::wstring face = ToWide(f.face.substr(0, LF_FACESIZE - 1));
  wcscpy(lf.lfFaceName, face.c_str());
  ui::Font font(CreateFontIndirectW(&lf));
  if (!font) throw std::runtime_error("CreateFontIndirectW failed");
  HGDIOBJ previous = SelectObject(dc_, font.get());
  fonts_.push_back(PushedFont{std::move(font), previous});
}

void GdiCanvas::PopFont() {
  if (fonts_.empty()) throw std::logic_error("PopFont without PushFont");
  SelectObject(dc_, fonts_.back().previous);
  fonts_.pop_back();
}

void GdiCanvas::TextOut(int x, int y, std::u16string_view text) {
  RealiseBrush();
  SetTextColor(dc_, fontColour_);
  SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
  std::wstring w = ToWide(text);
  ::TextOutW(dc_, x, y, w.c_str(), static_cast<int>(w.size()));
  Changed();
}

int GdiCanvas::TextWidth(std::u16string_view text) {
  std::wstring w = ToWide(text);
  SIZE size{};
  GetTextExtentPoint32W(dc_, w.c_str(), static_cast<int>(w.size()), &size);
  return size.cx;
}

namespace {

// Measures a face on an upright font of 1000 units to the em, selected for a moment into dc.
FaceProportions MeasureFace(HDC dc, const std::wstring& face) {
  constexpr double kEm = 1000;
  LOGFONTW lf{};
  lf.lfHeight = -static_cast<LONG>(kEm);
  lf.lfCharSet = DEFAULT_CHARSET;
  wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  FaceProportions p;
  ui::Font font(CreateFontIndirectW(&lf));
  if (!font) return p;
  const HGDIOBJ previous = SelectObject(dc, font.get());
  TEXTMETRICW tm{};
  if (GetTextMetricsW(dc, &tm) && tm.tmAveCharWidth > 0) {
    p.ascent = tm.tmAscent / kEm;
    p.descent = tm.tmDescent / kEm;
    // The top of a capital H is the face's cap height; outline metrics often leave it out.
    GLYPHMETRICS gm{};
    const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    if (GetGlyphOutlineW(dc, L'H', GGO_METRICS, &gm, 0, nullptr, &identity) != GDI_ERROR && gm.gmptGlyphOrigin.y > 0)
      p.capHeight = gm.gmptGlyphOrigin.y / kEm;
    static constexpr wchar_t kSample[] = L"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    constexpr int n = static_cast<int>(std::size(kSample)) - 1;
    SIZE size{};
    if (GetTextExtentPoint32W(dc, kSample, n, &size) && size.cx > 0)
      p.halfAdvancePerAverage = static_cast<double>(size.cx) / n / tm.tmAveCharWidth;
  }
  SelectObject(dc, previous);
  return p;
}

}  // namespace

FaceProportions GdiCanvas::Proportions() {
  static std::mutex lock;
  static std::map<std::wstring, FaceProportions> faces;
  wchar_t name[LF_FACESIZE]{};
  GetTextFaceW(dc_, LF_FACESIZE, name);
  const std::lock_guard<std::mutex> hold(lock);
  auto it = faces.find(name);
  if (it == faces.end()) it = faces.emplace(name, MeasureFace(dc_, name)).first;
  return it->second;
}

}  // namespace tesmar
