#pragma once
// Shared by the DXF fuzz targets: the input bytes become a file (the reader works on files),
// and the reader's progress and reports go nowhere but are counted.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "base/strings.h"
#include "dxf/probe.h"
#include "dxf/reader.h"

namespace fuzz {

struct NullProgress : tesmar::IDxfProgress {
  int position = 0;
  void SetMax(int) override {}
  int Position() const override { return position; }
  void SetPosition(int p) override { position = p; }
};

struct CountingReport : tesmar::IDxfReport {
  int messages = 0;
  bool HasParentWindow() const override { return true; }
  void ShowMessage(std::u16string_view, std::u16string_view) override { ++messages; }
};

// The input is written to one file per process, removed at exit.
struct InputFileHolder {
  std::filesystem::path path;
  ~InputFileHolder() {
    std::error_code ec;
    std::filesystem::remove(path, ec);
  }
};

inline const std::filesystem::path& InputFile() {
  static const InputFileHolder file{[] {
    std::error_code ec;
    std::filesystem::path dir = std::filesystem::is_directory("/dev/shm", ec) ? std::filesystem::path("/dev/shm")
                                                                             : std::filesystem::temp_directory_path();
    return dir / ("tesmar-fuzz-dxf-" + std::to_string(static_cast<long>(::getpid())) + ".dxf");
  }()};
  return file.path;
}

// Writes the input to the process's file and reads it as the viewer does: probes, then the
// reader with the encoding they choose. Traps when the reader's promises are broken.
inline void ReadInput(const std::uint8_t* data, std::size_t size, tesmar::TDrawingModel& model) {
  const std::filesystem::path& file = InputFile();
  if (std::FILE* f = std::fopen(file.c_str(), "wb")) {
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  const std::u16string name = tesmar::U16FromPath(file);
  const tesmar::TDxfProbe probe = tesmar::ProbeDxfFile(name);
  NullProgress progress;
  CountingReport report;
  std::u16string status;
  tesmar::ReadDxfFile(model, name, &progress, &report, status, probe.encoding);
  // A failure always leaves a status; a status always came with a message.
  if (status.empty() != (report.messages == 0)) __builtin_trap();
  if (model.LayerAry.empty()) __builtin_trap();
}

}  // namespace fuzz
