// The main window's conversion command with the stand-in converter as a real second process
// and the viewer window: which DXF file is shown, when the converter runs, what is reported,
// and which files the exit removes.
#include <gtest/gtest.h>

#include "app/forms_win.h"
#include "app/main_form_win.h"
#include "base/codepage.h"
#include "base/strings.h"
#include "tests/app/main_form_fixture_win.h"
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
  // The width of the drawing the viewer shows, once its opening has ended.
  double ShownWidth() {
    viewer.WaitWhileOpening();
    return viewer.g_cadw;
  }
  std::u16string Program(const char* name) const { return U16FromPath(dir / name); }

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
  test::WriteFile(dir / "lib" / "A" / "plan.dwg", test::DwgCarryingDxf(LineDxf(10)));
  test::WriteFile(dir / "lib" / "B" / "plan.dwg", test::DwgCarryingDxf(LineDxf(20)));
  auto& f = StartWithLibrary();
  ChooseFolder(u"A");
  f.DWGDXF1Click();
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

TEST_F(ConvertFormTest, FailuresAreReportedAndNothingIsShown) {
  test::WriteFile(dir / "lib" / "plan.dwg", test::DwgCarryingDxf(LineDxf(30)));
  auto& f = StartWithLibrary();
  {
    test::ScopedEnv fail(L"TESMAR_CONVERTER_FAIL", L"1");
    f.DWGDXF1Click();
  }
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, Program("plan.dxf") + u"\nファイルが見つかりません．");
  EXPECT_FALSE(IsWindowVisible(viewer.hwnd()));
  EXPECT_EQ(f.Edit1().Text(), u"");

  std::filesystem::remove(dir / "lib" / "plan.dwg");
  f.DWGDXF1Click();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1].text, U16FromPath(dir / "lib" / "plan.dwg") + u"\nファイルが見つかりません．");
  EXPECT_EQ(log.Runs().size(), 1u);
}

// The main window closed while the converter runs: the handler returns at once without
// touching the window, the converter is ended, and no DXF is left in the program folder.
TEST_F(ConvertFormTest, ClosingTheWindowDuringTheConversionLeavesNothingBehind) {
  test::WriteFile(dir / "lib" / "plan.dwg", test::DwgCarryingDxf(LineDxf(30)));
  auto& f = StartWithLibrary();
  test::ScopedEnv delay(L"TESMAR_CONVERTER_DELAY_MS", L"4000");
  static HWND mainWindow = nullptr;
  mainWindow = f.hwnd();
  SetTimer(nullptr, 0, 1000, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    DestroyWindow(mainWindow);  // as the close box does, inside the wait
  });
  f.DWGDXF1Click();
  EXPECT_FALSE(IsWindow(mainWindow));
  Sleep(4500);  // past the converter's delay: an ended converter writes nothing
  EXPECT_FALSE(std::filesystem::exists(dir / "plan.dxf"));
  EXPECT_TRUE(shown.empty());
  EXPECT_FALSE(IsWindowVisible(viewer.hwnd()));
  ASSERT_EQ(log.Runs().size(), 1u);
  EXPECT_NE(log.Runs()[0].exitCode, 0);
  form.release();  // destroyed above; the object is left as the program's exit leaves it
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
