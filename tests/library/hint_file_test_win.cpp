// The hint file on a folder that several users share: real processes, real sharing modes and
// attributes of the platform.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <set>
#include <string>
#include <thread>

#include "base/codepage.h"
#include "base/strings.h"
#include "base/textfile.h"
#include "library/hint_file.h"
#include "tests/support/testdata.h"

namespace tesmar {
namespace {

constexpr wchar_t kWriterSwitch[] = L"--hint-writer";
constexpr int kRuns = 40;

// This test program started as one of the writers below: it waits for the gate file, then
// updates the hint file `kRuns` times, each time listing one drawing of its own, and ends.
// Command line: <exe> --hint-writer <hint file> <prefix> <gate file>
struct HintWriterProcess {
  HintWriterProcess() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc != 5 || std::wstring(argv[1]) != kWriterSwitch) return;
    const std::filesystem::path hint = argv[2], gate = argv[4];
    const std::u16string prefix = FromWide(argv[3]);
    for (int waited = 0; !std::filesystem::exists(gate); waited += 5) {
      if (waited > 60000) ExitProcess(2);
      Sleep(5);
    }
    try {
      for (int i = 1; i <= kRuns; ++i) SaveHintFile(hint, {prefix + IntToStr16(i) + u".dwg"}, std::chrono::seconds(20));
    } catch (const std::exception&) {
      ExitProcess(1);
    }
    ExitProcess(0);
  }
} hintWriterProcess;

HANDLE StartWriter(const std::filesystem::path& hint, const wchar_t* prefix, const std::filesystem::path& gate) {
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring cmd = std::wstring(L"\"") + exe + L"\" " + kWriterSwitch + L" \"" + hint.wstring() + L"\" " + prefix +
                     L" \"" + gate.wstring() + L"\"";
  STARTUPINFOW si{sizeof si};
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(exe, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return nullptr;
  CloseHandle(pi.hThread);
  return pi.hProcess;
}

// Two programs update one hint file at the same moment, again and again, each listing only
// its own drawing of the moment: every line that either wrote is still there (commented out
// by the other, never dropped), and none is cut.
TEST(HintFileShared, TwoProcessesUpdatingAtOnceKeepEveryLine) {
  test::TempDir dir;
  const auto hint = dir / "TesmarHint.txt", gate = dir / "go";
  test::WriteFile(hint, "\xEF\xBB\xBF" "KEEP,\"the user's description\"\r\n");
  HANDLE a = StartWriter(hint, L"a", gate), b = StartWriter(hint, L"b", gate);
  ASSERT_TRUE(a && b);
  test::WriteFile(gate, "");
  HANDLE both[] = {a, b};
  ASSERT_EQ(WaitForMultipleObjects(2, both, TRUE, 120000), WAIT_OBJECT_0);
  for (HANDLE p : both) {
    DWORD code = 99;
    GetExitCodeProcess(p, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(p);
  }

  TextLines text = ParseTextLines(test::ReadFile(hint));
  ASSERT_FALSE(text.lines.empty());
  EXPECT_EQ(text.lines[0], u"//KEEP,\"the user's description\"");
  std::set<std::string> keys;
  const std::regex line("^(//)?([ab][0-9]+),$");
  for (std::size_t i = 1; i < text.lines.size(); ++i) {
    const std::string s = Utf16ToUtf8(text.lines[i]);
    std::smatch m;
    EXPECT_TRUE(std::regex_match(s, m, line)) << "a cut or mixed line: " << s;
    if (m.size() > 2) keys.insert(m[2]);
  }
  for (const char* prefix : {"a", "b"})
    for (int i = 1; i <= kRuns; ++i) EXPECT_TRUE(keys.count(prefix + std::to_string(i))) << prefix << i << " was lost";
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.path())) (void)e, ++files;
  EXPECT_EQ(files, 2) << "the hint file and the gate; no temporary or lock file is left";
}

// A file that another program holds open without sharing is tried again while it stays open
// and saved as soon as it is let go; one that stays open is reported as in use, and a file
// marked read-only as such. The file is never cut or changed by a failed save.
TEST(HintFileShared, AFileHeldOpenIsRetriedThenReported) {
  test::TempDir dir;
  const auto hint = dir / "TesmarHint.txt";
  test::WriteFile(hint, "A,desc\r\n");

  HANDLE held = CreateFileW(hint.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  try {
    SaveHintFile(hint, {u"a.dwg", u"b.dwg"}, std::chrono::milliseconds(400));
    ADD_FAILURE() << "no error";
  } catch (const FileWriteError& e) {
    EXPECT_EQ(e.failure, WriteFailure::InUse) << e.what();
  }
  std::thread letGo([&] {
    Sleep(300);
    CloseHandle(held);
  });
  EXPECT_TRUE(SaveHintFile(hint, {u"a.dwg", u"b.dwg"}, std::chrono::seconds(10)));
  letGo.join();
  EXPECT_EQ(test::ReadFile(hint), "A,desc\r\nb,\r\n");

  ASSERT_TRUE(SetFileAttributesW(hint.c_str(), FILE_ATTRIBUTE_READONLY));
  try {
    SaveHintFile(hint, {u"c.dwg"}, std::chrono::milliseconds(200));
    ADD_FAILURE() << "no error";
  } catch (const FileWriteError& e) {
    EXPECT_EQ(e.failure, WriteFailure::FileReadOnly) << e.what();
    EXPECT_NE(HintSaveFailureText(e, U16FromPath(hint)).find(u"読み取り専用"), std::u16string::npos);
  }
  SetFileAttributesW(hint.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(test::ReadFile(hint), "A,desc\r\nb,\r\n");
}

}  // namespace
}  // namespace tesmar
