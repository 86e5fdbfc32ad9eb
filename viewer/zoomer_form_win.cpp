// The viewer window itself: its controls and their layout, its place on the screen, the view
// and the off-screen redraw, and the router from messages to the handlers of the other files.
#include "viewer/zoomer_form_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "base/strings.h"
#include "render/image_canvas_win.h"
#include "render/offscreen_win.h"
#include "ui/display.h"
#include "ui/theme.h"
#include "viewer/zoomer_messages_win.h"

namespace tesmar {
namespace {

enum : int { kIdCheckList = 301, kIdEdit = 302, kIdProgress = 303 };

// The rectangle moved into the work area of the monitor nearest to it, shrunk when larger.
RECT WithinWorkArea(RECT r) {
  MONITORINFO mi{sizeof mi};
  GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &mi);
  const RECT& a = mi.rcWork;
  const LONG w = std::min(r.right - r.left, a.right - a.left), h = std::min(r.bottom - r.top, a.bottom - a.top);
  const LONG x = std::clamp(r.left, a.left, a.right - w), y = std::clamp(r.top, a.top, a.bottom - h);
  return RECT{x, y, x + w, y + h};
}

}  // namespace

TMorvikZoomerForm::TMorvikZoomerForm() : drawing_(std::make_unique<TDrawing>()) {}

TMorvikZoomerForm::~TMorvikZoomerForm() { JoinWorkers(true); }

void TMorvikZoomerForm::Create(HWND owner) {
  ui::FormDesign params;
  params.className = L"TMorvikZoomerForm";
  params.caption = u"MorvikZoomer";
  params.clientWidth = kClientWidth, params.clientHeight = kClientHeight;
  params.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  params.owner = owner;
  CreateForm(params);
  font_ = ui::CreateUiFont(11, dpi_);
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
  auto key = [this](WORD k) {
    bool taken = false;
    ui::RunGuarded([&] { taken = FormKeyDown(k); });
    return taken;
  };
  image1_.onKey = key;
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
  checkListBox1_.onKey = key;
  edit1_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_CENTER | ES_READONLY | ES_AUTOHSCROLL,
                           0, 0, 10, 10, hwnd(), reinterpret_cast<HMENU>(INT_PTR(kIdEdit)), GetModuleHandleW(nullptr),
                           nullptr);
  progressBar1_ = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, hwnd(),
                                  reinterpret_cast<HMENU>(INT_PTR(kIdProgress)), GetModuleHandleW(nullptr), nullptr);
  for (HWND h : {speedButton1_.hwnd(), checkListBox1_.hwnd(), edit1_})
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
  // The status field's tooltip lists the keys.
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  if (tooltip_) {
    std::wstring help = ToWide(KeysHelp());
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(edit1_);
    tool.lpszText = help.data();
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, ui::Scaled(400, dpi_));
  }
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
  // A control made wider paints only the strip it gained; the caption of the button is
  // centred and the list's items span the width, so the panel is painted whole.
  RedrawWindow(panel1_.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
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

void TMorvikZoomerForm::ShowPicture(const TRaster8& raster) {
  ui::DibBitmap& pic = image1_.NewPicture(raster.Width(), raster.Height());
  BitBlt(pic.Dc(), 0, 0, raster.Width(), raster.Height(), raster.Dc(), 0, 0, SRCCOPY);
  InvalidateRect(image1_.hwnd(), nullptr, FALSE);
  UpdateWindow(image1_.hwnd());
}

void TMorvikZoomerForm::OffscreenRedraw(bool drawAll, bool fast) {
  TView v = View();
  v.W = std::max(1, v.W), v.H = std::max(1, v.H);
  redrawDue_ = false;  // this picture is the exact one a preview waited for
  ++exactRedraws_;
  if (fast) {
    lastRaster_.reset();
    ShowPicture(*tesmar::OffscreenRedraw(drawing_->model, v, g_CoSw, drawAll, fast, drawing_->index.get()));
    return;
  }
  lastRaster_ = pictures_.Redraw(drawing_->model, v, g_CoSw, drawAll, drawing_->index.get());
  lastView_ = v;
  ShowPicture(*lastRaster_);
}

// ---- Place

TZoomerPlace TMorvikZoomerForm::Place() const {
  if (!placed_ || !IsWindow(hwnd())) return place_;
  WINDOWPLACEMENT wp{sizeof wp};
  RECT r{};
  if ((IsIconic(hwnd()) || IsZoomed(hwnd())) && GetWindowPlacement(hwnd(), &wp)) {
    r = wp.rcNormalPosition;
  } else {
    GetWindowRect(hwnd(), &r);
  }
  return TZoomerPlace{int(r.left), int(r.top), int(r.right - r.left), int(r.bottom - r.top), panelWidth_};
}

void TMorvikZoomerForm::SetPlace(const TZoomerPlace& place) {
  place_ = place;
  if (place.panelWidth > 0) {
    panelWidth_ = std::clamp(place.panelWidth, 30, 2000);
    ApplyLayout();
  }
}

void TMorvikZoomerForm::PlaceOnFirstShow() {
  if (placed_) return;
  placed_ = true;
  RECT r;
  if (place_.width > 0 && place_.height > 0) {
    r = RECT{place_.left, place_.top, place_.left + place_.width, place_.top + place_.height};
  } else {
    // Beside the window that owns it: on its right, else on its left, within the work area.
    const int w = ui::Scaled(kFirstWidth, dpi_), h = ui::Scaled(kFirstHeight, dpi_);
    RECT owner{};
    HWND o = GetWindow(hwnd(), GW_OWNER);
    if (!o || !GetWindowRect(o, &owner)) GetWindowRect(hwnd(), &owner);
    MONITORINFO mi{sizeof mi};
    GetMonitorInfoW(MonitorFromRect(&owner, MONITOR_DEFAULTTONEAREST), &mi);
    LONG x = owner.right;
    if (x + w > mi.rcWork.right && owner.left - w >= mi.rcWork.left) x = owner.left - w;
    r = RECT{x, owner.top, x + w, owner.top + h};
  }
  r = WithinWorkArea(r);
  SetWindowPos(hwnd(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- Router

LRESULT TMorvikZoomerForm::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SIZE:
      if (created_ && wp != SIZE_MINIMIZED) {
        ApplyLayout();
        ui::RunGuarded([&] { FormResize(); });
      }
      return 0;
    case WM_SETFOCUS:
      if (created_) SetFocus(image1_.hwnd());
      return 0;
    case WM_KEYDOWN: {
      bool taken = false;
      ui::RunGuarded([&] { taken = FormKeyDown(WORD(wp)); });
      if (taken) return 0;
      break;
    }
    case WM_CLOSE:
      // Closing stops an opening under way; the window is only hidden.
      ui::RunGuarded([&] { CancelOpening(); });
      ShowWindow(hwnd(), SW_HIDE);
      return 0;
    case WM_DESTROY:
      // The owner destroys this window before it saves its settings: keep the place.
      place_ = Place();
      JoinWorkers(true);
      break;
    case kMsgDrawingOpened:
      ui::RunGuarded([&] { DrawingOpened(std::uintptr_t(wp)); });
      return 0;
    case kMsgOpeningProgress:
      OpeningProgress(std::uintptr_t(wp), lp);
      return 0;
    case kMsgExactRedraw:
      // Only for the drawing still shown (wParam: the serial of the drawing it was posted for).
      if (std::uintptr_t(wp) == drawingSerial_) ui::RunGuarded([&] { RedrawAfterWheel(); });
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
