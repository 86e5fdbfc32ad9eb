#include <windows.h>
#include <shellapi.h>

#include "base/codepage.h"
#include "base/strings.h"
#include "cli/command.h"

namespace tesmar::cli {

// The ANSI argv cannot hold every file name; the wide command line can.
std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  std::vector<std::string> out;
  int wargc = 0;
  wchar_t** wargv = CommandLineToArgvW(GetCommandLineW(), &wargc);
  if (!wargv) return {argv, argv + argc};
  for (int i = 0; i < wargc; ++i) out.push_back(Utf16ToUtf8(FromWide(wargv[i])));
  LocalFree(wargv);
  return out;
}

}  // namespace tesmar::cli
