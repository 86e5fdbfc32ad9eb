#pragma once
// The stand-in converter as the tests run it: its path, and a log of its runs (what arrived
// on its command line and how its window was to be shown) for one scope.
#include <windows.h>
#include <shellapi.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/testdata.h"

namespace tesmar::test {

// The built stand-in program.
std::filesystem::path StandInConverter();

// Sets an environment variable of this process (inherited by the programs it starts) for
// one scope; an empty value removes it.
class ScopedEnv {
 public:
  ScopedEnv(const wchar_t* name, const std::wstring& value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::wstring name_, saved_;
  bool had_ = false;
};

struct ConverterRun {
  std::string commandLine;
  std::vector<std::string> args;  // UTF-8, as the converter's parser read them
  int show = -1;                  // the show mode it was started with
  int exitCode = -1;
};

// Collects the stand-in's runs while it lives.
class ConverterLog {
 public:
  ConverterLog();
  std::vector<ConverterRun> Runs() const;

 private:
  TempDir dir_;
  std::filesystem::path file_;
  ScopedEnv env_;
};

}  // namespace tesmar::test

namespace tesmar::test {

// A DWG file (with a small preview) that carries `dxf` as the drawing it was made from.
std::string DwgCarryingDxf(std::string_view dxf);

// In place of starting a converter, for the shell's seam: reports a start with a process
// handle that the system cannot wait on.
bool StartWithUnwaitableHandle(SHELLEXECUTEINFOW& info);

}  // namespace tesmar::test
