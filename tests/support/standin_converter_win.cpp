#include "tests/support/standin_converter_win.h"

#include <windows.h>

#include <fstream>
#include <sstream>

namespace tesmar::test {

std::filesystem::path StandInConverter() {
  std::string exe = TESMAR_CONVERTER_STANDIN;
  if (!exe.empty() && exe[0] == '/') exe = "Z:" + exe;  // the Unix root is drive Z: under Wine
  return std::filesystem::path(exe);
}

ScopedEnv::ScopedEnv(const wchar_t* name, const std::wstring& value) : name_(name) {
  wchar_t buf[32768];
  DWORD n = GetEnvironmentVariableW(name, buf, 32768);
  had_ = n > 0 && n < 32768;
  if (had_) saved_.assign(buf, n);
  SetEnvironmentVariableW(name, value.empty() ? nullptr : value.c_str());
}

ScopedEnv::~ScopedEnv() { SetEnvironmentVariableW(name_.c_str(), had_ ? saved_.c_str() : nullptr); }

ConverterLog::ConverterLog() : file_(dir_ / "converter.log"), env_(L"TESMAR_CONVERTER_LOG", file_.wstring()) {}

std::vector<ConverterRun> ConverterLog::Runs() const {
  std::vector<ConverterRun> runs;
  std::ifstream in(file_, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (line == "run") {
      runs.emplace_back();
      continue;
    }
    if (runs.empty()) continue;
    const auto eq = line.find('=');
    const std::string key = line.substr(0, eq), value = eq == std::string::npos ? "" : line.substr(eq + 1);
    if (key == "cmdline") runs.back().commandLine = value;
    if (key == "arg") runs.back().args.push_back(value);
    if (key == "show") runs.back().show = std::stoi(value);
    if (key == "exit") runs.back().exitCode = std::stoi(value);
  }
  return runs;
}

}  // namespace tesmar::test

#include "dwg/dwg_writer.h"
#include "dwg/embedded_drawing.h"

namespace tesmar::test {

std::string DwgCarryingDxf(std::string_view dxf) {
  DwgFileLayout layout = DwgWithImage(2, MakeDib24(RgbImage(8, 6, kRgbWhite)));
  layout.drawingData = EmbedDxf(dxf);
  return MakeDwgFile(layout);
}

bool StartWithUnwaitableHandle(SHELLEXECUTEINFOW& info) {
  info.hProcess = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x3ffffffc));  // no handle of this process
  return true;
}

}  // namespace tesmar::test
