#include "dwg/dwg_to_dxf_win.h"

#include <shellapi.h>

#include <string>

#include "base/path_parts.h"
#include "base/strings.h"
#include "dwg/dxf_conversion.h"
#include "ui/seams.h"
#include "ui/wait.h"
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
  static void Apply() { SetCursor(LoadCursorW(nullptr, IDC_WAIT)); }
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

// Ends the converter and waits until it has, so that it writes nothing afterwards.
void EndConverter(HANDLE process) {
  TerminateProcess(process, 1);
  WaitForSingleObject(process, 10000);
}

}  // namespace

ConversionEnd DwgToDxf(HWND owner, std::u16string_view exepath, std::u16string_view DwgPath,
                       std::u16string_view outFolder, bool showRequested, DWORD* exitCode) {
  const std::u16string inFolder = FolderOf(DwgPath);
  const std::u16string params = ConverterParameters(inFolder, outFolder, FileNamePart(DwgPath));
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
  const ui::WaitEnd end = ui::WaitHandlingMessages(process.get(), owner, &Hourglass::Apply);
  if (end == ui::WaitEnd::Signalled) {
    if (exitCode && !GetExitCodeProcess(process.get(), exitCode)) *exitCode = 0;
    return ConversionEnd::Ended;
  }
  // Every other end leaves the converter running: it is ended before the caller goes on.
  EndConverter(process.get());
  switch (end) {
    case ui::WaitEnd::Escape:
      return ConversionEnd::Cancelled;
    case ui::WaitEnd::Failed:
      return ConversionEnd::WaitFailed;
    default:
      return ConversionEnd::Quitting;
  }
}

}  // namespace tesmar
