#include "app/settings_file_win.h"

#include <windows.h>

#include <stdexcept>
#include <vector>

#include "base/codepage.h"
#include "base/strings.h"
#include "base/textfile.h"

namespace tesmar {
namespace {

// A default that no file holds: its return tells a missing key from an empty value.
constexpr wchar_t kMissing[] = L"\x01\x02<missing>\x02\x01";

class ProfileSource : public IniSource {
 public:
  explicit ProfileSource(std::wstring file) : file_(std::move(file)) {}
  std::optional<std::u16string> Read(std::u16string_view section, std::u16string_view key) override {
    std::wstring s = ToWide(section), k = ToWide(key);
    std::vector<wchar_t> buf(1024);
    for (;;) {
      DWORD n = GetPrivateProfileStringW(s.c_str(), k.c_str(), kMissing, buf.data(),
                                         static_cast<DWORD>(buf.size()), file_.c_str());
      if (n + 1 < buf.size()) {
        std::wstring value(buf.data(), n);
        if (value == kMissing) return std::nullopt;
        return FromWide(value);
      }
      buf.resize(buf.size() * 4);  // the value was cut: ask again with room for it
    }
  }

 private:
  std::wstring file_;
};

class ProfileSink : public IniSink {
 public:
  explicit ProfileSink(std::wstring file) : file_(std::move(file)) {}
  void Write(std::u16string_view section, std::u16string_view key, std::u16string_view value) override {
    if (!WritePrivateProfileStringW(ToWide(section).c_str(), ToWide(key).c_str(), ToWide(value).c_str(),
                                    file_.c_str()))
      throw std::runtime_error("cannot write the settings file " + Utf16ToUtf8(FromWide(file_)));
  }

 private:
  std::wstring file_;
};

// Turns the file into UTF-16 with a byte-order mark (its lines unchanged), the form in which
// the profile functions write Unicode; a missing file becomes one that holds the mark alone.
void MakeUnicodeProfile(const std::wstring& file) {
  const std::filesystem::path path(file);
  std::string bytes;
  ReadFileBytes(path, bytes);
  TextLines text = ParseTextLines(bytes);
  if (text.encoding == TextEncoding::Utf16LE) return;
  text.encoding = TextEncoding::Utf16LE;
  text.bom = true;
  WriteTextLines(path, text);
}

}  // namespace

Settings ReadSettingsFile(const std::u16string& iniPath, const SettingsContext& ctx) {
  ProfileSource source(ToWide(iniPath));
  return ReadSettings(source, ctx);
}

void WriteSettingsFile(const std::u16string& iniPath, const Settings& s) {
  std::wstring target = ToWide(iniPath);
  std::wstring temp = target + L".new";
  DeleteFileW(temp.c_str());
  if (GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES &&
      !CopyFileW(target.c_str(), temp.c_str(), FALSE))
    throw std::runtime_error("cannot copy the settings file " + Utf16ToUtf8(iniPath));
  try {
    // ANSI while every value fits it (other tools read the file); Unicode when one does not,
    // or the profile functions would write look-alikes (Muller for Müller).
    if (!SettingsFitAnsiCodePage(s)) MakeUnicodeProfile(temp);
    ProfileSink sink(temp);
    WriteSettings(sink, s);
    // Flushes the profile functions' cache of the copy before it replaces the file.
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, temp.c_str());
    ReplaceFileWith(std::filesystem::path(temp), std::filesystem::path(target));
  } catch (...) {
    DeleteFileW(temp.c_str());
    throw;
  }
}

}  // namespace tesmar
