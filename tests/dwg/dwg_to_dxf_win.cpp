// The converter started as a real second process (the stand-in), through the shell: what
// arrives on its command line, how its window is shown, the wait and the failures.
#include "dwg/dwg_to_dxf_win.h"

#include <gtest/gtest.h>

#include <random>

#include "base/codepage.h"
#include "base/strings.h"
#include "tests/support/standin_converter_win.h"
#include "tests/support/testdata.h"
#include "ui/seams.h"

namespace tesmar {
namespace {

constexpr char kDxf[] = "0\nSECTION\n2\nENTITIES\n0\nENDSEC\n0\nEOF\n";

struct Box {
  std::u16string text, caption;
  UINT flags;
};

class DwgToDxfTest : public ::testing::Test {
 protected:
  DwgToDxfTest()
      : boxes_(ui::MessageBoxSeam(), [this](HWND, std::u16string_view t, std::u16string_view c, UINT f) {
          shown.push_back(Box{std::u16string(t), std::u16string(c), f});
          return IDOK;
        }) {}
  ConversionEnd Convert(const std::filesystem::path& dwg, const std::filesystem::path& out, bool show = false,
               std::filesystem::path exe = test::StandInConverter()) {
    return DwgToDxf(nullptr, U16FromPath(exe), U16FromPath(dwg), U16FromPath(out), show);
  }
  test::TempDir dir;
  test::ConverterLog log;
  std::vector<Box> shown;

 private:
  ui::SeamOverride<ui::MessageBoxFn> boxes_;
};

TEST_F(DwgToDxfTest, SevenArgumentsArriveExactlyAndTheDxfIsWritten) {
  ASSERT_TRUE(std::filesystem::exists(test::StandInConverter())) << test::StandInConverter();
  const auto in = dir / u8"図面 集", out = dir / "out put";
  std::filesystem::create_directories(out);
  test::WriteFile(in / u8"仕切 弁.dwg", test::DwgCarryingDxf(kDxf));
  EXPECT_EQ(ConversionEnd::Ended, Convert(in / u8"仕切 弁.dwg", out));
  const auto runs = log.Runs();
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].args, (std::vector<std::string>{Utf16ToUtf8(U16FromPath(in)), Utf16ToUtf8(U16FromPath(out)),
                                                     "ACAD2000", "DXF", "0", "0", Utf16ToUtf8(u"仕切 弁.dwg")}));
  EXPECT_EQ(runs[0].show, SW_HIDE);
  EXPECT_EQ(runs[0].exitCode, 0);
  EXPECT_EQ(test::ReadFile(out / u8"仕切 弁.dxf"), kDxf);
  EXPECT_TRUE(shown.empty());
}

// A drawing in a drive's root: the folder arrives as "C:\" (not as an escaped quote that runs
// into the next argument), and the converter's window is shown although it was not asked for.
TEST_F(DwgToDxfTest, DriveRootFolderArrivesIntactAndShowsTheWindow) {
  const std::string name = "tesmar-root-" + std::to_string(std::random_device{}()) + ".dwg";
  const std::filesystem::path dwg = std::filesystem::path("C:\\") / name;
  test::WriteFile(dwg, test::DwgCarryingDxf(kDxf));
  EXPECT_EQ(ConversionEnd::Ended, Convert(dwg, dir.path()));
  std::error_code ec;
  std::filesystem::remove(dwg, ec);
  const auto runs = log.Runs();
  ASSERT_EQ(runs.size(), 1u);
  ASSERT_EQ(runs[0].args.size(), 7u) << runs[0].commandLine;
  EXPECT_EQ(runs[0].args[0], "C:\\");
  EXPECT_EQ(runs[0].args[1], Utf16ToUtf8(U16FromPath(dir.path())));
  EXPECT_EQ(runs[0].args[6], name);
  EXPECT_EQ(runs[0].show, SW_SHOWNORMAL);
  EXPECT_TRUE(std::filesystem::exists(dir / (name.substr(0, name.size() - 4) + ".dxf")));

  test::WriteFile(dir / "a.dwg", test::DwgCarryingDxf(kDxf));
  EXPECT_EQ(ConversionEnd::Ended, Convert(dir / "a.dwg", dir.path(), /*show=*/true));
  EXPECT_EQ(log.Runs().back().show, SW_SHOWNORMAL);
}

// While the converter works, the thread's messages are processed (a timer fires); a converter
// that fails still ends the wait with true, and writes nothing.
TEST_F(DwgToDxfTest, WaitKeepsMessagesFlowingAndIgnoresTheExitCode) {
  test::WriteFile(dir / "a.dwg", test::DwgCarryingDxf(kDxf));
  test::ScopedEnv delay(L"TESMAR_CONVERTER_DELAY_MS", L"300");
  static int ticks = 0;
  ticks = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) { ++ticks; });
  EXPECT_EQ(ConversionEnd::Ended, Convert(dir / "a.dwg", dir.path()));
  KillTimer(nullptr, timer);
  EXPECT_GT(ticks, 0);
  EXPECT_TRUE(std::filesystem::exists(dir / "a.dxf"));

  test::ScopedEnv fail(L"TESMAR_CONVERTER_FAIL", L"7");
  test::WriteFile(dir / "b.dwg", test::DwgCarryingDxf(kDxf));
  EXPECT_EQ(ConversionEnd::Ended, Convert(dir / "b.dwg", dir.path()));
  EXPECT_EQ(log.Runs().back().exitCode, 7);
  EXPECT_FALSE(std::filesystem::exists(dir / "b.dxf"));
  EXPECT_TRUE(shown.empty());
}

// A converter that does not end (a wrong program, or one waiting on a hidden dialog): Esc ends
// the wait and the converter; so does the program's quitting, which stays in the queue for the
// message loop. Either way the converter writes nothing afterwards.
TEST_F(DwgToDxfTest, EscOrQuittingEndsTheWaitAndTheConverter) {
  test::WriteFile(dir / "a.dwg", test::DwgCarryingDxf(kDxf));
  test::ScopedEnv delay(L"TESMAR_CONVERTER_DELAY_MS", L"4000");
  for (const bool quit : {false, true}) {
    SCOPED_TRACE(quit ? "quit" : "escape");
    const int runsBefore = int(log.Runs().size());
    // The key press or the quit arrives once the converter runs.
    static bool quitting = false;
    quitting = quit;
    const UINT_PTR timer = SetTimer(nullptr, 0, 1000, [](HWND, UINT, UINT_PTR id, DWORD) {
      KillTimer(nullptr, id);
      if (quitting) PostQuitMessage(0);
      else PostThreadMessageW(GetCurrentThreadId(), WM_KEYDOWN, VK_ESCAPE, 0);
    });
    EXPECT_EQ(quit ? ConversionEnd::Quitting : ConversionEnd::Cancelled, Convert(dir / "a.dwg", dir.path()));
    KillTimer(nullptr, timer);
    MSG msg;
    EXPECT_EQ(quit, PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE);
    Sleep(4500);  // past the converter's delay: an ended converter writes nothing
    EXPECT_FALSE(std::filesystem::exists(dir / "a.dxf"));
    EXPECT_EQ(int(log.Runs().size()), runsBefore + 1);  // it started once ...
    ASSERT_FALSE(log.Runs().empty());
    EXPECT_NE(log.Runs().back().exitCode, 0);  // ... and did not end on its own
  }
  EXPECT_TRUE(shown.empty());
}

TEST_F(DwgToDxfTest, AConverterThatCannotStartIsReported) {
  test::WriteFile(dir / "a.dwg", test::DwgCarryingDxf(kDxf));
  EXPECT_EQ(ConversionEnd::StartFailed, Convert(dir / "a.dwg", dir.path(), false, dir / "missing.exe"));
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, u"起動に失敗しました．");
  EXPECT_EQ(shown[0].caption, u"エラー");
  EXPECT_EQ(shown[0].flags & MB_ICONMASK, UINT(MB_ICONERROR));
  EXPECT_TRUE(log.Runs().empty());
}

}  // namespace
}  // namespace tesmar
