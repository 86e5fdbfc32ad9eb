// Arbitrary bytes as a DXF file: the probes and the reader must end with a status (and at most
// a message), never crash, hang or leak.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "base/strings.h"
#include "dxf/probe.h"
#include "dxf/reader.h"

namespace {

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

const std::filesystem::path& InputFile() {
  static const InputFileHolder file{[] {
    std::error_code ec;
    std::filesystem::path dir = std::filesystem::is_directory("/dev/shm", ec) ? std::filesystem::path("/dev/shm")
                                                                             : std::filesystem::temp_directory_path();
    return dir / ("tesmar-fuzz-dxf-" + std::to_string(static_cast<long>(::getpid())) + ".dxf");
  }()};
  return file.path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::filesystem::path& file = InputFile();
  if (std::FILE* f = std::fopen(file.c_str(), "wb")) {
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  const std::u16string name = tesmar::U16FromPath(file);
  std::u16string signature, version;
  tesmar::ReadDxfSignature(name, signature);
  tesmar::ReadDxfVersion(name, version);
  const tesmar::TDxfProbe probe = tesmar::ProbeDxfFile(name);
  tesmar::TDrawingModel model;
  NullProgress progress;
  CountingReport report;
  std::u16string status;
  tesmar::ReadDxfFile(model, name, &progress, &report, status, probe.encoding);
  // A failure always leaves a status; a status always came with a message.
  if (status.empty() != (report.messages == 0)) __builtin_trap();
  if (model.LayerAry.empty()) __builtin_trap();
  return 0;
}
