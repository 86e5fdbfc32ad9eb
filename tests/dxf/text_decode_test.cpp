#include "dxf/text_decode.h"

#include <random>

#include <gtest/gtest.h>

namespace tesmar {
namespace {

TEST(DecodeUnicodeEscapes, Cases) {
  struct Case {
    std::u16string in, want;
  };
  const Case cases[] = {
      {u"25\\U+00B0C", u"25°C"},
      {u"\\U+00B1\\U+00B1", u"±±"},
      {u"\\U+5BF8\\U+6CD5", u"寸法"},
      {u"\\u+00B0", u"\\u+00B0"},                       // lower-case u is no escape
      {u"a\\U+00G1b", std::u16string(u"a\0b", 3)},      // not hexadecimal: U+0000
      {u"x\\U+41", u"xA"},                              // cut short by the end of the text
      {u"\\U+", std::u16string(1, u'\0')},              // no digits at all
      {u"\\U+00b0", u"°"},                              // lower-case digits
      {u"%%c\\U+2205", u"%%c∅"},                        // other codes stay
      {u"\\U+005CU+0041", u"A"},                        // a produced backslash forms a new escape
      {u"\\U\\U+002B0041", u"A"},                       // so does a produced plus sign
      {u"\\U\\U+002B\\U+002B", std::u16string(1, u'\0')},  // both pluses at once, then "\U++"
      {u"plain", u"plain"},
  };
  for (const Case& c : cases) {
    std::u16string s = c.in;
    DecodeUnicodeEscapesIn(s);
    EXPECT_EQ(s, c.want) << std::string(c.in.begin(), c.in.end());
  }
}

TEST(DecodeUnicodeEscapes, RewritesEveryRecordOfATable) {
  std::vector<TTextBlk> table(3);
  table[0].str = u"\\U+00B0";
  table[1].str = u"none";
  table[2].str = u"a\\U+00B1";
  DecodeUnicodeEscapes(table);
  EXPECT_EQ(table[0].str, u"°");
  EXPECT_EQ(table[1].str, u"none");
  EXPECT_EQ(table[2].str, u"a±");
  std::u16string plain = u"no escape";
  EXPECT_FALSE(DecodeUnicodeEscapesIn(plain));
}

// The rewrite as it is defined, step by step: the reference for the indexed one.
std::u16string ReferenceDecode(std::u16string s) {
  for (std::size_t pos; (pos = s.find(u"\\U+")) != std::u16string::npos;) {
    const std::u16string e = s.substr(pos, 7);
    unsigned v = 0;
    bool hex = e.size() > 3;
    for (std::size_t i = 3; i < e.size(); ++i) {
      const char16_t d = e[i];
      if (d >= u'0' && d <= u'9') v = v * 16 + (d - u'0');
      else if (d >= u'a' && d <= u'f') v = v * 16 + (d - u'a' + 10);
      else if (d >= u'A' && d <= u'F') v = v * 16 + (d - u'A' + 10);
      else hex = false;
    }
    const char16_t c = hex ? static_cast<char16_t>(v) : u'\0';
    std::u16string next;
    std::size_t from = 0;
    for (std::size_t hit = s.find(e); hit != std::u16string::npos; hit = s.find(e, from)) {
      next.append(s, from, hit - from);
      next.push_back(c);
      from = hit + e.size();
    }
    next.append(s, from, std::u16string::npos);
    s.swap(next);
  }
  return s;
}

// Random texts over the characters that escapes are made of (and the characters that the
// escapes 005C, 0055 and 002B produce), against the step-by-step definition.
TEST(DecodeUnicodeEscapes, AgreesWithTheDefinitionOnRandomTexts) {
  const std::u16string pieces[] = {u"\\U+", u"\\", u"U", u"+", u"005C", u"0055", u"002B", u"0041", u"00", u"5C",
                                   u"55",   u"2B", u"4",  u"1", u"G",    u"x",    u"\\U+005C", u"\\U+002B"};
  std::mt19937 rng(11);
  for (int i = 0; i < 20000; ++i) {
    std::u16string s;
    const int n = 1 + static_cast<int>(rng() % 12);
    for (int k = 0; k < n; ++k) s += pieces[rng() % std::size(pieces)];
    std::u16string got = s;
    DecodeUnicodeEscapesIn(got);
    ASSERT_EQ(got, ReferenceDecode(s)) << std::string(s.begin(), s.end());
  }
}

// Many distinct escapes in one long text are decoded in one pass, not one pass per escape.
TEST(DecodeUnicodeEscapes, LongTextOfDistinctEscapes) {
  std::u16string s, want;
  for (unsigned v = 0x4E00; v < 0x4E00 + 60000 / 7 * 7 && v <= 0x9FFF; ++v) {
    static const char hex[] = "0123456789ABCDEF";
    s += u"\\U+";
    for (int shift = 12; shift >= 0; shift -= 4) s.push_back(static_cast<char16_t>(hex[(v >> shift) & 15]));
    want.push_back(static_cast<char16_t>(v));
  }
  DecodeUnicodeEscapesIn(s);
  EXPECT_EQ(s, want);
}

}  // namespace
}  // namespace tesmar
