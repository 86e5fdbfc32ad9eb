#include "ui/window.h"

#include <set>
#include <stdexcept>

#include "base/codepage.h"
#include "base/silent_abort.h"
#include "base/strings.h"
#include "ui/seams.h"

namespace tesmar::ui {
namespace {

void RegisterOnce(const WindowParams& params, WNDPROC proc) {
  static std::set<std::wstring> registered;
  if (registered.count(params.className)) return;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = params.classStyle;
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = params.cursor ? params.cursor : LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = params.background;
  // The program's icon (resource 1), each size picked from it rather than scaled from one.
  const HINSTANCE exe = GetModuleHandleW(nullptr);
  wc.hIcon = static_cast<HICON>(LoadImageW(exe, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                           GetSystemMetrics(SM_CYICON), LR_SHARED));
  wc.hIconSm = static_cast<HICON>(LoadImageW(exe, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  wc.lpszClassName = params.className;
  if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    throw std::runtime_error("RegisterClassEx failed");
  registered.insert(params.className);
}

// The error box belongs to the window the user is working in: it opens above that window
// (the main window stays in the topmost band) and the window waits for it. With no active
// window every window of the program waits.
void ShowError(std::u16string_view text) {
  HWND owner = GetActiveWindow();
  ShowMessageBox(owner, text, FromWide(kApplicationTitle), MB_OK | MB_ICONERROR | (owner ? 0 : MB_TASKMODAL));
}

}  // namespace

bool RunGuarded(const std::function<void()>& operation) {
  try {
    operation();
    return true;
  } catch (const SilentAbort&) {
    // The silent abort ends the operation and shows nothing.
  } catch (const std::exception& e) {
    ShowError(Utf8ToUtf16(e.what()));
  } catch (...) {
    ShowError(u"Unknown error");
  }
  return false;
}

void ProcessMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

Window::~Window() { Destroy(); }

void Window::Create(const WindowParams& params) {
  RegisterOnce(params, &Window::Procedure);
  HWND h = CreateWindowExW(params.exStyle, params.className, WidePtr(params.caption), params.style, params.x, params.y,
                           params.width, params.height, params.parent, reinterpret_cast<HMENU>(params.id),
                           GetModuleHandleW(nullptr), this);
  if (!h) throw std::runtime_error("CreateWindowEx failed");
}

void Window::Destroy() {
  if (hwnd_) DestroyWindow(hwnd_);
}

namespace {

// Whether h is a combo box, or the edit field of one, whose list is dropped down.
bool InDroppedComboBox(HWND h) {
  for (HWND w = h; w; w = GetParent(w)) {
    wchar_t name[32] = {};
    GetClassNameW(w, name, 32);
    if (lstrcmpiW(name, L"ComboBox") == 0) return SendMessageW(w, CB_GETDROPPEDSTATE, 0, 0) != 0;
    if (w != h) break;  // only the control itself and its direct parent
  }
  return false;
}

}  // namespace

int Window::ShowModal() {
  HWND owner = GetWindow(hwnd_, GW_OWNER);
  if (owner) EnableWindow(owner, FALSE);
  modal_ = true;
  modalResult_ = 0;
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  MSG msg;
  bool quit = false;
  while (modal_) {
    int got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      quit = got == 0;
      modal_ = false;
      break;
    }
    // Esc cancels, as in a dialog, unless it closes an open drop-down list.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE && (msg.hwnd == hwnd_ || IsChild(hwnd_, msg.hwnd)) &&
        !InDroppedComboBox(msg.hwnd)) {
      EndModal(IDCANCEL);
      continue;
    }
    // Tab moves between the controls as in a dialog; every other key, Enter included,
    // reaches the control that has the focus.
    bool tab = (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB) || (msg.message == WM_CHAR && msg.wParam == L'\t');
    if (!(tab && IsDialogMessageW(hwnd_, &msg))) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  if (owner) EnableWindow(owner, TRUE);
  if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
  if (owner) SetForegroundWindow(owner);
  if (quit) PostQuitMessage(static_cast<int>(msg.wParam));
  return modalResult_;
}

void Window::EndModal(int result) {
  modalResult_ = result;
  modal_ = false;
  PostMessageW(hwnd_, WM_NULL, 0, 0);  // wake the modal loop
}

LRESULT Window::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CLOSE && modal_) {
    EndModal(IDCANCEL);
    return 0;
  }
  return Default(msg, wp, lp);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Window* self;
  if (msg == WM_NCCREATE) {
    self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  LRESULT result = 0;
  bool done = RunGuarded([&] { result = self->HandleMessage(msg, wp, lp); });
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    self->modal_ = false;
  }
  if (!done && msg == WM_NCCREATE) return FALSE;
  return result;
}

}  // namespace tesmar::ui
