#pragma once
// The base of every window of the program: one window procedure (the trampoline) recovers the
// object stored at WM_NCCREATE and hands each message to the object's router, HandleMessage.
// No exception crosses the window procedure: the trampoline catches it and reports it as the
// application's top level does (RunGuarded).
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

namespace tesmar::ui {

// Runs an operation as the application's top level runs event handlers: an error shows its own
// message in the standard error box; the silent abort shows nothing. True when it completed.
bool RunGuarded(const std::function<void()>& operation);

// The caption of the standard error box and of the program's message boxes.
inline constexpr wchar_t kApplicationTitle[] = L"Tesmar";

// Lets pending window messages be processed once (the message loop's own work, without
// waiting). WM_QUIT is put back for the loop that owns it.
void ProcessMessages();

struct WindowParams {
  const wchar_t* className = nullptr;  // registered once per name
  DWORD style = WS_OVERLAPPEDWINDOW;
  DWORD exStyle = 0;
  std::u16string caption;
  int x = CW_USEDEFAULT, y = CW_USEDEFAULT, width = CW_USEDEFAULT, height = CW_USEDEFAULT;
  HWND parent = nullptr;
  UINT_PTR id = 0;          // child windows: the control id
  UINT classStyle = CS_DBLCLKS;
  HBRUSH background = nullptr;
  HCURSOR cursor = nullptr;  // nullptr: the arrow
};

class Window {
 public:
  Window() = default;
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND hwnd() const { return hwnd_; }
  // Creates the window; throws std::runtime_error when the platform refuses.
  void Create(const WindowParams& params);
  void Destroy();

  // Modal showing: the owner is disabled and a nested loop runs until EndModal.
  int ShowModal();
  void EndModal(int result);
  bool InModalLoop() const { return modal_; }

 protected:
  // The router: one switch from message to the named handler. Unhandled: Default.
  virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Default(UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcW(hwnd_, msg, wp, lp); }

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  HWND hwnd_ = nullptr;
  bool modal_ = false;
  int modalResult_ = 0;
};

// The control id of a child window; the parent's router uses it to find the named handler.
inline int ControlId(HWND child) { return GetDlgCtrlID(child); }

}  // namespace tesmar::ui
