#include "ui/window.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "base/silent_abort.h"
#include "ui/controls.h"
#include "ui/custom_controls.h"
#include "ui/seams.h"

namespace tesmar::ui {
namespace {

// A window whose router fails in the way a test asks for.
class Failing : public Window {
 public:
  enum Kind { Error, Silent, Fine };
  Kind kind = Fine;
  bool reached = false;
  void Make(DWORD style = WS_POPUP) {
    WindowParams params;
    params.className = L"TesmarTestFailing";
    params.style = style;
    params.width = params.height = 50;
    Create(params);
  }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_APP + 1) {
      reached = true;
      if (kind == Error) throw std::runtime_error("ファイルが見つかりません");
      if (kind == Silent) Abort();
      return 42;
    }
    return Window::HandleMessage(msg, wp, lp);
  }
};

struct Box {
  std::u16string text, caption;
  UINT flags;
  HWND owner = nullptr;
};

TEST(WindowRouter, ErrorsShowTheirMessageAndTheSilentAbortShowsNothing) {
  std::vector<Box> boxes;
  SeamOverride<MessageBoxFn> seam(MessageBoxSeam(), [&](HWND, std::u16string_view t, std::u16string_view c, UINT f) {
    boxes.push_back({std::u16string(t), std::u16string(c), f});
    return IDOK;
  });
  Failing w;
  w.Make();
  w.kind = Failing::Error;
  ASSERT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(SendMessageW(w.hwnd(), WM_APP + 1, 0, 0), 0);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, u"ファイルが見つかりません");
  EXPECT_EQ(boxes[0].caption, u"Tesmar");
  EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_OK | MB_ICONERROR | MB_TASKMODAL));  // no active window

  w.kind = Failing::Silent;
  w.reached = false;
  SendMessageW(w.hwnd(), WM_APP + 1, 0, 0);
  EXPECT_TRUE(w.reached);
  EXPECT_EQ(boxes.size(), 1u);

  w.kind = Failing::Fine;
  EXPECT_EQ(SendMessageW(w.hwnd(), WM_APP + 1, 0, 0), 42);
  // The window lives on after the failures, and forgets its handle once destroyed.
  EXPECT_TRUE(IsWindow(w.hwnd()));
  w.Destroy();
  EXPECT_EQ(w.hwnd(), nullptr);
}

TEST(WindowRouter, TheErrorBoxBelongsToTheActiveWindow) {
  std::vector<Box> boxes;
  SeamOverride<MessageBoxFn> seam(MessageBoxSeam(), [&](HWND owner, std::u16string_view t, std::u16string_view c,
                                                        UINT f) {
    boxes.push_back({std::u16string(t), std::u16string(c), f, owner});
    return IDOK;
  });
  Failing active, failing;
  active.Make(WS_POPUP | WS_VISIBLE);
  failing.Make();
  SetActiveWindow(active.hwnd());
  ASSERT_EQ(GetActiveWindow(), active.hwnd());
  failing.kind = Failing::Error;
  SendMessageW(failing.hwnd(), WM_APP + 1, 0, 0);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].owner, active.hwnd());
  EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
}

TEST(WindowModal, ShowModalRunsUntilEndModalAndClosingCancels) {
  Failing w;
  w.Make();
  PostMessageW(w.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_EQ(w.ShowModal(), IDCANCEL);
  EXPECT_FALSE(IsWindowVisible(w.hwnd()));
  {
    // The seam answers in place of the user: it is handed the dialog, which is never shown.
    Window* asked = nullptr;
    SeamOverride<ShowModalFn> seam(ShowModalSeam(), [&](Window& dialog) {
      asked = &dialog;
      return IDOK;
    });
    EXPECT_EQ(ui::ShowModal(w), IDOK);
    EXPECT_EQ(asked, &w);
    EXPECT_FALSE(IsWindowVisible(w.hwnd()));
  }
  // Once the override ends, the dialog runs modal again.
  PostMessageW(w.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_EQ(ui::ShowModal(w), IDCANCEL);
}

// A child that notes the keys it is given.
class KeyChild : public Window {
 public:
  std::vector<WPARAM> keys;
  void Make(HWND parent) {
    WindowParams params;
    params.className = L"TesmarTestKeyChild";
    params.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    params.width = 10, params.height = 10;
    params.parent = parent;
    Create(params);
  }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_KEYDOWN) keys.push_back(wp);
    return Window::HandleMessage(msg, wp, lp);
  }
};

// Enter belongs to the control that has the focus (an edit field may act on it); the modal
// loop does not turn it into a dialog's default button. Esc cancels.
TEST(WindowModal, EnterReachesTheFocusedControl) {
  Failing w;
  w.Make();
  KeyChild child;
  child.Make(w.hwnd());
  PostMessageW(child.hwnd(), WM_KEYDOWN, VK_RETURN, 0);
  PostMessageW(w.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_EQ(w.ShowModal(), IDCANCEL);
  EXPECT_EQ(child.keys, std::vector<WPARAM>{VK_RETURN});
  // Esc, on the other hand, cancels the dialog as in any dialog box.
  child.keys.clear();
  PostMessageW(child.hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(w.ShowModal(), IDCANCEL);
  EXPECT_TRUE(child.keys.empty());
}

class Host : public Window {
 public:
  void Make() {
    WindowParams params;
    params.className = L"TesmarTestHost";
    params.style = WS_POPUP;
    params.width = 300, params.height = 300;
    Create(params);
  }
};

TEST(Controls, ComboBoxSortsFindsIgnoringCaseAndEmptiesItsText) {
  Host host;
  host.Make();
  HWND h = CreateWindowExW(0, L"ComboBox", L"", WS_CHILD | CBS_DROPDOWNLIST | CBS_SORT, 0, 0, 100, 200, host.hwnd(),
                           nullptr, nullptr, nullptr);
  ComboBox c(h);
  c.Add(u"C:\\beta");
  c.Add(u"c:\\Alpha");
  c.Add(u"C:\\図面");
  EXPECT_EQ(c.Items(), (std::vector<std::u16string>{u"c:\\Alpha", u"C:\\beta", u"C:\\図面"}));
  EXPECT_EQ(c.FindExact(u"C:\\BETA"), 1);
  EXPECT_EQ(c.FindExact(u"C:\\bet"), -1);
  c.SetItemIndex(2);
  EXPECT_EQ(c.Text(), u"C:\\図面");
  c.SetItemIndex(-1);
  EXPECT_EQ(c.Text(), u"");
  EXPECT_EQ(c.ItemIndex(), -1);
  EXPECT_THROW(c.Item(7), std::out_of_range);
}

TEST(Controls, FlatButtonReportsDownUpAndTreatsLostCaptureAsRelease) {
  Host host;
  host.Make();
  FlatButton b;
  b.Create(host.hwnd(), u"SpeedButton4", u">>", 0, 0, 30, 20, 7);
  std::vector<std::string> events;
  b.onMouseDown = [&] { events.push_back("down"); };
  b.onMouseUp = [&] { events.push_back("up"); };
  b.onClick = [&] { events.push_back("click"); };
  SendMessageW(b.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_TRUE(b.Pressed());
  SendMessageW(b.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  SendMessageW(b.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(b.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(100, 5));  // released outside: no click
  SendMessageW(b.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  ReleaseCapture();  // another window took the mouse: the auto-repeat must not stay on
  EXPECT_FALSE(b.Pressed());
  EXPECT_EQ(events, (std::vector<std::string>{"down", "up", "click", "down", "up", "down", "up"}));
  EXPECT_EQ(b.Caption(), u">>");
}

TEST(Controls, ImageBoxReportsMouseMoveAndDoubleClickWithItself) {
  Host host;
  host.Make();
  ImageBox im;
  im.Create(host.hwnd(), u"Image7", 0, 0, 43, 43, 9);
  ImageBox* moved = nullptr;
  ImageBox* clicked = nullptr;
  int mx = -1, my = -1;
  im.onMouseMove = [&](ImageBox& s, int x, int y) { moved = &s, mx = x, my = y; };
  im.onDblClick = [&](ImageBox& s) { clicked = &s; };
  SendMessageW(im.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 4));
  SendMessageW(im.hwnd(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(3, 4));
  EXPECT_EQ(moved, &im);
  EXPECT_EQ(clicked, &im);
  EXPECT_EQ(mx, 3);
  EXPECT_EQ(my, 4);
  EXPECT_EQ(im.Picture().Width(), 43);
  im.SetHint(u"a.dwg");
  EXPECT_EQ(im.Hint(), u"a.dwg");
}

TEST(Controls, TimerIsEnabledOnlyWithAnOwnerAndDeliversTicks) {
  Host host;
  host.Make();
  Timer t(5, 10);
  t.SetEnabled(true);
  EXPECT_FALSE(t.Enabled());  // no owner yet
  t.SetOwner(host.hwnd());
  t.SetEnabled(true);
  EXPECT_TRUE(t.Enabled());
  MSG msg;
  bool ticked = false;
  DWORD start = GetTickCount();
  while (!ticked && GetTickCount() - start < 5000)
    if (PeekMessageW(&msg, host.hwnd(), WM_TIMER, WM_TIMER, PM_REMOVE)) ticked = msg.wParam == 5;
  EXPECT_TRUE(ticked);
  t.SetEnabled(false);
  EXPECT_FALSE(t.Enabled());
}

}  // namespace
}  // namespace tesmar::ui

#include "ui/topmost.h"

namespace tesmar::ui {
namespace {

// The band is restored however the dialog's scope ends, an error included.
TEST(Topmost, StepOutIsUndoneAtTheEndOfTheScope) {
  Host main, dialog;
  main.Make();
  dialog.Make();
  SetTopmost(main.hwnd(), true);
  try {
    TopmostStepOut out(main.hwnd(), dialog.hwnd());
    EXPECT_FALSE(IsTopmost(main.hwnd()));
    EXPECT_TRUE(IsTopmost(dialog.hwnd()));
    throw std::runtime_error("dialog failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_TRUE(IsTopmost(main.hwnd()));
  EXPECT_FALSE(IsTopmost(dialog.hwnd()));
  {
    TopmostStepOut folderChooser(main.hwnd());  // the folder chooser: only the main window steps out
    EXPECT_FALSE(IsTopmost(main.hwnd()));
  }
  EXPECT_TRUE(IsTopmost(main.hwnd()));
}

// A main window that owns hidden windows (the program's other forms) comes back into the band
// above another program's window, and keeps its owned windows above it.
TEST(Topmost, AWindowWithOwnedWindowsComesBackIntoTheBand) {
  Host main;
  main.Make();
  ShowWindow(main.hwnd(), SW_SHOWNA);
  SetTopmost(main.hwnd(), true);
  std::vector<HWND> owned;
  for (int i = 0; i < 3; ++i)
    owned.push_back(CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 50, 50, main.hwnd(), nullptr, nullptr, nullptr));
  RECT r;
  GetWindowRect(main.hwnd(), &r);
  HWND other = CreateWindowExW(0, L"Static", L"other", WS_POPUP | WS_VISIBLE, r.left, r.top, r.right - r.left,
                               r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    { TopmostStepOut out(main.hwnd()); }
    EXPECT_TRUE(IsTopmost(main.hwnd()));
    const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    EXPECT_EQ(WindowFromPoint(centre), main.hwnd());
    for (HWND w : owned) {
      EXPECT_EQ(GetWindow(w, GW_OWNER), main.hwnd());
      EXPECT_TRUE(IsTopmost(w));
    }
  }
  for (HWND w : owned) DestroyWindow(w);
  DestroyWindow(other);
}

}  // namespace
}  // namespace tesmar::ui
