// tesmar-tool thumb, run as the program it is: its JSON line, its PNG and its exit codes.
#include <windows.h>

#include <gtest/gtest.h>

#include "base/silent_abort.h"
#include "base/strings.h"
#include "dwg/dwg_thumbnail_win.h"
#include "tests/support/dwg_writer.h"
#include "tests/support/testdata.h"

namespace tesmar {
namespace {

struct ToolRun {
  DWORD exitCode = 0;
  std::string out;
};

// The tool lies beside the test programs' folder: build/<preset>/cli.
ToolRun RunThumb(const std::filesystem::path& dwg, const std::filesystem::path& png) {
  const std::filesystem::path tool = std::filesystem::current_path() / ".." / "cli" / "tesmar-tool.exe";
  std::wstring cmd = L"\"" + tool.wstring() + L"\" thumb \"" + dwg.wstring() + L"\" \"" + png.wstring() + L"\"";
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) throw std::runtime_error("pipe");
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = writeEnd;
  si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION pi{};
  BOOL started = CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi);
  CloseHandle(writeEnd);
  ToolRun run;
  if (!started) {
    CloseHandle(readEnd);
    throw std::runtime_error("cannot start tesmar-tool");
  }
  char buf[512];
  DWORD n = 0;
  while (ReadFile(readEnd, buf, sizeof buf, &n, nullptr) && n > 0) run.out.append(buf, n);
  WaitForSingleObject(pi.hProcess, INFINITE);
  GetExitCodeProcess(pi.hProcess, &run.exitCode);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  CloseHandle(readEnd);
  while (!run.out.empty() && (run.out.back() == '\n' || run.out.back() == '\r')) run.out.pop_back();
  return run;
}

TEST(ThumbCommand, WritesThePreviewAndTellsWhatItFound) {
  test::TempDir dir;
  const RgbImage source = test::SamplePreview(21, 9);
  test::WriteFile(dir / "bmp.dwg", test::DwgWith(2, MakeDib24(source), "AC1015"));
  test::WriteFile(dir / "r13.dwg", test::DwgWith(2, MakeDib24(source), "AC1012"));
  test::WriteFile(dir / "wmf.dwg", test::DwgWith(3, "WMF", "AC1018"));
  test::WriteFile(dir / "cut.dwg", test::Truncated(test::DwgWith(6, MakePng(source), "AC1032"), 200));

  ToolRun ok = RunThumb(dir / "bmp.dwg", dir / "out.png");
  EXPECT_EQ(ok.exitCode, 0u);
  EXPECT_EQ(ok.out, R"({"version": 1015, "code": 2, "width": 21, "height": 9})");
  EXPECT_EQ(DecodePreviewImage(test::ReadFile(dir / "out.png")).pixels, source.pixels);

  ToolRun none = RunThumb(dir / "r13.dwg", dir / "none.png");
  EXPECT_EQ(none.exitCode, 3u);
  EXPECT_EQ(none.out, R"({"version": 1012, "code": 0})");
  EXPECT_EQ(RunThumb(dir / "wmf.dwg", dir / "none.png").exitCode, 3u);
  EXPECT_FALSE(std::filesystem::exists(dir / "none.png"));
  EXPECT_EQ(RunThumb(dir / "cut.dwg", dir / "none.png").exitCode, 4u);
  EXPECT_EQ(RunThumb(dir / "absent.dwg", dir / "none.png").exitCode, 4u);
}

}  // namespace
}  // namespace tesmar
