#include "app/settings.h"

#include <algorithm>

#include "base/codepage.h"
#include "base/intparse.h"
#include "base/path_parts.h"
#include "base/strings.h"

namespace tesmar {
namespace {

class Reader {
 public:
  explicit Reader(IniSource& ini) : ini_(ini) {}

  std::int32_t Int(std::u16string_view section, std::u16string_view key, std::int32_t def) {
    auto v = ini_.Read(section, key);
    return v ? ParseIniInt(*v, def) : def;
  }
  bool Bool(std::u16string_view section, std::u16string_view key, bool def) {
    auto v = ini_.Read(section, key);
    return v ? ParseIniBool(*v, def) : def;
  }
  std::u16string Str(std::u16string_view section, std::u16string_view key, std::u16string_view def) {
    auto v = ini_.Read(section, key);
    return v ? *v : std::u16string(def);
  }
  // A value that may not be empty: an empty one gives the default too.
  std::u16string NonEmpty(std::u16string_view section, std::u16string_view key, std::u16string_view def) {
    auto v = Str(section, key, def);
    return v.empty() ? std::u16string(def) : v;
  }

 private:
  IniSource& ini_;
};

void WriteBool(IniSink& ini, std::u16string_view section, std::u16string_view key, bool v) {
  ini.Write(section, key, v ? u"1" : u"0");
}

// The seven insert flags, in the table's order. Without a stored useLsp (a first start) a
// double-click uses the CAD program's own insert command: the LISP functions need a file that
// does not come with the program. A stored value, and the LISP names, stay as they are.
struct FlagKey {
  const char16_t* key;
  bool InsertSettings::*field;
  bool def;
};
constexpr FlagKey kCadFlags[] = {
    {u"cut", &InsertSettings::cutFlag, true},         {u"repeat", &InsertSettings::repeatFlag, true},
    {u"explode", &InsertSettings::expFlag, false},    {u"purge", &InsertSettings::purgeFlag, false},
    {u"useLsp", &InsertSettings::useLspFlag, false},   {u"useFunc1", &InsertSettings::useFunc1Flag, false},
    {u"useFunc2", &InsertSettings::useFunc2Flag, true},
};

}  // namespace

Settings ReadSettings(IniSource& ini, const SettingsContext& ctx) {
  Reader r(ini);
  Settings s;
  s.Width = r.Int(u"Form", u"Width", ctx.designedWidth);
  s.Height = r.Int(u"Form", u"Height", ctx.designedHeight);
  // The centring uses the size just read, in 64 bits so that no stored size can overflow.
  s.Left = r.Int(u"Form", u"Left", static_cast<std::int32_t>((std::int64_t{ctx.screenWidth} - s.Width) / 2));
  s.Top = r.Int(u"Form", u"Top", static_cast<std::int32_t>((std::int64_t{ctx.screenHeight} - s.Height) / 2));
  s.odaFullName = r.Str(u"ODA", u"FullName", u"");
  s.topDir = r.Str(u"DWG", u"topDir", ctx.programFolder);
  s.dispFlag = r.Bool(u"ODA", u"dispFlag", false);
  s.insert.lspName = r.NonEmpty(u"Cad", u"lspName", kDefaultLspName);
  s.exeName = r.NonEmpty(u"Cad", u"exeName", kDefaultExeName);
  s.insert.funcName1 = r.NonEmpty(u"Cad", u"funcName1", kDefaultFuncName1);
  s.insert.funcName2 = r.NonEmpty(u"Cad", u"funcName2", kDefaultFuncName2);
  for (const auto& f : kCadFlags) s.insert.*f.field = r.Bool(u"Cad", f.key, f.def);
  s.g_ImageClip = r.Bool(u"Image", u"Clip", true);
  s.g_TargetProgID = r.Str(u"Target", u"ProgID", ctx.currentTargetProgID);
  // Sizes beyond any screen are not sizes; they are dropped like a value that is not a number.
  auto size96 = [&](std::u16string_view key) {
    const std::int32_t v = r.Int(u"Form", key, 0);
    return v > 0 && v <= 100000 ? v : 0;
  };
  s.clientWidth96 = size96(u"ClientWidth");
  s.clientHeight96 = size96(u"ClientHeight");
  if (s.clientWidth96 == 0 || s.clientHeight96 == 0) s.clientWidth96 = s.clientHeight96 = 0;
  s.showNames = r.Bool(u"Image", u"Names", true);
  s.lastFolder = r.Str(u"DWG", u"folder", u"");
  s.lastPage = std::max<std::int32_t>(1, r.Int(u"DWG", u"page", 1));
  return s;
}

void WriteSettings(IniSink& ini, const Settings& s) {
  ini.Write(u"Form", u"Width", IntToStr16(s.Width));
  ini.Write(u"Form", u"Height", IntToStr16(s.Height));
  ini.Write(u"Form", u"Left", IntToStr16(s.Left));
  ini.Write(u"Form", u"Top", IntToStr16(s.Top));
  ini.Write(u"ODA", u"FullName", s.odaFullName);
  ini.Write(u"DWG", u"topDir", s.topDir);
  WriteBool(ini, u"ODA", u"dispFlag", s.dispFlag);
  ini.Write(u"Cad", u"lspName", s.insert.lspName);
  ini.Write(u"Cad", u"funcName1", s.insert.funcName1);
  ini.Write(u"Cad", u"funcName2", s.insert.funcName2);
  for (const auto& f : kCadFlags) WriteBool(ini, u"Cad", f.key, s.insert.*f.field);
  WriteBool(ini, u"Image", u"Clip", s.g_ImageClip);
  ini.Write(u"Target", u"ProgID", s.g_TargetProgID);
  if (s.clientWidth96 > 0 && s.clientHeight96 > 0) {
    ini.Write(u"Form", u"ClientWidth", IntToStr16(s.clientWidth96));
    ini.Write(u"Form", u"ClientHeight", IntToStr16(s.clientHeight96));
  }
  WriteBool(ini, u"Image", u"Names", s.showNames);
  ini.Write(u"DWG", u"folder", s.lastFolder);
  ini.Write(u"DWG", u"page", IntToStr16(s.lastPage));
}

bool SettingsFitAnsiCodePage(const Settings& s) {
  struct Check : IniSink {
    bool fits = true;
    void Write(std::u16string_view, std::u16string_view, std::u16string_view value) override {
      fits = fits && FitsAnsiCodePage(value);
    }
  } check;
  WriteSettings(check, s);
  return check.fits;
}

std::u16string SettingsFileFor(std::u16string_view exePath) {
  return std::u16string(WithoutExtension(exePath)) + u".ini";
}

}  // namespace tesmar
