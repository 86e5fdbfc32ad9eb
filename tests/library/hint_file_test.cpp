#include "library/hint_file.h"

#include <gtest/gtest.h>

#include "base/codepage.h"
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

TEST(HintFile, NewFileHasOneLinePerDrawingInListOrder) {
  EXPECT_EQ(FormatHintFile(NewHintFile({u"Valve-A.dwg", u"pump.DWG"})), "VALVE-A,\r\nPUMP,\r\n");
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
      "TEE,\r\n"
      "\" SPACED \",\r\n", TextEncoding::Utf8), TextEncoding::Ansi);
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
      {u"plain.dwg", u"PLAIN,"},
      {u"new valve.DWG", u"\"NEW VALVE\","},
      {u"a,b.dwg", u"\"A,B\","},
      {u"say \"hi\".dwg", u"\"SAY \"\"HI\"\"\","},
      {u" pump .dwg", u"\" PUMP \","},
      {u"\"q.dwg", u"\"\"\"Q\","},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.name));
    EXPECT_EQ(HintLineFor(c.name), c.line);
    auto fields = ParseHintFields(c.line);
    ASSERT_EQ(fields.size(), 2u);
    EXPECT_EQ(fields[0], HintKeyOfName(c.name));
  }
  // Two updates in a row: the line is added once, and its description is found.
  HintFile f = ParseHintFile("");
  UpdateHintFile(f, {u"new valve.DWG", u" pump .dwg"});
  const std::string first = FormatHintFile(f);
  EXPECT_EQ(first, "\"NEW VALVE\",\r\n\" PUMP \",\r\n");
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
  EXPECT_EQ(FormatHintFile(NewHintFile({u"Müller.dwg", u"弁.dwg"})), "\xEF\xBB\xBFM\xC3\xBCLLER,\r\n\xE5\xBC\x81,\r\n");
  HintFile f = ParseHintFile(Utf16ToAnsi(u"弁,\"ゲート弁 50A\"\r\nGONE,x\r\n"));
  UpdateHintFile(f, {u"弁.dwg", u"Müller.dwg"});
  const std::string first = FormatHintFile(f);
  EXPECT_EQ(first, "\xEF\xBB\xBF" + Utf16ToUtf8(u"弁,\"ゲート弁 50A\"\r\n//GONE,x\r\nMüLLER,\r\n"));
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
      {"utf-8 with mark, LF ends", "\xEF\xBB\xBFGONE,x\nKEEP,y\n", "\xEF\xBB\xBF//GONE,x\nKEEP,y\nNEW,\n"},
      {"utf-16le with mark", std::string("\xFF\xFEK\0,\0\r\0\n\0", 10),
       std::string("\xFF\xFE/\0/\0K\0,\0\r\0\n\0K\0E\0E\0P\0,\0\r\0\n\0N\0E\0W\0,\0\r\0\n\0", 40)},
      {"ansi with a byte no code page decodes", "KEEP,\xFF\xFF\x80 x\r\n", "KEEP,\xFF\xFF\x80 x\r\nNEW,\r\n"},
      {"empty file", "", "KEEP,\r\nNEW,\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    HintFile f = ParseHintFile(c.bytes);
    UpdateHintFile(f, {u"keep.dwg", u"new.dwg"});
    EXPECT_EQ(FormatHintFile(f), c.expected);
  }
}

TEST(HintFile, UpdateOnDiskReplacesTheFileWhole) {
  test::TempDir dir;
  const auto path = dir / "TesmarHint.txt";
  EXPECT_FALSE(UpdateHintFileOnDisk(path, {u"a.dwg"}));
  test::WriteFile(path, "\xEF\xBB\xBF" "A,desc\r\nB,gone\r\n");
  ASSERT_TRUE(UpdateHintFileOnDisk(path, {u"a.dwg", u"c.dwg"}));
  EXPECT_EQ(test::ReadFile(path), "\xEF\xBB\xBF" "A,desc\r\n//B,gone\r\nC,\r\n");
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.path())) (void)e, ++files;
  EXPECT_EQ(files, 1) << "no temporary file is left behind";
}

TEST(HintFile, HoverDateText) {
  const LocalTimeParts t{2023, 8, 11, 9, 5, 0};
  EXPECT_EQ(FormatHoverDate(t, u"/", u":", u"Valve-A.dwg"), u"[2023/08/11 09:05:00] Valve-A.dwg");
  EXPECT_EQ(FormatHoverDate(t, u"-", u".", u"x.dwg"), u"[2023-08-11 09.05.00] x.dwg");
  EXPECT_EQ(FormatHoverDate({999, 12, 31, 23, 59, 59}, u"/", u":", u""), u"[0999/12/31 23:59:59] ");
}

}  // namespace
}  // namespace tesmar
