// tesmar-tool settings FILE.ini get SECTION KEY
// tesmar-tool settings FILE.ini set SECTION KEY VALUE
// Reads or writes one key of a settings file through the platform's INI profile functions,
// the same reading and writing the program does: a file the program wrote in UTF-16 stays
// UTF-16, an ANSI file stays ANSI. get prints the value (UTF-8) and exits 0, or exits 3 when
// the key is absent; set exits 0 when the key was written.
#include <windows.h>

#include <cstdio>
#include <string>

#include "base/codepage.h"
#include "base/strings.h"
#include "cli/command.h"

namespace {

std::wstring Wide(const std::string& utf8) { return tesmar::ToWide(tesmar::Utf8ToUtf16(utf8)); }

int SettingsMain(const std::vector<std::string>& args) {
  const bool get = args.size() == 4 && args[1] == "get";
  const bool set = args.size() == 5 && args[1] == "set";
  if (!get && !set) {
    std::fprintf(stderr, "usage: tesmar-tool settings FILE.ini get SECTION KEY | set SECTION KEY VALUE\n");
    return 2;
  }
  // The profile functions look for a bare name in the Windows folder; a path keeps it here.
  wchar_t full[MAX_PATH * 4];
  if (!GetFullPathNameW(Wide(args[0]).c_str(), DWORD(std::size(full)), full, nullptr)) return 1;
  const std::wstring section = Wide(args[2]), key = Wide(args[3]);
  if (get) {
    static const wchar_t kMissing[] = L"\x01missing\x01";
    std::wstring buf(32768, L'\0');
    DWORD n = GetPrivateProfileStringW(section.c_str(), key.c_str(), kMissing, buf.data(), DWORD(buf.size()), full);
    buf.resize(n);
    if (buf == kMissing) return 3;
    std::printf("%s\n", tesmar::Utf16ToUtf8(tesmar::FromWide(buf)).c_str());
    return 0;
  }
  if (!WritePrivateProfileStringW(section.c_str(), key.c_str(), Wide(args[4]).c_str(), full)) {
    std::fprintf(stderr, "settings: cannot write %s\n", args[0].c_str());
    return 1;
  }
  return 0;
}

}  // namespace

TESMAR_TOOL_COMMAND("settings", "FILE.ini get SECTION KEY | set SECTION KEY VALUE", SettingsMain);
