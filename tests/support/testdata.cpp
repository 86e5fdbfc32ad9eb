#include "tests/support/testdata.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <random>
#include <stdexcept>

namespace tesmar::test {

std::filesystem::path SharedTestdata() {
  std::string dir = TESMAR_SHARED_TESTDATA;
#ifdef _WIN32
  // A Unix path: Wine maps the Unix root to drive Z:.
  if (!dir.empty() && dir[0] == '/') dir = "Z:" + dir;
#endif
  std::error_code ec;
  std::filesystem::path p(dir);
  if (!std::filesystem::is_directory(p, ec)) return {};
  return p;
}

TempDir::TempDir() {
  static std::atomic<unsigned> counter{0};
  std::random_device rd;
  auto base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto name = "tesmar-test-" + std::to_string(rd()) + "-" + std::to_string(counter++);
    auto p = base / name;
    std::error_code ec;
    if (std::filesystem::create_directory(p, ec)) {
      path_ = p;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

void WriteFile(const std::filesystem::path& file, std::string_view bytes) {
  if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

std::string ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + file.string());
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace tesmar::test
