#include "tests/viewer/zoomer_fixture_win.h"

#include "render/view.h"

namespace tesmar::test {

const char kViewerDrawing[] = R"(
0 SECTION
2 HEADER
9 $ACADVER
1 AC1015
0 ENDSEC
0 SECTION
2 TABLES
0 TABLE
2 LAYER
0 LAYER
2 0
62 7
0 LAYER
2 RED
62 1
0 LAYER
2 OFF
62 -3
0 LAYER
2 EMPTY
62 5
0 ENDTAB
0 ENDSEC
0 SECTION
2 ENTITIES
0 LINE
8 0
10 0
20 0
11 100
21 0
0 LINE
8 0
10 0
20 40
11 100
21 40
0 LINE
8 RED
10 120
20 -10
11 120
21 50
0 CIRCLE
8 RED
10 160
20 20
40 15
0 ARC
8 0
10 50
20 60
40 10
50 0
51 180
0 TEXT
8 0
10 10
20 10
40 5
1 ABC
0 ENDSEC
0 EOF
)";

ZoomerTest::ZoomerTest()
    : boxes_(ui::MessageBoxSeam(), [this](HWND, std::u16string_view t, std::u16string_view c, UINT f) {
        shown.push_back(ViewerBox{std::u16string(t), std::u16string(c), f});
        return IDOK;
      }) {
  form.Create(nullptr);
  // An image box of 400 x 300 pixels beside the panel, above the status field and the bar.
  const SIZE c = form.ClientSize();
  const int wantW = c.cx - W() + 400, wantH = c.cy - H() + 300;
  RECT r{0, 0, wantW, wantH};
  AdjustWindowRectEx(&r, GetWindowLongW(form.hwnd(), GWL_STYLE), FALSE, GetWindowLongW(form.hwnd(), GWL_EXSTYLE));
  SetWindowPos(form.hwnd(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(form.hwnd(), SW_SHOWNOACTIVATE);
  ui::ProcessMessages();
}

ZoomerTest::~ZoomerTest() { form.Destroy(); }

std::u16string ZoomerTest::Write(const char* name, std::string_view bytes) {
  WriteFile(dir / name, bytes);
  return U16FromPath(dir / name);
}

std::u16string ZoomerTest::WriteLarge(const char* name, int lines) {
  std::string body;
  body.reserve(std::size_t(lines) * 48);
  for (int i = 0; i < lines; ++i) {
    const std::string n = std::to_string(i % 1000);
    body += "0\nLINE\n8\n0\n10\n" + n + "\n20\n0\n11\n" + n + "\n21\n10\n";
  }
  return Write(name, "0\nSECTION\n2\nENTITIES\n" + body + "0\nENDSEC\n0\nEOF\n");
}

void ZoomerTest::SettleOpenings() {
  while (form.OpeningsAside() > 0) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    ui::ProcessMessages();
  }
}

void ZoomerTest::Open(const std::u16string& path) {
  form.dxfFullName = path;
  form.OpenStoredDrawing();
  form.WaitWhileOpening();
}

namespace {

WPARAM Keys(TMouseButton b, bool down, bool shift) {
  WPARAM k = shift ? MK_SHIFT : 0;
  if (down) k |= b == TMouseButton::Left ? MK_LBUTTON : b == TMouseButton::Right ? MK_RBUTTON : MK_MBUTTON;
  return k;
}

}  // namespace

void ZoomerTest::Press(TMouseButton b, int x, int y, bool shift) {
  const UINT msg = b == TMouseButton::Left ? WM_LBUTTONDOWN : b == TMouseButton::Right ? WM_RBUTTONDOWN : WM_MBUTTONDOWN;
  SendMessageW(form.Image1().hwnd(), msg, Keys(b, true, shift), MAKELPARAM(x, y));
}

void ZoomerTest::Move(int x, int y, bool shift, TMouseButton held, bool holding) {
  SendMessageW(form.Image1().hwnd(), WM_MOUSEMOVE, Keys(held, holding, shift), MAKELPARAM(x, y));
}

void ZoomerTest::Release(TMouseButton b, int x, int y, bool shift) {
  const UINT msg = b == TMouseButton::Left ? WM_LBUTTONUP : b == TMouseButton::Right ? WM_RBUTTONUP : WM_MBUTTONUP;
  SendMessageW(form.Image1().hwnd(), msg, Keys(b, false, shift), MAKELPARAM(x, y));
}

void ZoomerTest::Drag(TMouseButton b, POINT from, POINT to) {
  Press(b, from.x, from.y);
  Move((from.x + to.x) / 2, (from.y + to.y) / 2, false, b, true);
  Move(to.x, to.y, false, b, true);
  Release(b, to.x, to.y);
}

void ZoomerTest::Wheel(POINT client, HWND over, int notches) {
  POINT s = client;
  ClientToScreen(over, &s);
  SendMessageW(form.hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, notches * WHEEL_DELTA), MAKELPARAM(s.x, s.y));
  ui::ProcessMessages();  // the exact picture after the preview, as the message loop brings it
}

std::vector<COLORREF> ZoomerTest::Pixels() {
  std::vector<COLORREF> all;
  auto& pic = form.Image1().Picture();
  for (int y = 0; y < pic.Height(); ++y)
    for (int x = 0; x < pic.Width(); ++x) all.push_back(pic.Pixel(x, y));
  return all;
}

int ZoomerTest::CountNotBlack(int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = std::max(0, y0); y < std::min(H(), y1); ++y)
    for (int x = std::max(0, x0); x < std::min(W(), x1); ++x) n += Pixel(x, y) != 0;
  return n;
}

POINT ZoomerTest::ScreenOf(double x, double y) const {
  const TView v = View();
  const TPixel p = WorldToScreen(TAcadPoint{x - v.g_cadpt.x, y - v.g_cadpt.y, 0}, PixelSize(v), v.Origin());
  return POINT{p.x, p.y};
}

bool ZoomerTest::ShowsEmptyFrame() {
  auto& pic = form.Image1().Picture();
  const int w = pic.Width(), h = pic.Height();
  if (w != W() || h != H()) return false;
  const COLORREF cyan = RGB(0, 255, 255);
  for (int x = 0; x < w; ++x)
    if (pic.Pixel(x, 0) != cyan || pic.Pixel(x, h - 1) != cyan) return false;
  for (int y = 0; y < h; ++y)
    if (pic.Pixel(0, y) != cyan || pic.Pixel(w - 1, y) != cyan) return false;
  return CountNotBlack(1, 1, w - 1, h - 1) == 0;
}

}  // namespace tesmar::test
