#include "base/textfile.h"

#include <gtest/gtest.h>

#include <functional>

#include "base/codepage.h"
#include "base/strings.h"
#include "tests/support/testdata.h"

namespace tesmar {
namespace {

struct RoundTripCase {
  const char* name;
  std::string bytes;
  TextEncoding encoding;
  bool bom;
  std::vector<std::u16string> lines;
};

TEST(TextFile, EachByteOrderMarkRoundTripsByteForByte) {
  const std::vector<RoundTripCase> cases = {
      {"ansi 932", "VALVE-A,\x83\x6F\x83\x8B\x83\x75\r\nPUMP\r\n", TextEncoding::Ansi, false, {u"VALVE-A,バルブ", u"PUMP"}},
      {"utf-8 bom", "\xEF\xBB\xBF\xE3\x83\x90\xE3\x83\xAB\xE3\x83\x96\r\nx\r\n", TextEncoding::Utf8, true, {u"バルブ", u"x"}},
      {"utf-16 le", std::string("\xFF\xFE\x30\x00\x00\x4E\r\x00\n\x00", 10), TextEncoding::Utf16LE, true, {u"0一"}},
      {"utf-16 be", std::string("\xFE\xFF\x00\x30\x4E\x00\x00\r\x00\n", 10), TextEncoding::Utf16BE, true, {u"0一"}},
      {"no final line end", "a\r\nb", TextEncoding::Ansi, false, {u"a", u"b"}},
      {"empty lines kept", "\r\n\r\n  x  \r\n", TextEncoding::Ansi, false, {u"", u"", u"  x  "}},
  };
  test::TempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto file = dir / "t.txt";
    test::WriteFile(file, c.bytes);
    TextLines t;
    ASSERT_TRUE(ReadTextLines(file, t));
    EXPECT_EQ(t.encoding, c.encoding);
    EXPECT_EQ(t.bom, c.bom);
    EXPECT_EQ(t.lines, c.lines);
    WriteTextLines(file, t);
    EXPECT_EQ(test::ReadFile(file), c.bytes);
  }
}

// Notepad's default today: UTF-8 without a mark, read as UTF-8 and written back unmarked.
TEST(TextFile, Utf8WithoutAMarkRoundTripsByteForByte) {
  const std::string bytes = Utf16ToUtf8(u"C:\\図面\\配管\r\nD:\\lib\r\n");
  TextLines t = ParseTextLines(bytes);
  EXPECT_EQ(t.encoding, TextEncoding::Utf8);
  EXPECT_FALSE(t.bom);
  EXPECT_EQ(t.lines, (std::vector<std::u16string>{u"C:\\図面\\配管", u"D:\\lib"}));
  EXPECT_EQ(FormatTextLines(t), bytes);
  EXPECT_EQ(ParseTextLines(Utf16ToAnsi(u"C:\\図面\r\n")).lines, std::vector<std::u16string>{u"C:\\図面"});
}

TEST(TextFile, MixedLineEndsAreAllLineBreaks) {
  TextLines t = ParseTextLines("a\nb\rc\r\nd");
  EXPECT_EQ(t.lines, (std::vector<std::u16string>{u"a", u"b", u"c", u"d"}));
}

TEST(TextFile, MissingFileIsNewAnsiText) {
  test::TempDir dir;
  TextLines t;
  t.lines = {u"stale"};
  EXPECT_FALSE(ReadTextLines(dir / "none.txt", t));
  EXPECT_TRUE(t.lines.empty());
  EXPECT_EQ(t.encoding, TextEncoding::Ansi);
  t.lines = {u"C:\\図面"};
  WriteTextLines(dir / "new.txt", t);
  EXPECT_EQ(test::ReadFile(dir / "new.txt"), "C:\\\x90\x7D\x96\xCA\r\n");
}

TEST(TextFile, ALineOutsideTheAnsiCodePageTurnsTheFileToUtf8WithAMark) {
  struct Case {
    const char* name;
    std::vector<std::u16string> lines;
    std::string bytes;
  } cases[] = {
      {"every character fits: ANSI", {u"Z:\\lib\\①図面"}, "Z:\\lib\\\x87\x40\x90\x7D\x96\xCA\r\n"},
      {"ü does not", {u"Z:\\lib\\Müller ①", u"Z:\\x"}, "\xEF\xBB\xBFZ:\\lib\\M\xC3\xBCller \xE2\x91\xA0\r\nZ:\\x\r\n"},
  };
  test::TempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TextLines t;
    t.lines = c.lines;
    WriteTextLines(dir / "list.txt", t);
    EXPECT_EQ(test::ReadFile(dir / "list.txt"), c.bytes);
    TextLines back;
    ASSERT_TRUE(ReadTextLines(dir / "list.txt", back));
    EXPECT_EQ(back.lines, c.lines);
  }
  EXPECT_TRUE(FitsAnsiCodePage(u"C:\\図面①"));
  EXPECT_FALSE(FitsAnsiCodePage(u"Müller"));
  EXPECT_FALSE(FitsAnsiCodePage(u"\U0002000B"));
}

TEST(TextFile, ExistingButUnreadableFileIsAnErrorNotAMissingOne) {
  test::TempDir dir;
  TextLines t;
  t.lines = {u"stale"};
  EXPECT_FALSE(ReadExistingTextLines(dir / "none.txt", t));
  EXPECT_TRUE(t.lines.empty());

  test::WriteFile(dir / "list.txt", "C:\\a\r\n");
  EXPECT_TRUE(ReadExistingTextLines(dir / "list.txt", t));
  EXPECT_EQ(t.lines, std::vector<std::u16string>{u"C:\\a"});

  // A folder in the file's place exists but cannot be read as a file.
  std::filesystem::create_directory(dir / "folder.txt");
  try {
    ReadExistingTextLines(dir / "folder.txt", t);
    ADD_FAILURE() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("folder.txt"), std::string::npos) << e.what();
  }
}

TEST(TextFile, ReplacingLeavesNoTemporaryFileBehind) {
  test::TempDir dir;
  test::WriteFile(dir / "list.txt", "old\r\n");
  TextLines t;
  t.lines = {u"new"};
  WriteTextLines(dir / "list.txt", t);
  EXPECT_EQ(test::ReadFile(dir / "list.txt"), "new\r\n");
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.path())) (void)e, ++files;
  EXPECT_EQ(files, 1);
}

// The messages name the file in UTF-8, also for names the ANSI code page cannot hold.
TEST(TextFile, FailedWritesAndReplacesThrowNamingTheFileInUtf8) {
  test::TempDir dir;
  const std::string name = "\xE5\x9B\xB3\xE9\x9D\xA2\xC3\xA9";  // 図面é
  auto expectNamed = [&](const std::function<void()>& write) {
    try {
      write();
      ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find(name), std::string::npos) << e.what();
    }
  };
  TextLines t;
  t.lines = {u"x"};
  expectNamed([&] { WriteTextLines(dir / u"図面é" / "such" / "f.txt", t); });
  expectNamed([&] { ReplaceFileWith(dir / "missing.txt", dir / u"図面é.txt"); });
}

}  // namespace
}  // namespace tesmar

namespace tesmar {
namespace {

// Drawing folders and hint files often have Japanese names.
TEST(TextFile, JapaneseFileNamesWriteAndReadBack) {
  test::TempDir dir;
  const auto folder = dir.path() / PathFromU16(u"配管図面");
  std::filesystem::create_directory(folder);
  const auto file = folder / PathFromU16(u"説明.txt");
  TextLines t;
  t.lines = {u"バルブ"};
  WriteTextLines(file, t);
  TextLines back;
  ASSERT_TRUE(ReadTextLines(file, back));
  EXPECT_EQ(back.lines, t.lines);
  EXPECT_EQ(U16FromPath(file.filename()), u"説明.txt");
}

}  // namespace
}  // namespace tesmar
