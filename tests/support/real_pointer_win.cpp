#include "tests/support/real_pointer_win.h"

#include "base/codepage.h"
#include "base/strings.h"

namespace tesmar::test {

bool StartRealPointer(const std::string& xdotoolArgs) {
  // Wine starts a Unix program given by its path on drive Z:.
  std::wstring cmd = ToWide(Utf8ToUtf16("Z:\\usr\\bin\\xdotool " + xdotoolArgs));
  STARTUPINFOW si{sizeof si};
  PROCESS_INFORMATION pi{};
  const bool started = CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
  if (pi.hThread) CloseHandle(pi.hThread);
  if (pi.hProcess) CloseHandle(pi.hProcess);
  return started;
}

std::string ClickAtCentreOf(HWND window, int repeat) {
  RECT r;
  GetWindowRect(window, &r);
  std::string args = "mousemove " + std::to_string((r.left + r.right) / 2) + " " + std::to_string((r.top + r.bottom) / 2) +
                     " sleep 0.2 click";
  if (repeat > 1) args += " --repeat " + std::to_string(repeat) + " --delay 60";
  return args + " 1";
}

}  // namespace tesmar::test
