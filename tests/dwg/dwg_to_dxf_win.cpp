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
    return DwgToDxf(owner, U16FromPath(exe), U16FromPath(dwg), U16FromPath(out), show);
  }
  HWND owner = nullptr;
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
// that fails still ends the wait as ended, and writes nothing.
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

// A converter that does not end by itself: Esc, the end of the program (WM_QUIT, which is
// left for the message loop) and the destruction of the owner window each end the wait and the
// converter, which then writes nothing.
TEST_F(DwgToDxfTest, EscOrTheProgramsEndEndsTheConverter) {
  test::WriteFile(dir / "a.dwg", test::DwgCarryingDxf(kDxf));
  test::ScopedEnv delay(L"TESMAR_CONVERTER_DELAY_MS", L"1500");
  static HWND window = nullptr;
  window = CreateWindowExW(0, L"Static", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(window);
  owner = window;
  using Act = void (*)();
  const struct {
    const char* what;
    Act act;
    ConversionEnd end;
    bool quitLeft;
  } cases[] = {
      {"Esc", [] { PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0); }, ConversionEnd::Cancelled, false},
      {"WM_QUIT", [] { PostQuitMessage(3); }, ConversionEnd::Quitting, true},
      {"owner destroyed", [] { DestroyWindow(window); }, ConversionEnd::Quitting, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    static Act act = nullptr;
    act = c.act;
    // Once the converter has started (its log has the run), the act comes from a timer.
    static test::ConverterLog* runs = nullptr;
    runs = &log;
    static std::size_t before = 0;
    before = log.Runs().size();
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
      if (runs->Runs().size() <= before) return;
      KillTimer(nullptr, id);
      act();
    });
    EXPECT_EQ(Convert(dir / "a.dwg", dir.path()), c.end);
    KillTimer(nullptr, timer);
    // Past the converter's delay, nothing was written: it was ended, not left running.
    Sleep(2500);
    ASSERT_EQ(log.Runs().size(), before + 1);
    EXPECT_EQ(log.Runs().back().exitCode, -1) << "the converter ran to its end";
    EXPECT_FALSE(std::filesystem::exists(dir / "a.dxf"));
    MSG quit;
    EXPECT_EQ(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE, c.quitLeft)
        << "WM_QUIT stays for the message loop";
  }
  EXPECT_TRUE(shown.empty());
}

// A converter whose handle the system cannot wait on has not been seen to end: the wait says
// so, instead of reporting a conversion that may still be running as done.
TEST_F(DwgToDxfTest, AWaitTheSystemRefusesIsNotTheConvertersEnd) {
  test::WriteFile(dir / "a.dwg", test::DwgCarryingDxf(kDxf));
  ui::SeamOverride<ui::ShellExecuteExFn> shell(ui::ShellExecuteExSeam(), &test::StartWithUnwaitableHandle);
  EXPECT_EQ(ConversionEnd::WaitFailed, Convert(dir / "a.dwg", dir.path()));
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
