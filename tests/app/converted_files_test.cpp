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

namespace tesmar {
namespace {

// A converted file is shown again only for the drawing it was made from, unchanged since; a
// drawing of the same name elsewhere, a changed drawing or a deleted DXF need a new conversion.
TEST(ConvertedFiles, ReuseOnlyForTheSameUnchangedDrawing) {
  test::TempDir dir;
  test::WriteFile(dir / "a" / "plan.dwg", "first");
  test::WriteFile(dir / "b" / "plan.dwg", "other");
  test::WriteFile(dir / "plan.dxf", "0\nEOF\n");
  ConvertedFiles files;
  const DrawingStamp a = StampOf(dir / "a" / "plan.dwg").value();
  files.Record(dir / "plan.dxf", a);
  EXPECT_TRUE(files.Made(dir / "plan.dxf"));
  EXPECT_TRUE(files.MadeFrom(dir / "plan.dxf", a));
  EXPECT_FALSE(files.MadeFrom(dir / "plan.dxf", StampOf(dir / "b" / "plan.dwg").value()));
  test::WriteFile(dir / "a" / "plan.dwg", "changed, longer");
  EXPECT_FALSE(files.MadeFrom(dir / "plan.dxf", StampOf(dir / "a" / "plan.dwg").value()));
  std::filesystem::remove(dir / "plan.dxf");
  EXPECT_FALSE(files.MadeFrom(dir / "plan.dxf", a));
  EXPECT_FALSE(StampOf(dir / "missing.dwg").has_value());
}

// The program's own conversion folder goes at the end when it is empty, never with a file
// someone else put there.
TEST(ConvertedFiles, OwnFolderRemovedOnlyWhenEmpty) {
  test::TempDir dir;
  test::WriteFile(dir / "own" / "x.dxf", "0\nEOF\n");
  test::WriteFile(dir / "kept" / "x.dxf", "0\nEOF\n");
  test::WriteFile(dir / "kept" / "user.txt", "mine");
  ConvertedFiles files;
  test::WriteFile(dir / "own" / "1" / "x.dxf", "0\nEOF\n");  // a folder of one conversion inside
  files.Record(dir / "own" / "x.dxf");
  files.Record(dir / "kept" / "x.dxf");
  files.RecordFolder(dir / "own");
  files.RecordFolder(dir / "kept");
  files.Record(dir / "own" / "1" / "x.dxf");
  files.RecordFolder(dir / "own" / "1");
  EXPECT_EQ(files.DeleteAll(), 3);
  EXPECT_FALSE(std::filesystem::exists(dir / "own"));
  EXPECT_TRUE(std::filesystem::exists(dir / "kept" / "user.txt"));
}

}  // namespace
}  // namespace tesmar
