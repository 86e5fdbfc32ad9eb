#pragma once
// The settings file beside the executable: its table of keys, their defaults and the order in
// which they are read and written. The storage itself (the platform's INI profile functions,
// or a map in tests) sits behind IniSource / IniSink.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "cadlink/commands.h"

namespace tesmar {

inline constexpr char16_t kDefaultTargetProgID[] = u"BricscadApp.AcadApplication";
inline constexpr char16_t kDefaultLspName[] = u"MERIDOX410.lsp";
inline constexpr char16_t kDefaultExeName[] = u"NOVLAK.exe";
inline constexpr char16_t kDefaultFuncName1[] = u"kvo_dxfIn_exp";
inline constexpr char16_t kDefaultFuncName2[] = u"kvo_dxfIn_cut";

// Values read from, and written to, the file; named as the main window names them.
struct Settings {
  std::int32_t Width = 0, Height = 0, Left = 0, Top = 0;
  std::u16string odaFullName;
  std::u16string topDir;
  bool dispFlag = false;  // check mark of ODAFileConverter2
  InsertSettings insert;  // the Cad section but exeName
  std::u16string exeName = kDefaultExeName;
  bool g_ImageClip = true;
  std::u16string g_TargetProgID = kDefaultTargetProgID;
  // The client area's size at 96 dpi (Form ClientWidth / ClientHeight): read at any DPI it
  // gives the same room to the controls. 0 when the file has none (one written before they
  // were kept); Width and Height, in pixels, are then the size.
  std::int32_t clientWidth96 = 0, clientHeight96 = 0;
  bool showNames = true;        // Image Names: each cell shows its drawing's name
  std::u16string lastFolder;    // DWG folder: the drawing folder shown at exit (ComboBox2's text)
  std::int32_t lastPage = 1;    // DWG page: the page shown at exit, 1-based
  bool operator==(const Settings&) const = default;
};

// What the defaults depend on.
struct SettingsContext {
  std::int32_t designedWidth = 0, designedHeight = 0;  // the window's designed outer size
  std::int32_t screenWidth = 0, screenHeight = 0;
  std::u16string programFolder;                        // without trailing '\' (a root keeps it)
  std::u16string currentTargetProgID = kDefaultTargetProgID;
};

class IniSource {
 public:
  virtual ~IniSource() = default;
  // The value of the key, or nothing when the file or the key is missing.
  virtual std::optional<std::u16string> Read(std::u16string_view section, std::u16string_view key) = 0;
};

class IniSink {
 public:
  virtual ~IniSink() = default;
  virtual void Write(std::u16string_view section, std::u16string_view key, std::u16string_view value) = 0;
};

// Reads every key in the table's order. Left and Top are centred using the Width and Height
// just read; empty lspName, exeName, funcName1, funcName2 give their defaults.
Settings ReadSettings(IniSource& ini, const SettingsContext& ctx);

// Writes every key in the table's order except exeName, which is never written, then the keys
// of the grown palette (ClientWidth, ClientHeight, Names, folder, page).
void WriteSettings(IniSink& ini, const Settings& s);

// True when every value that WriteSettings writes fits the ANSI code page. The file stays in
// the ANSI code page then; otherwise it is to be written as UTF-16 with a byte-order mark,
// which the profile functions read and write as Unicode.
bool SettingsFitAnsiCodePage(const Settings& s);

// The settings file of an executable: its path with the extension replaced by ".ini".
std::u16string SettingsFileFor(std::u16string_view exePath);

}  // namespace tesmar
