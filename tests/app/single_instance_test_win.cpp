// A second start of Tesmar.exe from the same folder brings the running palette to the front
// and ends; a palette of another folder runs beside it. Real processes of the real program.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/codepage.h"
#include "base/strings.h"
#include "tests/support/testdata.h"

namespace tesmar {
namespace {

// A copy of Tesmar.exe in a folder of its own (its settings and lists go beside it).
std::filesystem::path CopyOfTheProgram(const test::TempDir& dir) {
  const std::filesystem::path exe = dir / "Tesmar.exe";
  std::filesystem::copy_file(PathFromU16(Utf8ToUtf16(TESMAR_EXE)), exe);
  return exe;
}

HANDLE Start(const std::filesystem::path& exe, DWORD* pid) {
  std::wstring cmd = L"\"" + exe.wstring() + L"\"";
  STARTUPINFOW si{sizeof si};
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, exe.parent_path().c_str(), &si, &pi))
    return nullptr;
  CloseHandle(pi.hThread);
  *pid = pi.dwProcessId;
  return pi.hProcess;
}

// The main window of a process, once it is visible; null when none shows within 60 s.
HWND MainWindowOf(DWORD pid) {
  struct Search {
    DWORD pid;
    HWND found = nullptr;
  };
  for (int waited = 0; waited < 60000; waited += 50) {
    Search s{pid};
    EnumWindows(
        [](HWND h, LPARAM p) -> BOOL {
          auto* s = reinterpret_cast<Search*>(p);
          DWORD owner = 0;
          GetWindowThreadProcessId(h, &owner);
          wchar_t cls[64] = {};
          GetClassNameW(h, cls, 64);
          if (owner == s->pid && std::wstring(cls) == L"TTesmarMainForm" && IsWindowVisible(h)) {
            s->found = h;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&s));
    if (s.found) return s.found;
    Sleep(50);
  }
  return nullptr;
}

// Ends a palette as a user does and waits for it; a palette that does not end is killed.
void Close(HANDLE process, HWND window) {
  if (window) PostMessageW(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process, 20000) != WAIT_OBJECT_0) {
    ADD_FAILURE() << "the palette did not end after WM_CLOSE";
    TerminateProcess(process, 1);
  }
  CloseHandle(process);
}

TEST(SingleInstance, ASecondStartBringsTheRunningPaletteForwardAndEnds) {
  test::TempDir dirA, dirB;
  const auto exeA = CopyOfTheProgram(dirA), exeB = CopyOfTheProgram(dirB);
  DWORD pidA = 0, pidA2 = 0, pidB = 0;
  HANDLE a = Start(exeA, &pidA);
  ASSERT_TRUE(a);
  HWND windowA = MainWindowOf(pidA);
  ASSERT_TRUE(windowA) << "the first palette shows no window";

  // The user has put the palette away; the second start brings it back.
  ShowWindow(windowA, SW_MINIMIZE);
  ASSERT_TRUE(IsIconic(windowA));
  HANDLE a2 = Start(exeA, &pidA2);
  ASSERT_TRUE(a2);
  const bool ended = WaitForSingleObject(a2, 30000) == WAIT_OBJECT_0;
  EXPECT_TRUE(ended) << "the second start opened a palette of its own";
  DWORD code = 99;
  GetExitCodeProcess(a2, &code);
  if (!ended) TerminateProcess(a2, 1);
  CloseHandle(a2);
  EXPECT_EQ(code, 0u);
  for (int waited = 0; waited < 5000 && (IsIconic(windowA) || GetForegroundWindow() != windowA); waited += 50) Sleep(50);
  EXPECT_FALSE(IsIconic(windowA));
  EXPECT_EQ(GetForegroundWindow(), windowA);
  EXPECT_EQ(WaitForSingleObject(a, 0), DWORD(WAIT_TIMEOUT)) << "the first palette still runs";

  // A palette of another program folder is another palette.
  HANDLE b = Start(exeB, &pidB);
  ASSERT_TRUE(b);
  HWND windowB = MainWindowOf(pidB);
  EXPECT_TRUE(windowB) << "a palette of another folder did not start";
  Close(b, windowB);
  Close(a, windowA);
}

}  // namespace
}  // namespace tesmar
