// The main window's conversion command with the stand-in converter as a real second process
// and the viewer window: which DXF file is shown, when the converter runs, what is reported,
// and which files the exit removes.
#include <gtest/gtest.h>

#include <functional>

#include "app/forms_win.h"
#include "app/main_form_win.h"
#include "base/codepage.h"
#include "base/strings.h"
#include "tests/app/main_form_fixture_win.h"
#include "tests/support/real_pointer_win.h"
#include "tests/support/standin_converter_win.h"
#include "viewer/zoomer_form_win.h"

namespace tesmar {
namespace {

// A drawing of one line from (0, 0) to (len, 0): each drawing tells itself by its length.
std::string LineDxf(int len) {
  return "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n10\n0\n20\n0\n11\n" + std::to_string(len) +
         "\n21\n0\n0\nENDSEC\n0\nEOF\n";
}

class ConvertFormTest : public test::MainFormTest {
 protected:
  ConvertFormTest() {
    viewer.Create(nullptr);
    Forms().MorvikZoomerForm = &viewer;
  }
  ~ConvertFormTest() override { Forms().MorvikZoomerForm = nullptr; }

  // Starts with lib/ as the only top folder and the stand-in as the registered converter.
  TTesmarMainForm& StartWithLibrary() {
    test::WriteFile(File("TesmarTopDirs.txt"), Utf16ToAnsi(U16FromPath(dir / "lib")) + "\r\n");
    auto& f = Start();
    f.odaFullName = U16FromPath(test::StandInConverter());
    return f;
  }
  void ChooseFolder(std::u16string_view name) {
    const int i = form->ComboBox2().FindExact(name);
    ASSERT_GE(i, 0);
    form->ComboBox2().SetItemIndex(i);
    form->ComboBox2Change();
  }
  std::u16string Shown() const { return viewer.dxfFullName; }
  // plan.dwg in lib\A (a line 10 long) and in lib\B (20 long); the one of A converted and shown.
  TTesmarMainForm& StartWithTheFirstOfTwoPlansShown() {
    test::WriteFile(dir / "lib" / "A" / "plan.dwg", test::DwgCarryingDxf(LineDxf(10)));
    test::WriteFile(dir / "lib" / "B" / "plan.dwg", test::DwgCarryingDxf(LineDxf(20)));
    auto& f = StartWithLibrary();
    ChooseFolder(u"A");
    f.DWGDXF1Click();
    return f;
  }
  // The width of the drawing the viewer shows, once its opening has ended.
  double ShownWidth() {
    viewer.WaitWhileOpening();
    return viewer.g_cadw;
  }
  std::u16string Program(const char* name) const { return U16FromPath(dir / name); }

  // Runs `act` once from a timer of the thread, as soon as the converter has started (its log
  // has one more run), while the conversion's wait handles messages.
  void WhileConverting(std::function<void()> act) {
    static std::function<void()> pending;
    static std::function<bool()> started;
    const std::size_t before = log.Runs().size();
    pending = std::move(act);
    started = [this, before] { return log.Runs().size() > before; };
    SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
      if (!started()) return;
      KillTimer(nullptr, id);
      auto run = std::move(pending);
      pending = nullptr;
      if (run) run();
    });
  }
  // Whether the converter's last run went to its own end (it logs its exit code then).
  bool LastRunEndedByItself() const { return log.Runs().back().exitCode != -1; }

  TMorvikZoomerForm viewer;
  test::ConverterLog log;
};

TEST_F(ConvertFormTest, ConverterNotRegisteredIsReportedAtOnce) {
  test::WriteFile(dir / "lib" / "a.dwg", test::DwgCarryingDxf(LineDxf(10)));
  auto& f = StartWithLibrary();
  f.odaFullName.clear();
  f.DWGDXF1Click();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, u"ODAFileConverter.exe が見つかりません．");
  EXPECT_EQ(shown[0].flags & MB_ICONMASK, UINT(MB_ICONINFORMATION));
  EXPECT_TRUE(log.Runs().empty());
  EXPECT_FALSE(IsWindowVisible(viewer.hwnd()));
}

// The first showing converts and opens the viewer; showing it again opens the same DXF without
// the converter; a changed drawing is converted again.
TEST_F(ConvertFormTest, ConvertsOnceAndReusesOnlyForTheUnchangedDrawing) {
  test::WriteFile(dir / "lib" / "plan.dwg", test::DwgCarryingDxf(LineDxf(40)));
  auto& f = StartWithLibrary();
  ASSERT_EQ(f.ComboBox3().Text(), u"plan.dwg");
  viewer.g_CoSw = 1;
  f.DWGDXF1Click();
  EXPECT_TRUE(shown.empty());
  ASSERT_EQ(log.Runs().size(), 1u);
  EXPECT_EQ(Shown(), Program("plan.dxf"));
  EXPECT_TRUE(IsWindowVisible(viewer.hwnd()));
  EXPECT_EQ(viewer.g_CoSw, 0);
  EXPECT_EQ(ShownWidth(), 40);
  EXPECT_EQ(f.Edit1().Text(), u"");

  viewer.dxfFullName.clear();
  f.DWGDXF1Click();
  EXPECT_EQ(log.Runs().size(), 1u);
  EXPECT_EQ(Shown(), Program("plan.dxf"));

  test::WriteFile(dir / "lib" / "plan.dwg", test::DwgCarryingDxf(LineDxf(1234)));
  f.DWGDXF1Click();
  EXPECT_EQ(log.Runs().size(), 2u);
  EXPECT_EQ(ShownWidth(), 1234);
}

// Two drawings of one name in two folders: each shows its own drawing.
TEST_F(ConvertFormTest, ADrawingOfTheSameNameElsewhereIsConvertedAgain) {
  auto& f = StartWithTheFirstOfTwoPlansShown();
  EXPECT_EQ(ShownWidth(), 10);
  ChooseFolder(u"B");
  f.DWGDXF1Click();
  EXPECT_EQ(ShownWidth(), 20);
  EXPECT_EQ(log.Runs().size(), 2u);
  EXPECT_TRUE(shown.empty());
}

// A DXF file of the user's in the program folder is neither shown for the drawing, nor written
// over, nor deleted at exit; the conversion goes to the program's own folder, which the exit
// clears.
TEST_F(ConvertFormTest, TheUsersOwnDxfIsNeverTouched) {
  test::WriteFile(dir / "plan.dxf", LineDxf(999));
  test::WriteFile(dir / "lib" / "plan.dwg", test::DwgCarryingDxf(LineDxf(30)));
  auto& f = StartWithLibrary();
  f.DWGDXF1Click();
  EXPECT_EQ(ShownWidth(), 30);
  ASSERT_EQ(log.Runs().size(), 1u);
  const std::filesystem::path converted = PathFromU16(Shown());
  EXPECT_NE(converted, dir / "plan.dxf");
  EXPECT_TRUE(std::filesystem::exists(converted));
  Close();
  EXPECT_EQ(test::ReadFile(dir / "plan.dxf"), LineDxf(999));
  EXPECT_FALSE(std::filesystem::exists(converted));
  EXPECT_FALSE(std::filesystem::exists(converted.parent_path()));
}

// The DXF file of an earlier conversion is still held by a reader (without leave to delete it,
// as a reading viewer holds it) when a drawing of the same name from another folder is asked
// for: that file is not taken for the new drawing, which is converted into a folder of its own;
// the exit removes both.
TEST_F(ConvertFormTest, AHeldDxfOfTheSameNameIsNotTakenForTheNextDrawing) {
  auto& f = StartWithTheFirstOfTwoPlansShown();
  ASSERT_EQ(ShownWidth(), 10);
  const std::wstring held = (dir / "plan.dxf").wstring();
  HANDLE reader = CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  ChooseFolder(u"B");
  f.DWGDXF1Click();
  const double width = ShownWidth();
  CloseHandle(reader);
  EXPECT_EQ(width, 20);
  const std::filesystem::path second = PathFromU16(Shown());
  EXPECT_NE(second, dir / "plan.dxf");
  EXPECT_TRUE(shown.empty());
  Close();
  EXPECT_FALSE(std::filesystem::exists(dir / "plan.dxf"));
  EXPECT_FALSE(std::filesystem::exists(second));
  EXPECT_FALSE(std::filesystem::exists(second.parent_path()));
}

TEST_F(ConvertFormTest, FailuresAreReportedAndNothingIsShown) {
  test::WriteFile(dir / "lib" / "plan.dwg", test::DwgCarryingDxf(LineDxf(30)));
  auto& f = StartWithLibrary();
  {
    test::ScopedEnv fail(L"TESMAR_CONVERTER_FAIL", L"1");
    f.DWGDXF1Click();
  }
  // The failure is said as one, with the drawing asked for and the converter's own word.
  ASSERT_EQ(shown.size(), 1u);
  const std::u16string dwg = U16FromPath(dir / "lib" / "plan.dwg");
  EXPECT_EQ(shown[0].text, u"DWG->DXF 変換に失敗しました．\n" + dwg + u"\n変換プログラムの終了コード: 1");
  EXPECT_EQ(shown[0].text.find(u".dxf"), std::u16string::npos) << "no file the user never asked for";
  EXPECT_FALSE(IsWindowVisible(viewer.hwnd()));
  EXPECT_EQ(f.Edit1().Text(), u"");

  // A converter that cannot be waited for has not been seen to end: no file is looked for.
  {
    ui::SeamOverride<ui::ShellExecuteExFn> shell(ui::ShellExecuteExSeam(), &test::StartWithUnwaitableHandle);
    f.DWGDXF1Click();
  }
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1].text, u"DWG->DXF 変換を中止しました．");
  EXPECT_EQ(shown[1].flags & MB_ICONMASK, UINT(MB_ICONERROR));
  EXPECT_FALSE(IsWindowVisible(viewer.hwnd()));

  std::filesystem::remove(dir / "lib" / "plan.dwg");
  f.DWGDXF1Click();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[2].text, U16FromPath(dir / "lib" / "plan.dwg") + u"\nファイルが見つかりません．");
  EXPECT_EQ(log.Runs().size(), 1u);
}

// Closing the main window while the converter runs: the wait ends at once, the converter is
// ended, and the DXF it had written already is removed, since the exit's clean-up has run.
TEST_F(ConvertFormTest, ClosingTheWindowDuringAConversionLeavesNothingBehind) {
  test::WriteFile(dir / "lib" / "plan.dwg", test::DwgCarryingDxf(LineDxf(30)));
  auto& f = StartWithLibrary();
  test::ScopedEnv linger(L"TESMAR_CONVERTER_LINGER_MS", L"3000");
  const HWND window = f.hwnd();
  WhileConverting([&] {
    // Once the converter has written its output, the user closes the window.
    while (!std::filesystem::exists(dir / "plan.dxf")) Sleep(20);
    PostMessageW(window, WM_CLOSE, 0, 0);
  });
  f.DWGDXF1Click();
  EXPECT_FALSE(IsWindow(window));
  Sleep(3500);  // past the converter's own end, had it been left running
  EXPECT_FALSE(LastRunEndedByItself());
  EXPECT_FALSE(std::filesystem::exists(dir / "plan.dxf"));
  EXPECT_TRUE(shown.empty());
  EXPECT_FALSE(IsWindowVisible(viewer.hwnd()));
}

// Esc ends the wait for a converter that does not end, and the converter with it.
TEST_F(ConvertFormTest, EscEndsAConversionThatDoesNotEnd) {
  test::WriteFile(dir / "lib" / "plan.dwg", test::DwgCarryingDxf(LineDxf(30)));
  auto& f = StartWithLibrary();
  test::ScopedEnv delay(L"TESMAR_CONVERTER_DELAY_MS", L"600000");
  WhileConverting([&] { PostMessageW(f.hwnd(), WM_KEYDOWN, VK_ESCAPE, 0); });
  f.DWGDXF1Click();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, u"DWG->DXF 変換を中止しました．");
  EXPECT_EQ(shown[0].flags & MB_ICONMASK, UINT(MB_ICONINFORMATION));
  EXPECT_FALSE(LastRunEndedByItself());
  EXPECT_FALSE(std::filesystem::exists(dir / "plan.dxf"));
  EXPECT_FALSE(IsWindowVisible(viewer.hwnd()));
  EXPECT_EQ(f.Edit1().Text(), u"");
}

// The same with the real Esc key of the display, pressed in the main window as a user does.
TEST_F(ConvertFormTest, RealEscKeyEndsTheConversion) {
  test::WriteFile(dir / "lib" / "plan.dwg", test::DwgCarryingDxf(LineDxf(30)));
  auto& f = StartWithLibrary();
  SetWindowPos(f.hwnd(), HWND_TOPMOST, 40, 560, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  UpdateWindow(f.hwnd());
  test::ScopedEnv delay(L"TESMAR_CONVERTER_DELAY_MS", L"600000");
  bool started = false;
  WhileConverting([&] {
    started = test::StartRealPointer(test::ClickAtCentreOf(f.Edit1().hwnd()) + " sleep 0.3 key Escape");
  });
  f.DWGDXF1Click();
  ASSERT_TRUE(started) << "xdotool cannot be started";
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, u"DWG->DXF 変換を中止しました．");
  EXPECT_FALSE(LastRunEndedByItself());
}

// While a conversion runs, another conversion and an insert are refused with a word in the
// status field, and neither they nor the hover over a preview replace the conversion's status.
TEST_F(ConvertFormTest, RequestsWhileConvertingAreRefusedAndTheStatusStays) {
  test::WriteFile(dir / "lib" / "plan.dwg", test::DwgCarryingDxf(LineDxf(30)));
  test::WriteFile(dir / "lib" / "other.dwg", test::DwgCarryingDxf(LineDxf(40)));
  auto& f = StartWithLibrary();
  test::ScopedEnv delay(L"TESMAR_CONVERTER_DELAY_MS", L"1500");
  std::vector<std::u16string> status;
  WhileConverting([&] {
    status.push_back(f.Edit1().Text());
    f.DWGDXF1Click();
    status.push_back(f.Edit1().Text());
    f.Image1DblClick(*f.ImgAry[1]);
    status.push_back(f.Edit1().Text());
    f.Image1MouseMove(*f.ImgAry[1], 5, 5);
    status.push_back(f.Edit1().Text());
  });
  const std::u16string drawing = f.ComboBox3().Text();
  f.DWGDXF1Click();
  const std::u16string converting = u"DWG->DXF 変換中... (Esc で中止)", refused = converting + u"(処理中)";
  EXPECT_EQ(status, (std::vector<std::u16string>{converting, refused, refused, refused}));
  ASSERT_EQ(log.Runs().size(), 1u);
  EXPECT_TRUE(shown.empty());
  EXPECT_TRUE(IsWindowVisible(viewer.hwnd()));
  EXPECT_EQ(Shown(), Program((Utf16ToUtf8(drawing.substr(0, drawing.size() - 4)) + ".dxf").c_str()));
  EXPECT_EQ(f.Edit1().Text(), u"");
}

TEST_F(ConvertFormTest, RegisterAndShowChoice) {
  auto& f = StartWithLibrary();
  ui::SeamOverride<ui::OpenFileFn> pick(ui::OpenFileSeam(), [](HWND, std::u16string_view filter, std::u16string_view ext)
                                            -> std::optional<std::u16string> {
    EXPECT_EQ(filter, u"*.exe|*.exe");
    EXPECT_EQ(ext, u".exe");
    return u"D:\\ODA\\ODAFileConverter.exe";
  });
  f.ODAFileConverter1Click();
  EXPECT_EQ(f.odaFullName, u"D:\\ODA\\ODAFileConverter.exe");
  const bool before = f.MenuItem(u"ODAFileConverter2").Checked();
  f.ODAFileConverter2Click();
  EXPECT_NE(f.MenuItem(u"ODAFileConverter2").Checked(), before);
}

}  // namespace
}  // namespace tesmar
