#include "dwg/dwg_to_dxf_win.h"

#include <shellapi.h>

#include <string>

#include "base/strings.h"
#include "dwg/dxf_conversion.h"
#include "ui/seams.h"
#include "ui/window.h"

namespace tesmar {
namespace {

// The hourglass for every window of the program while it lives: the pointer is set again
// after each round of messages, since a window under the pointer resets it on every move.
class Hourglass {
 public:
  Hourglass() { Apply(); }
  ~Hourglass() { SetCursor(LoadCursorW(nullptr, IDC_ARROW)); }
  Hourglass(const Hourglass&) = delete;
  Hourglass& operator=(const Hourglass&) = delete;
  void Apply() const { SetCursor(LoadCursorW(nullptr, IDC_WAIT)); }
};

class ProcessHandle {
 public:
  explicit ProcessHandle(HANDLE h) : h_(h) {}
  ~ProcessHandle() {
    if (h_) CloseHandle(h_);
  }
  ProcessHandle(const ProcessHandle&) = delete;
  ProcessHandle& operator=(const ProcessHandle&) = delete;
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

}  // namespace

ConversionEnd DwgToDxf(HWND owner, std::u16string_view exepath, std::u16string_view DwgPath,
                       std::u16string_view outFolder, bool showRequested) {
  const std::u16string inFolder = ConversionFolderOf(DwgPath);
  const std::u16string params = ConverterParameters(inFolder, outFolder, ConversionFileNameOf(DwgPath));
  const std::u16string file(exepath);
  Hourglass hourglass;

  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  // The shell's own error box is left out: the failure is reported below, once.
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  info.hwnd = owner;
  info.lpFile = WidePtr(file);
  info.lpParameters = WidePtr(params);
  info.nShow = ShowConverterWindow(showRequested, inFolder, outFolder) ? SW_SHOWNORMAL : SW_HIDE;
  if (!ui::RunShellExecuteEx(info) || !info.hProcess) {
    ui::ShowMessageBox(owner, kConverterStartFailed, kConverterErrorCaption, MB_OK | MB_ICONERROR);
    return ConversionEnd::StartFailed;
  }
  ProcessHandle process(info.hProcess);
  auto end = [&](ConversionEnd how) {
    TerminateProcess(process.get(), 1);
    WaitForSingleObject(process.get(), 5000);  // its output file is closed before the caller deletes it
    return how;
  };
  for (;;) {
    const HANDLE h = process.get();
    const DWORD woken = MsgWaitForMultipleObjects(1, &h, FALSE, INFINITE, QS_ALLINPUT);
    if (woken == WAIT_OBJECT_0 || woken == WAIT_FAILED) return ConversionEnd::Ended;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));  // left for the message loop
        return end(ConversionEnd::Quitting);
      }
      if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) return end(ConversionEnd::Cancelled);
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    // The owner window destroyed (its close box) counts as quitting, with or without WM_QUIT.
    if (owner && !IsWindow(owner)) return end(ConversionEnd::Quitting);
    hourglass.Apply();
  }
}

}  // namespace tesmar
