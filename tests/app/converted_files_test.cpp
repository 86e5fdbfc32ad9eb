#include "app/converted_files.h"

#include <gtest/gtest.h>

#include "tests/support/testdata.h"

namespace tesmar {
namespace {

// The user's own DXF files in the program folder survive the exit; only the files that this
// run's conversions made are deleted, and a missing one is skipped without error.
TEST(ConvertedFiles, DeletesOnlyWhatTheProgramMade) {
  test::TempDir dir;
  test::WriteFile(dir / "mine.dxf", "0\nEOF\n");
  test::WriteFile(dir / "converted.dxf", "0\nEOF\n");
  ConvertedFiles files;
  files.Record(dir / "converted.dxf");
  files.Record(dir / "converted.dxf");
  files.Record(dir / "gone.dxf");
  EXPECT_EQ(files.Files().size(), 2u);
  EXPECT_EQ(files.DeleteAll(), 1);
  EXPECT_TRUE(std::filesystem::exists(dir / "mine.dxf"));
  EXPECT_FALSE(std::filesystem::exists(dir / "converted.dxf"));
  EXPECT_TRUE(files.Files().empty());
}

}  // namespace
}  // namespace tesmar
