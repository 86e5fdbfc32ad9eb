#include "library/hint_file.h"

#include <gtest/gtest.h>

#include "base/codepage.h"
#include "base/file_lock.h"
#include "base/strings.h"
#include "base/textfile.h"
#include "tests/support/testdata.h"

namespace tesmar {
namespace {

using Fields = std::vector<std::u16string>;

TEST(HintFile, FieldsOfALine) {
  struct Case {
    const char16_t* line;
    Fields fields;
  } cases[] = {
      {u"VALVE-A,ゲート弁 50A", {u"VALVE-A", u"ゲート弁", u"50A"}},
      {u"PUMP,", {u"PUMP", u""}},
      {u"PUMP", {u"PUMP"}},
      {u"KEY,two words", {u"KEY", u"two", u"words"}},
      {u"KEY,\"two words\"", {u"KEY", u"two words"}},
      {u"  \tKEY ,  desc  ", {u"KEY", u"desc"}},
      {u"\"a\"\"b\",c", {u"a\"b", u"c"}},
      {u"K,,x", {u"K", u"", u"x"}},
      {u"K, ", {u"K"}},  // the comma is not the last character
      {u"K,\"unterminated desc", {u"K", u"unterminated desc"}},
      {u"\"ab\"cd", {u"ab", u"cd"}},
      {u"", {}},
      {u"   ", {}},
      {u"//OLD,\"kept text\"", {u"//OLD", u"kept text"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.line, c.line + std::char_traits<char16_t>::length(c.line)).size());
    EXPECT_EQ(ParseHintFields(c.line), c.fields);
  }
}

TEST(HintFile, DescriptionLookup) {
  const std::vector<std::u16string> lines = {
      u"keyonly",
      u"valve-a,\"ゲート弁 50A\"",
      u"VALVE-A,second",
      u"PUMP,",
      u"ÉTÉ,accented",
      u"ＡＢ,fullwidth",
      u"//GONE,old",
      u"TWO,two words",
  };
  EXPECT_EQ(FindHintDescription(lines, u"VALVE-A"), u"ゲート弁 50A");  // first match, any case
  EXPECT_EQ(FindHintDescription(lines, u"pump"), u"");
  EXPECT_EQ(FindHintDescription(lines, u"KEYONLY"), std::nullopt);  // no comma: no description
  EXPECT_EQ(FindHintDescription(lines, u"ÉTÉ"), u"accented");
  EXPECT_EQ(FindHintDescription(lines, u"éTé"), std::nullopt);  // only a to z fold
  EXPECT_EQ(FindHintDescription(lines, u"ａｂ"), std::nullopt);
  EXPECT_EQ(FindHintDescription(lines, u"GONE"), std::nullopt);
  EXPECT_EQ(FindHintDescription(lines, u"TWO"), u"two");
  EXPECT_EQ(HintKeyOfName(u"Valve-A.dwg"), u"VALVE-A");
  EXPECT_EQ(HintKeyOfName(u"a.b.DWG"), u"A.B");
  EXPECT_EQ(HintKeyOfName(u"noext"), u"NOEXT");
}

// The template keeps each name as the user sees it; keys match in either case.
TEST(HintFile, NewFileHasOneLinePerDrawingInListOrderWithTheNamesAsTheyAre) {
  EXPECT_EQ(FormatHintFile(NewHintFile({u"Valve-A.dwg", u"pump.DWG"})), "Valve-A,\r\npump,\r\n");
  EXPECT_EQ(FindHintDescription({u"Valve-A,desc"}, HintKeyOfName(u"VALVE-a.DWG")), u"desc");
}

TEST(HintFile, UpdateCommentsOutLeftDrawingsAndAppendsNewOnes) {
  const std::string before =
      "VALVE-A,\"ゲート弁 50A\"\r\n"
      "\r\n"
      "pump,ポンプ\r\n"
      "//OLD,\"removed long ago\"\r\n"
      "FLANGE,フランジ";  // no final line end
  HintFile f = ParseHintFile(EncodeText(DecodeText(before, TextEncoding::Utf8), TextEncoding::Ansi));
  // pump.dwg stays (other case), VALVE-A and FLANGE have left, tee.dwg is new.
  const std::vector<std::u16string> drawings = {u"PUMP.dwg", u"tee.dwg", u" spaced .dwg"};
  UpdateHintFile(f, drawings);
  const std::string after = FormatHintFile(f);
  const std::string expected = EncodeText(DecodeText(
      "//VALVE-A,\"ゲート弁 50A\"\r\n"
      "\r\n"
      "pump,ポンプ\r\n"
      "//OLD,\"removed long ago\"\r\n"
      "//FLANGE,フランジ\r\n"
      "tee,\r\n"
      "\" spaced \",\r\n", TextEncoding::Utf8), TextEncoding::Ansi);
  EXPECT_EQ(after, expected);

  // Running it again changes nothing.
  HintFile again = ParseHintFile(after);
  UpdateHintFile(again, drawings);
  EXPECT_EQ(FormatHintFile(again), after);
}

TEST(HintFile, NewLinesQuoteNamesThatWouldNotReadBackAsTheirKey) {
  struct Case {
    const char16_t* name;
    const char16_t* line;
  } cases[] = {
      {u"plain.dwg", u"plain,"},
      {u"new valve.DWG", u"\"new valve\","},
      {u"a,b.dwg", u"\"a,b\","},
      {u"say \"hi\".dwg", u"\"say \"\"hi\"\"\","},
      {u" pump .dwg", u"\" pump \","},
      {u"\"q.dwg", u"\"\"\"q\","},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.name));
    EXPECT_EQ(HintLineFor(c.name), c.line);
    auto fields = ParseHintFields(c.line);
    ASSERT_EQ(fields.size(), 2u);
    EXPECT_EQ(HintKeyOfName(fields[0]), HintKeyOfName(c.name));
  }
  // Two updates in a row: the line is added once, and its description is found.
  HintFile f = ParseHintFile("");
  UpdateHintFile(f, {u"new valve.DWG", u" pump .dwg"});
  const std::string first = FormatHintFile(f);
  EXPECT_EQ(first, "\"new valve\",\r\n\" pump \",\r\n");
  UpdateHintFile(f, {u"new valve.DWG", u" pump .dwg"});
  EXPECT_EQ(FormatHintFile(f), first);
  EXPECT_EQ(FindHintDescription({u"\"NEW VALVE\",\"gate valve\""}, HintKeyOfName(u"new valve.DWG")), u"gate valve");
  // Lines the user wrote with the key trimmed still belong to the drawing.
  HintFile user = ParseHintFile("PUMP,desc\r\n");
  UpdateHintFile(user, {u" pump .dwg"});
  EXPECT_EQ(FormatHintFile(user), "PUMP,desc\r\n");
}

TEST(HintFile, ANameOutsideTheAnsiCodePageTurnsTheFileToUtf8WithAMark) {
  // A new file, and an ANSI file that gets such a line: nothing is lost, and a second update
  // finds the line it added.
  EXPECT_EQ(FormatHintFile(NewHintFile({u"Müller.dwg", u"弁.dwg"})), "\xEF\xBB\xBFM\xC3\xBCller,\r\n\xE5\xBC\x81,\r\n");
  HintFile f = ParseHintFile(Utf16ToAnsi(u"弁,\"ゲート弁 50A\"\r\nGONE,x\r\n"));
  UpdateHintFile(f, {u"弁.dwg", u"Müller.dwg"});
  const std::string first = FormatHintFile(f);
  EXPECT_EQ(first, "\xEF\xBB\xBF" + Utf16ToUtf8(u"弁,\"ゲート弁 50A\"\r\n//GONE,x\r\nMüller,\r\n"));
  HintFile again = ParseHintFile(first);
  UpdateHintFile(again, {u"弁.dwg", u"Müller.dwg"});
  EXPECT_EQ(FormatHintFile(again), first);
  // Bytes of the user's that do not come back from their text (the native converter does not
  // decode these; Windows maps them to private characters and back) keep the file ANSI.
  const std::string user = "KEEP,\xFF\xFF\x80 x";
  HintFile odd = ParseHintFile(user + "\r\n");
  UpdateHintFile(odd, {u"keep.dwg", u"Müller.dwg"});
  HintFile back = ParseHintFile(FormatHintFile(odd));
  ASSERT_EQ(back.lines.size(), 2u);
  EXPECT_EQ(back.encoding == TextEncoding::Ansi ? back.lines[0].raw : EncodeText(back.lines[0].text, TextEncoding::Ansi),
            user);
}

TEST(HintFile, UpdateKeepsEncodingMarkLineEndsAndUnreadableBytes) {
  struct Case {
    const char* what;
    std::string bytes;
    std::string expected;
  } cases[] = {
      {"utf-8 with mark, LF ends", "\xEF\xBB\xBFGONE,x\nKEEP,y\n", "\xEF\xBB\xBF//GONE,x\nKEEP,y\nnew,\n"},
      {"utf-16le with mark", std::string("\xFF\xFEK\0,\0\r\0\n\0", 10),
       std::string("\xFF\xFE/\0/\0K\0,\0\r\0\n\0k\0e\0e\0p\0,\0\r\0\n\0n\0e\0w\0,\0\r\0\n\0", 40)},
      {"ansi with a byte no code page decodes", "KEEP,\xFF\xFF\x80 x\r\n", "KEEP,\xFF\xFF\x80 x\r\nnew,\r\n"},
      {"empty file", "", "keep,\r\nnew,\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    HintFile f = ParseHintFile(c.bytes);
    UpdateHintFile(f, {u"keep.dwg", u"new.dwg"});
    EXPECT_EQ(FormatHintFile(f), c.expected);
  }
}

// Notepad saves UTF-8 without a byte-order mark: such a file reads as UTF-8 and is written
// back the same way; anything else without a mark stays in the ANSI code page.
TEST(HintFile, Utf8WithoutAMarkIsReadAndWrittenBackAsUtf8) {
  const std::string utf8 = Utf16ToUtf8(u"弁,\"ゲート弁 50A\"\r\nGONE,x\r\n");
  HintFile f = ParseHintFile(utf8);
  EXPECT_EQ(f.encoding, TextEncoding::Utf8);
  EXPECT_EQ(FindHintDescription(f.Texts(), HintKeyOfName(u"弁.dwg")), u"ゲート弁 50A");
  UpdateHintFile(f, {u"弁.dwg", u"継手.dwg", u"Müller.dwg"});
  EXPECT_EQ(FormatHintFile(f), Utf16ToUtf8(u"弁,\"ゲート弁 50A\"\r\n//GONE,x\r\n継手,\r\nMüller,\r\n"));

  struct Case {
    const char* what;
    std::string bytes;
    TextEncoding encoding;
  } cases[] = {
      {"ascii only", "A,desc\r\n", TextEncoding::Ansi},
      {"code page 932", Utf16ToAnsi(u"弁,ゲート弁\r\n"), TextEncoding::Ansi},
      {"utf-8 cut off at the end", "A,\xE5\xBC", TextEncoding::Ansi},
      {"overlong form", "A,\xC0\xAF", TextEncoding::Ansi},
      {"surrogate", "A,\xED\xA0\x80", TextEncoding::Ansi},
      {"above U+10FFFF", "A,\xF4\x90\x80\x80", TextEncoding::Ansi},
      {"four-byte form", "A,\xF0\x9F\x94\xA7", TextEncoding::Utf8},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ParseHintFile(c.bytes).encoding, c.encoding);
  }
  EXPECT_EQ(ParseHintFile(Utf16ToAnsi(u"弁,ゲート弁\r\n")).lines[0].text, u"弁,ゲート弁");
}

TEST(HintFile, SaveCreatesOrReplacesTheFileWhole) {
  test::TempDir dir;
  const auto path = dir / "TesmarHint.txt";
  EXPECT_TRUE(SaveHintFile(path, {u"a.dwg"}));
  EXPECT_EQ(test::ReadFile(path), "a,\r\n");
  test::WriteFile(path, "\xEF\xBB\xBF" "A,desc\r\nB,gone\r\n");
  ASSERT_TRUE(SaveHintFile(path, {u"a.dwg", u"c.dwg"}));
  EXPECT_EQ(test::ReadFile(path), "\xEF\xBB\xBF" "A,desc\r\n//B,gone\r\nc,\r\n");
  EXPECT_FALSE(SaveHintFile(path, {u"a.dwg", u"c.dwg"}));  // up to date: not written
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.path())) (void)e, ++files;
  EXPECT_EQ(files, 1) << "no temporary or lock file is left behind";
}

// Two palettes update one file one after the other, each with the drawings it lists: the
// second works on what the first saved, so the lines of both stay (those of drawings the
// second does not list are commented out, never dropped), and the user's descriptions stay.
TEST(HintFile, UpdatesOfTwoPalettesKeepBothSetsOfLines) {
  test::TempDir dir;
  const auto path = dir / "TesmarHint.txt";
  test::WriteFile(path, Utf16ToUtf8(u"共通,\"共通の説明\"\r\n"));
  ASSERT_TRUE(SaveHintFile(path, {u"共通.dwg", u"a1.dwg", u"a2.dwg"}));
  ASSERT_TRUE(SaveHintFile(path, {u"共通.dwg", u"b1.dwg"}));
  EXPECT_EQ(test::ReadFile(path), Utf16ToUtf8(u"共通,\"共通の説明\"\r\n//a1,\r\n//a2,\r\nb1,\r\n"));
  ASSERT_TRUE(SaveHintFile(path, {u"共通.dwg", u"a1.dwg", u"a2.dwg", u"b1.dwg"}));
  EXPECT_EQ(test::ReadFile(path), Utf16ToUtf8(u"共通,\"共通の説明\"\r\n//a1,\r\n//a2,\r\nb1,\r\na1,\r\na2,\r\n"));
}

// A palette holding the lock (another user saving) is waited for, then reported; the file is
// as it was.
TEST(HintFile, ALockedFileIsWaitedForThenReported) {
  test::TempDir dir;
  const auto path = dir / "TesmarHint.txt";
  test::WriteFile(path, "A,desc\r\n");
  FileLock other;
  ASSERT_TRUE(other.TryLock(path));
  try {
    SaveHintFile(path, {u"b.dwg"}, std::chrono::milliseconds(300));
    ADD_FAILURE() << "no error";
  } catch (const FileWriteError& e) {
    EXPECT_EQ(e.failure, WriteFailure::InUse);
  }
  EXPECT_EQ(test::ReadFile(path), "A,desc\r\n");
  other.Release();
  EXPECT_TRUE(SaveHintFile(path, {u"b.dwg"}, std::chrono::milliseconds(300)));
  EXPECT_EQ(test::ReadFile(path), "//A,desc\r\nb,\r\n");
}

// A folder that no file can be created in (a read-only share, a folder without the right to
// write) says so, whether the file is new or replaced; nothing is left behind.
TEST(HintFile, AFolderThatCannotBeWrittenIsReportedAsReadOnly) {
#ifdef _WIN32
  const std::filesystem::path folder = "Z:/sys/kernel";
#else
  const std::filesystem::path folder = "/sys/kernel";
#endif
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec)) GTEST_SKIP() << "no read-only folder here";
  for (int replace = 0; replace < 2; ++replace) {
    SCOPED_TRACE(replace);
    try {
      if (replace) WriteFileAtomically(folder / "TesmarHint.txt", "a,\r\n");
      else SaveHintFile(folder / "TesmarHint.txt", {u"a.dwg"}, std::chrono::milliseconds(200));
      ADD_FAILURE() << "no error";
    } catch (const FileWriteError& e) {
      EXPECT_EQ(e.failure, WriteFailure::FolderReadOnly) << e.what();
      const std::u16string text = HintSaveFailureText(e, U16FromPath(folder / "TesmarHint.txt"));
      EXPECT_NE(text.find(u"読み取り専用"), std::u16string::npos) << Utf16ToUtf8(text);
    }
  }
}

TEST(HintFile, SaveFailuresAreToldInTheUsersWords) {
  const std::u16string path = u"\\\\server\\cad\\配管\\TesmarHint.txt";
  struct Case {
    WriteFailure failure;
    std::u16string system;
    std::u16string expected;
  } cases[] = {
      {WriteFailure::FolderReadOnly, u"", u"フォルダ \\\\server\\cad\\配管 は読み取り専用のため、説明ファイル TesmarHint.txt を保存できません。"},
      {WriteFailure::FileReadOnly, u"", u"説明ファイル " + path + u" は読み取り専用のため、保存できません。"},
      {WriteFailure::InUse, u"", u"説明ファイル " + path + u" は他のユーザーまたはプログラムが使用中のため、保存できませんでした。"},
      {WriteFailure::Other, u"ディスクに十分な空き領域がありません。", u"説明ファイル " + path + u" を保存できませんでした。\nディスクに十分な空き領域がありません。"},
  };
  for (const auto& c : cases) {
    const std::u16string text = HintSaveFailureText(FileWriteError(c.failure, "cannot create x.tmp1", c.system), path);
    SCOPED_TRACE(Utf16ToUtf8(text));
    EXPECT_EQ(text.substr(0, c.expected.size()), c.expected);
    EXPECT_EQ(text.find(u"cannot"), std::u16string::npos);
  }
}

TEST(HintFile, HoverDateText) {
  const LocalTimeParts t{2023, 8, 11, 9, 5, 0};
  EXPECT_EQ(FormatHoverDate(t, u"/", u":", u"Valve-A.dwg"), u"[2023/08/11 09:05:00] Valve-A.dwg");
  EXPECT_EQ(FormatHoverDate(t, u"-", u".", u"x.dwg"), u"[2023-08-11 09.05.00] x.dwg");
  EXPECT_EQ(FormatHoverDate({999, 12, 31, 23, 59, 59}, u"/", u":", u""), u"[0999/12/31 23:59:59] ");
}

}  // namespace
}  // namespace tesmar
