// The scanner's fast paths look at fixed windows of the buffer; wherever a pair falls against
// those windows and the read blocks, it must split the file exactly as reading it line by line
// would.
#include "dxf/pair_scanner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/strings.h"
#include "dxf/values.h"
#include "tests/support/testdata.h"

namespace tesmar {
namespace {

using test::TempDir;
using test::WriteFile;

struct Expected {
  std::string code, value;
  bool numeric;
  std::int32_t number;
};

// Line by line, the plain way: CR LF, CR or LF end a line, both lines trimmed.
std::vector<Expected> SplitPlainly(const std::string& bytes) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' || bytes[i] == '\n') {
      if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      lines.push_back(line);
      line.clear();
    } else {
      line += bytes[i];
    }
  }
  if (!line.empty()) lines.push_back(line);
  std::vector<Expected> pairs;
  for (std::size_t i = 0; i < lines.size(); i += 2) {
    Expected e;
    e.code = std::string(TrimBlanks(lines[i]));
    e.value = i + 1 < lines.size() ? std::string(TrimBlanks(lines[i + 1])) : std::string();
    e.numeric = ParseDxfInt(e.code, e.number);
    if (!e.numeric) e.number = 0;
    pairs.push_back(e);
  }
  return pairs;
}

std::vector<Expected> Scan(const std::filesystem::path& file, std::size_t blockSize) {
  ReadOnlyFile f;
  EXPECT_EQ(f.Open(file), FileOpenResult::Ok);
  DxfPairScanner scanner(f, blockSize);
  std::vector<Expected> pairs;
  DxfPair p;
  while (scanner.Next(p) == DxfPairScanner::Result::Pair)
    pairs.push_back({std::string(p.code), std::string(p.value), p.numeric, p.numeric ? p.number : 0});
  return pairs;
}

TEST(DxfPairScanner, SplitsAlikeWhereverPairsFallAgainstWindowsAndBlocks) {
  // Short and long codes and values, blanks around them, and every kind of line end; the
  // padding shifts all of them by one byte at a time, and one code and one value grow with it,
  // so that their line ends meet every position of a window.
  std::vector<std::pair<std::string, std::string>> pairs = {
      {"  0", "LINE"},        {" 10", "63430.949199999995"},
      {"8", ""},              {"   62", "     7"},
      {"1", std::string(40, 'x')},
      {"9999999999", "x"},
      {"-5", "signed code"},  {" 1 ", " padded value\t"},
      {"X", "not a number"},  {"999999999", "nine digits"},
      {"20", std::string(31, '9')},   {"", "v"},  {"40", ""},
  };
  const char* kEnds[] = {"\r\n", "\n", "\r"};
  for (int pad = 0; pad < 34; ++pad) {
    pairs.back().second = std::string(static_cast<std::size_t>(pad), '7');
    pairs[pairs.size() - 2].first = std::string(static_cast<std::size_t>(pad), ' ') + "5";
    std::string bytes = "  0\r\nSECTION\n";
    bytes += std::string(static_cast<std::size_t>(pad), 'p') + "\n" + std::string(static_cast<std::size_t>(pad), 'q') + "\r\n";
    for (int round = 0; round < 3; ++round)
      for (std::size_t i = 0; i < pairs.size(); ++i) {
        const char* end1 = kEnds[(i + round) % 3];
        const char* end2 = kEnds[(i + round + pad) % 3];
        bytes += pairs[i].first + end1 + pairs[i].second + end2;
      }
    bytes += "  0\r\nEOF";  // no final line end
    TempDir dir;
    WriteFile(dir / "t.dxf", bytes);
    const std::vector<Expected> expected = SplitPlainly(bytes);
    for (std::size_t block : {std::size_t{16}, std::size_t{37}, std::size_t{1} << 20}) {
      const std::vector<Expected> got = Scan(dir / "t.dxf", block);
      ASSERT_EQ(got.size(), expected.size()) << "pad " << pad << ", block " << block;
      for (std::size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE("pad " + std::to_string(pad) + ", block " + std::to_string(block) + ", pair " + std::to_string(i));
        EXPECT_EQ(got[i].code, expected[i].code);
        EXPECT_EQ(got[i].value, expected[i].value);
        EXPECT_EQ(got[i].numeric, expected[i].numeric);
        EXPECT_EQ(got[i].number, expected[i].number);
      }
    }
  }
}

// The probes scan the header and then the read starts over at the first pair: from the block
// still held, or from the file again when the scan went past it.
TEST(DxfPairScanner, RestartGivesThePairsFromTheFirstOne) {
  const std::string bytes = "\xEF\xBB\xBF  0\r\nSECTION\r\n  2\r\nHEADER\r\n  9\r\n$ACADVER\r\n  1\r\nAC1032\r\n  0\r\nEOF\r\n";
  TempDir dir;
  WriteFile(dir / "t.dxf", bytes);
  const std::vector<Expected> expected = SplitPlainly(bytes.substr(3));
  for (std::size_t block : {std::size_t{16}, std::size_t{1} << 20}) {
    for (std::size_t taken : {std::size_t{0}, std::size_t{2}, expected.size()}) {
      SCOPED_TRACE("block " + std::to_string(block) + ", pairs taken " + std::to_string(taken));
      ReadOnlyFile f;
      ASSERT_EQ(f.Open(dir / "t.dxf"), FileOpenResult::Ok);
      DxfPairScanner scanner(f, block);
      std::string_view start;
      ASSERT_TRUE(scanner.PeekStart(7, start));
      EXPECT_EQ(start.substr(0, 7), bytes.substr(0, 7));
      DxfPair p;
      for (std::size_t i = 0; i < taken; ++i) ASSERT_EQ(scanner.Next(p), DxfPairScanner::Result::Pair);
      ASSERT_TRUE(scanner.Restart());
      std::vector<Expected> got;
      while (scanner.Next(p) == DxfPairScanner::Result::Pair)
        got.push_back({std::string(p.code), std::string(p.value), p.numeric, p.numeric ? p.number : 0});
      ASSERT_EQ(got.size(), expected.size());
      for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].code, expected[i].code);
        EXPECT_EQ(got[i].value, expected[i].value);
      }
    }
  }
}

}  // namespace
}  // namespace tesmar
