#include "base/codepage.h"

#include <gtest/gtest.h>

#include "base/intparse.h"
#include "base/strings.h"

namespace tesmar {
namespace {

TEST(CodePage, AnsiIsJapanese932) {
  EXPECT_EQ(AnsiCodePage(), 932u);
  EXPECT_EQ(AnsiToUtf16("\x90\x7D\x96\xCA abc"), u"図面 abc");
  EXPECT_EQ(Utf16ToAnsi(u"図面 abc"), "\x90\x7D\x96\xCA abc");
  EXPECT_EQ(AnsiToUtf16("\xB1\xB2"), u"ｱｲ");  // half-width katakana are single bytes
}

TEST(CodePage, Utf8BothWaysWithSurrogates) {
  const std::u16string text = u"a\u00E9\u56F3\U0001F600";
  const std::string bytes = "a\xC3\xA9\xE5\x9B\xB3\xF0\x9F\x98\x80";
  EXPECT_EQ(Utf16ToUtf8(text), bytes);
  EXPECT_EQ(Utf8ToUtf16(bytes), text);
}

TEST(CodePage, BrokenUtf8BecomesReplacementCharactersAndDecodingGoesOn) {
  struct Case {
    std::string bytes;
    std::u16string text;
  };
  const Case cases[] = {
      {"a\xFF" "b", u"a\uFFFDb"},
      {"a\xE5\x9B", u"a\uFFFD"},                        // cut short at the end
      {"\xE5" "b", u"\uFFFDb"},                          // cut short by a plain character
      {"\xE5\x9B" "b\xE5\x9B\xB3", u"\uFFFDb\u56F3"},   // ... after a continuation byte
      {"\xF0\x9F\xE5\x9B\xB3", u"\uFFFD\u56F3"},        // ... by the lead of the next one
      {"\xC3", u"\uFFFD"},
      {"\xC0\x80", u"\uFFFD\uFFFD"},                    // overlong
      {"\xED\xA0\x80" "z", u"\uFFFD\uFFFD\uFFFDz"},      // an encoded surrogate
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToUtf16(c.bytes), c.text) << testing::PrintToString(c.bytes);
}

TEST(CodePage, Utf16WithAnOddByteCountEndsInAReplacementCharacter) {
  EXPECT_EQ(DecodeText(std::string("\x30\x00\x41", 3), TextEncoding::Utf16LE), u"0\uFFFD");
  EXPECT_EQ(DecodeText(std::string("\x00\x30\x41", 3), TextEncoding::Utf16BE), u"0\uFFFD");
  EXPECT_EQ(DecodeText(std::string("\x41", 1), TextEncoding::Utf16LE), u"\uFFFD");
  EXPECT_EQ(DecodeText(std::string("\x30\x00", 2), TextEncoding::Utf16LE), u"0");
}

TEST(CodePage, Cp932ByteLengthCountsDoubleByteCharacters) {
  EXPECT_EQ(Cp932ByteLength(u"ab図面ｱ"), 2u + 4u + 1u);
}

TEST(IniInt, DecimalHexAndDefaults) {
  struct Case { std::u16string text; std::int32_t want; };
  const Case cases[] = {
      {u"123", 123}, {u"-45", -45}, {u"+7", 7}, {u"0x1F", 31}, {u"0X1f", 31}, {u"$FF", 255},
      {u"$FFFFFFFF", -1}, {u"2147483647", 2147483647}, {u"2147483648", -99}, {u"", -99},
      {u"12a", -99}, {u" 12", -99}, {u"0x", -99}, {u"$", -99}, {u"abc", -99}, {u"1.5", -99},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.text.begin(), c.text.end()));
    EXPECT_EQ(ParseIniInt(c.text, -99), c.want);
  }
}

TEST(IniInt, BooleansAreIntegers) {
  EXPECT_TRUE(ParseIniBool(u"1", false));
  EXPECT_TRUE(ParseIniBool(u"-3", false));
  EXPECT_FALSE(ParseIniBool(u"0", true));
  EXPECT_FALSE(ParseIniBool(u"$0", true));
  EXPECT_TRUE(ParseIniBool(u"yes", true));
  EXPECT_FALSE(ParseIniBool(u"", false));
}

TEST(Strings, CaseFoldingAsTheFileSystemCompares) {
  EXPECT_TRUE(EqualsIgnoreCase16(u"C:\\Drawings\\Ａｂ", u"c:\\DRAWINGS\\ａＢ"));
  EXPECT_FALSE(EqualsIgnoreCase16(u"図面", u"図"));
  EXPECT_LT(CompareIgnoreCase16(u"abc", u"ABD"), 0);
  EXPECT_EQ(UpperCase16(u"Continuous図"), u"CONTINUOUS図");
}

}  // namespace
}  // namespace tesmar
