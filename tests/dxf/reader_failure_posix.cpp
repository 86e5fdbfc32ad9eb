#include <sys/stat.h>

#include <gtest/gtest.h>

#include "tests/support/dxf_fixture.h"

namespace tesmar {
namespace {

// A named pipe exists but is no file to read, and must not block the read.
TEST(DxfReaderFailure, NamedPipeGivesErrorWithoutBlocking) {
  test::TempDir dir;
  const auto pipe = dir / "pipe.dxf";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  test::ExpectFileLevelFailure(pipe, u"error", u"DXFファイル読み込み失敗．");
}

}  // namespace
}  // namespace tesmar
