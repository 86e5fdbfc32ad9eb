// A stand-in for the DWG to DXF converter, for the tests and the demo. Its command line is the
// converter's: input folder, output folder, output version, output file type, recurse, audit,
// input file filter. It checks them, and writes <output folder>\<name>.dxf from the DXF text
// that the drawing carries (drawings the project makes itself carry the DXF they were drawn
// from); a drawing without one gives no output, as a failed conversion does.
//
// For tests, environment variables:
//   TESMAR_CONVERTER_LOG   a file to which each run appends its command line, its arguments,
//                          the show mode it was started with and its result (UTF-8 lines)
//   TESMAR_CONVERTER_FAIL  an exit code: end with it at once, writing nothing
//   TESMAR_CONVERTER_DELAY_MS  wait this long before converting
//   TESMAR_CONVERTER_LINGER_MS wait this long after writing the output, before ending
#include <windows.h>
#include <shellapi.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "dwg/embedded_drawing.h"

namespace {

std::string Utf8(const std::wstring& w) {
  if (w.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(std::size_t(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

std::wstring Env(const wchar_t* name) {
  wchar_t buf[32768];
  DWORD n = GetEnvironmentVariableW(name, buf, 32768);
  return n > 0 && n < 32768 ? std::wstring(buf, n) : std::wstring();
}

bool IsFolder(const std::wstring& p) {
  DWORD a = GetFileAttributesW(p.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
  return folder.empty() || folder.back() == L'\\' ? folder + name : folder + L'\\' + name;
}

class Log {
 public:
  Log() : file_(Env(L"TESMAR_CONVERTER_LOG")) {}
  void Line(const std::string& text) {
    if (file_.empty()) return;
    std::ofstream out(file_.c_str(), std::ios::binary | std::ios::app);
    out << text << '\n';
  }

 private:
  std::wstring file_;
};

int Run(Log& log) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::wstring> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  LocalFree(argv);

  STARTUPINFOW si{};
  si.cb = sizeof si;
  GetStartupInfoW(&si);
  log.Line("run");
  log.Line("cmdline=" + Utf8(GetCommandLineW()));
  for (const auto& a : args) log.Line("arg=" + Utf8(a));
  log.Line("show=" + std::to_string((si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : -1));

  const std::wstring fail = Env(L"TESMAR_CONVERTER_FAIL");
  if (!fail.empty()) return _wtoi(fail.c_str());
  const std::wstring delay = Env(L"TESMAR_CONVERTER_DELAY_MS");
  if (!delay.empty()) Sleep(DWORD(_wtoi(delay.c_str())));

  if (args.size() != 7) return log.Line("error=seven arguments expected"), 2;
  if (args[2] != L"ACAD2000" || args[3] != L"DXF" || args[4] != L"0" || args[5] != L"0")
    return log.Line("error=unexpected options"), 2;
  if (!IsFolder(args[0])) return log.Line("error=no input folder"), 3;
  if (!IsFolder(args[1])) return log.Line("error=no output folder"), 3;
  const std::wstring input = Join(args[0], args[6]);
  std::ifstream in(input.c_str(), std::ios::binary);
  if (!in) return log.Line("error=no input file"), 3;
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const auto dxf = tesmar::FindEmbeddedDxf(bytes);
  if (!dxf) return log.Line("error=the drawing carries no DXF"), 4;

  std::wstring name = args[6];
  const std::size_t dot = name.rfind(L'.');
  if (dot != std::wstring::npos) name.resize(dot);
  const std::wstring output = Join(args[1], name + L".dxf");
  std::ofstream out(output.c_str(), std::ios::binary | std::ios::trunc);
  out << *dxf;
  out.close();
  if (!out) return log.Line("error=cannot write the output"), 5;
  log.Line("wrote=" + Utf8(output));
  const std::wstring linger = Env(L"TESMAR_CONVERTER_LINGER_MS");
  if (!linger.empty()) Sleep(DWORD(_wtoi(linger.c_str())));
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  Log log;
  const int code = Run(log);
  log.Line("exit=" + std::to_string(code));
  return code;
}
