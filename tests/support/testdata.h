#pragma once
// Access to the shared real-world drawings (../shared/testdata beside the checkout). They
// are read in place; a test that needs them calls TESMAR_REQUIRE_TESTDATA() first and is
// skipped with a message when the folder is absent.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace tesmar::test {

// The folder ../shared/testdata as this process can open it (under Wine the Unix path is
// reached through drive Z:). Empty when the folder does not exist.
std::filesystem::path SharedTestdata();

// A fresh, empty folder for one test, removed by the destructor.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// Writes bytes to a file, creating folders as needed.
void WriteFile(const std::filesystem::path& file, std::string_view bytes);
std::string ReadFile(const std::filesystem::path& file);

}  // namespace tesmar::test

#define TESMAR_REQUIRE_TESTDATA()                                                             \
  do {                                                                                        \
    if (::tesmar::test::SharedTestdata().empty())                                             \
      GTEST_SKIP() << "../shared/testdata is absent: the real DWG/DXF files are not available"; \
  } while (0)
