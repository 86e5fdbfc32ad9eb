#include "app/settings.h"

#include <map>
#include <vector>

#include <gtest/gtest.h>

#include "app/startup.h"
#include "base/codepage.h"

namespace tesmar {
namespace {

// An INI file held in a map; it logs the keys in the order they are asked for or written.
class MapIni : public IniSource, public IniSink {
 public:
  std::map<std::u16string, std::u16string> values;  // "Section/Key" -> value
  std::vector<std::u16string> readOrder, writeOrder;

  std::optional<std::u16string> Read(std::u16string_view section, std::u16string_view key) override {
    auto name = Name(section, key);
    readOrder.push_back(name);
    auto it = values.find(name);
    if (it == values.end()) return std::nullopt;
    return it->second;
  }
  void Write(std::u16string_view section, std::u16string_view key, std::u16string_view value) override {
    auto name = Name(section, key);
    writeOrder.push_back(name);
    values[name] = value;
  }
  static std::u16string Name(std::u16string_view section, std::u16string_view key) {
    return std::u16string(section) + u"/" + std::u16string(key);
  }
};

const std::vector<std::u16string> kTableOrder = {
    u"Form/Width", u"Form/Height", u"Form/Left", u"Form/Top", u"ODA/FullName", u"DWG/topDir",
    u"ODA/dispFlag", u"Cad/lspName", u"Cad/exeName", u"Cad/funcName1", u"Cad/funcName2",
    u"Cad/cut", u"Cad/repeat", u"Cad/explode", u"Cad/purge", u"Cad/useLsp", u"Cad/useFunc1",
    u"Cad/useFunc2", u"Image/Clip", u"Target/ProgID", u"Form/ClientWidth", u"Form/ClientHeight",
    u"Image/Names", u"DWG/folder", u"DWG/page"};

SettingsContext Context() {
  return SettingsContext{.designedWidth = 290, .designedHeight = 355, .screenWidth = 1920,
                         .screenHeight = 1080, .programFolder = u"C:\\Tesmar",
                         .currentTargetProgID = kDefaultTargetProgID};
}

TEST(Settings, EmptyFileGivesEveryDefaultReadInTableOrder) {
  MapIni ini;
  Settings s = ReadSettings(ini, Context());
  EXPECT_EQ(ini.readOrder, kTableOrder);
  Settings expected;
  expected.Width = 290, expected.Height = 355;
  expected.Left = (1920 - 290) / 2, expected.Top = (1080 - 355) / 2;
  expected.topDir = u"C:\\Tesmar";
  EXPECT_EQ(s, expected);
  EXPECT_FALSE(s.dispFlag);
  EXPECT_TRUE(s.insert.cutFlag && s.insert.repeatFlag && s.insert.useFunc2Flag && s.g_ImageClip);
  EXPECT_FALSE(s.insert.expFlag || s.insert.purgeFlag || s.insert.useFunc1Flag);
  // A first start inserts with the CAD program's own command; the LISP names stay for later.
  EXPECT_FALSE(s.insert.useLspFlag);
  EXPECT_EQ(s.insert.funcName2, u"kvo_dxfIn_cut");
  EXPECT_EQ(s.insert.lspName, u"MERIDOX410.lsp");
  EXPECT_EQ(s.g_TargetProgID, u"BricscadApp.AcadApplication");
}

TEST(Settings, EveryKeyRoundTripsAndExeNameIsNeverWritten) {
  Settings s;
  s.Width = 301, s.Height = -7, s.Left = -5000, s.Top = 99999;  // off-screen values stay as they are
  s.odaFullName = u"D:\\ODA\\ODAFileConverter.exe";
  s.topDir = u"E:\\図面";
  s.dispFlag = true;
  s.insert.lspName = u"a\\b.lsp", s.exeName = u"other.exe", s.insert.funcName1 = u"f1", s.insert.funcName2 = u"f2";
  s.insert.cutFlag = false, s.insert.repeatFlag = false, s.insert.expFlag = true, s.insert.purgeFlag = true;
  s.insert.useLspFlag = false, s.insert.useFunc1Flag = true, s.insert.useFunc2Flag = false, s.g_ImageClip = false;
  s.g_TargetProgID = u"AutoCAD.Application";
  s.clientWidth96 = 500, s.clientHeight96 = 640, s.showNames = false;
  s.lastFolder = u"部品\\弁", s.lastPage = 3;
  MapIni ini;
  ini.values[u"Cad/exeName"] = u"kept.exe";
  WriteSettings(ini, s);
  auto writable = kTableOrder;
  writable.erase(writable.begin() + 8);  // exeName
  EXPECT_EQ(ini.writeOrder, writable);
  EXPECT_EQ(ini.values[u"Cad/exeName"], u"kept.exe");
  EXPECT_EQ(ini.values[u"Cad/cut"], u"0");
  EXPECT_EQ(ini.values[u"Cad/explode"], u"1");
  Settings back = ReadSettings(ini, Context());
  back.exeName = s.exeName;  // read from the kept line, compared below
  EXPECT_EQ(back, s);
  EXPECT_EQ(ReadSettings(ini, Context()).exeName, u"kept.exe");
}

TEST(Settings, TheSizeAt96DpiIsKeptOnlyWhole) {
  struct Case {
    const char16_t *width, *height;
    int expectedWidth, expectedHeight;
  } cases[] = {
      {u"400", u"500", 400, 500},
      {u"400", nullptr, 0, 0},  // half a size is none
      {u"0", u"500", 0, 0},
      {u"-3", u"500", 0, 0},
      {u"999999", u"500", 0, 0},
      {u"x", u"500", 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expectedWidth);
    MapIni ini;
    ini.values[u"Form/ClientWidth"] = c.width;
    if (c.height) ini.values[u"Form/ClientHeight"] = c.height;
    const Settings s = ReadSettings(ini, Context());
    EXPECT_EQ(s.clientWidth96, c.expectedWidth);
    EXPECT_EQ(s.clientHeight96, c.expectedHeight);
  }
  // None known: none written, so that a file from before keeps its pixel size alone.
  MapIni ini;
  WriteSettings(ini, Settings{});
  EXPECT_EQ(ini.values.count(u"Form/ClientWidth"), 0u);
  EXPECT_EQ(ini.values[u"DWG/page"], u"1");
  ini.values[u"DWG/page"] = u"0";
  EXPECT_EQ(ReadSettings(ini, Context()).lastPage, 1);
}

TEST(WindowPlace, AWindowOffEveryMonitorIsBroughtBack) {
  const std::vector<ScreenRect> two = {{0, 0, 1920, 1040}, {1920, 0, 3200, 1024}};
  struct Case {
    const char* what;
    ScreenRect window, expected;
  } cases[] = {
      {"on the first", {100, 100, 400, 500}, {100, 100, 400, 500}},
      {"on the second", {2000, 10, 2300, 410}, {2000, 10, 2300, 410}},
      {"half off the right edge", {1800, 100, 2100, 500}, {1800, 100, 2100, 500}},
      {"far right", {5000, 100, 5300, 500}, {2900, 100, 3200, 500}},
      {"title bar above the screen", {100, -300, 400, 100}, {100, 0, 400, 400}},
      {"below the second", {2500, 1030, 2800, 1400}, {2500, 654, 2800, 1024}},
      {"only a sliver left", {-290, 100, 10, 500}, {0, 100, 300, 500}},
      {"larger than any", {-50, -50, 4000, 3000}, {0, 0, 1920, 1040}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(BringOntoWorkArea(c.window, two, 40), c.expected);
  }
  EXPECT_EQ(BringOntoWorkArea({5000, 0, 5100, 100}, {}, 40), (ScreenRect{5000, 0, 5100, 100}));
}

TEST(Settings, ACharacterOutsideTheAnsiCodePageAsksForAUnicodeFile) {
  Settings s;
  EXPECT_TRUE(SettingsFitAnsiCodePage(s));
  s.topDir = u"Z:\\lib\\図面 ①";
  EXPECT_TRUE(SettingsFitAnsiCodePage(s));
  s.topDir = u"Z:\\lib\\Müller ①";
  EXPECT_FALSE(SettingsFitAnsiCodePage(s));
  s.topDir.clear();
  s.odaFullName = u"C:\\Programme\\Übersetzer.exe";
  EXPECT_FALSE(SettingsFitAnsiCodePage(s));
  s.odaFullName.clear();
  s.exeName = u"Ü.exe";  // never written
  EXPECT_TRUE(SettingsFitAnsiCodePage(s));
}

TEST(Settings, ValuesThatAreEmptyOrNotNumbersGiveDefaults) {
  MapIni ini;
  for (auto key : {u"Cad/lspName", u"Cad/exeName", u"Cad/funcName1", u"Cad/funcName2", u"ODA/FullName",
                   u"DWG/topDir", u"Target/ProgID"})
    ini.values[key] = u"";
  ini.values[u"Form/Width"] = u"0x12C";  // 300
  ini.values[u"Form/Height"] = u"$190";  // 400
  ini.values[u"Cad/cut"] = u"no";        // not a number: default true
  ini.values[u"Cad/explode"] = u"$A";    // a number other than 0: true
  ini.values[u"Cad/useLsp"] = u"0";
  Settings s = ReadSettings(ini, Context());
  EXPECT_EQ(s.insert.lspName, u"MERIDOX410.lsp");
  EXPECT_EQ(s.exeName, u"NOVLAK.exe");
  EXPECT_EQ(s.insert.funcName1, u"kvo_dxfIn_exp");
  EXPECT_EQ(s.insert.funcName2, u"kvo_dxfIn_cut");
  EXPECT_EQ(s.odaFullName, u"");
  EXPECT_EQ(s.topDir, u"");
  EXPECT_EQ(s.g_TargetProgID, u"");  // only a missing key gives the current value
  EXPECT_EQ(s.Width, 300);
  EXPECT_EQ(s.Height, 400);
  EXPECT_EQ(s.Left, (1920 - 300) / 2);  // centred on the width just read
  EXPECT_EQ(s.Top, (1080 - 400) / 2);
  EXPECT_TRUE(s.insert.cutFlag);
  EXPECT_TRUE(s.insert.expFlag);
  EXPECT_FALSE(s.insert.useLspFlag);
}

TEST(Settings, MissingProgIdKeepsTheCurrentTarget) {
  MapIni ini;
  auto ctx = Context();
  ctx.currentTargetProgID = u"Some.App";
  EXPECT_EQ(ReadSettings(ini, ctx).g_TargetProgID, u"Some.App");
}

TEST(Settings, FileName) {
  EXPECT_EQ(SettingsFileFor(u"C:\\Prog\\Tesmar.exe"), u"C:\\Prog\\Tesmar.ini");
  EXPECT_EQ(SettingsFileFor(u"C:\\a.b\\Tesmar"), u"C:\\a.b\\Tesmar.ini");
}

TEST(StartupCaptions, LispPreviewAndTarget) {
  EXPECT_EQ(LispMenuCaption(u"MERIDOX410.lsp"), u"■ロード MERIDOX410.lsp");
  EXPECT_EQ(LispMenuCaption(u"C:\\lisp\\x.lsp"), u"■ロード x.lsp");
  EXPECT_EQ(LispMenuCaption(u"D:y.lsp"), u"■ロード y.lsp");
  EXPECT_EQ(PreviewMenuCaption(true), u"プレビューイメージ=拡大");
  EXPECT_EQ(PreviewMenuCaption(false), u"プレビューイメージ=そのまま");
  EXPECT_EQ(WithShortcut(u"図面を検索 ...", u"Ctrl+F"), u"図面を検索 ...\tCtrl+F");

  const std::vector<std::u16string> lines = {u"Bricscad V20\tBricscadApp.AcadApplication.20",
                                             u"Bricscad\tBricscadApp.AcadApplication",
                                             u"AutoCAD\tAutoCAD.Application"};
  // The first line holding TAB + ProgID wins, even with more characters after it.
  EXPECT_EQ(TargetNameFor(lines, u"BricscadApp.AcadApplication"), u"Bricscad V20");
  EXPECT_EQ(TargetNameFor(lines, u"AutoCAD.Application"), u"AutoCAD");
  EXPECT_EQ(TargetNameFor(lines, u"autocad.application"), std::nullopt);  // letter case counts
  EXPECT_EQ(TargetNameFor({}, u"AutoCAD.Application"), std::nullopt);
}

// One palette per program folder: the same folder however it is spelled, another folder apart.
TEST(StartupInstance, OneKeyPerProgramFolder) {
  const std::u16string key = InstanceKeyFor(u"C:\\Users\\ito\\AppData\\Local\\Programs\\Tesmar");
  EXPECT_EQ(key.substr(0, 7), u"Tesmar-");
  EXPECT_EQ(key.size(), 7u + 16u);
  EXPECT_EQ(key.find(u'\\'), std::u16string::npos);
  for (const char16_t* same : {u"c:\\users\\ITO\\appdata\\local\\programs\\tesmar",
                               u"C:/Users/ito/AppData/Local/Programs/Tesmar/",
                               u"C:\\Users\\ito\\AppData\\Local\\Programs\\Tesmar\\"}) {
    SCOPED_TRACE(Utf16ToUtf8(same));
    EXPECT_EQ(InstanceKeyFor(same), key);
  }
  for (const char16_t* other : {u"C:\\Users\\ito\\AppData\\Local\\Programs\\Tesmar2", u"D:\\Tesmar",
                                u"C:\\Users\\ito\\AppData\\Local\\Programs\\図面"}) {
    SCOPED_TRACE(Utf16ToUtf8(other));
    EXPECT_NE(InstanceKeyFor(other), key);
  }
}

}  // namespace
}  // namespace tesmar
