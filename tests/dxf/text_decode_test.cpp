#include "dxf/text_decode.h"

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

}  // namespace
}  // namespace tesmar
