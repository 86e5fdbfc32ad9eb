#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/dxf_fixture.h"

namespace tesmar {
namespace {

// A file that another program still has open for writing (the converter) is busy.
TEST(DxfReaderFailure, FileHeldForWritingIsBusy) {
  test::TempDir dir;
  const auto file = dir / "held.dxf";
  test::WriteFile(file, test::EntitiesSection("0 LINE\n"));
  HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  test::ExpectFileLevelFailure(file, u"busy", u"DXFファイルは使用中です．");
  CloseHandle(h);

  // Once it is closed the same file reads.
  TDrawingModel model;
  std::u16string status;
  ReadDxfFile(model, U16FromPath(file), nullptr, nullptr, status, TextEncoding::Ansi);
  EXPECT_EQ(status, u"");
  EXPECT_EQ(model.LineAry.size(), 1u);
}

}  // namespace
}  // namespace tesmar
