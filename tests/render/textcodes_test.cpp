#include "render/textcodes.h"

#include <gtest/gtest.h>

#include "base/codepage.h"

namespace tesmar {
namespace {

std::string U8(const std::u16string& s) { return Utf16ToUtf8(s); }

struct Case {
  std::u16string in;
  std::u16string want;
};

TEST(TextCodes, ReplaceSpecialCodes) {
  const Case cases[] = {
      {u"%%c20", u"\u03A620"},      {u"%%C20", u"\u03A620"},   {u"45%%d", u"45\u00B0"},
      {u"45%%D", u"45\u00B0"},      {u"%%p0.5", u"\u00B10.5"}, {u"%%P", u"\u00B1"},
      {u"100%%%", u"100%"},         {u"\\U+2205", u"\u03A6"},  {u"\\U+25A1", u"\u25A1"},
      {u"%%uabc%%u", u"%%uabc%%u"},  // other codes stay as written
      {u"\\U+00B0", u"\\U+00B0"},    // only the two escapes
      {u"a%%c%%d%%p%%%b", u"a\u03A6\u00B0\u00B1%b"},
      {u"", u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(U8(c.in));
    EXPECT_EQ(ReplaceSpecialCodes(c.in), c.want);
  }
}

TEST(TextCodes, SplitMtextLines) {
  struct SplitCase {
    std::u16string in;
    std::vector<std::u16string> want;
  };
  const SplitCase cases[] = {
      {u"A\\PB\\P", {u"A", u"B"}},
      {u"A^JB", {u"A", u"B"}},
      {u"A\\P}\\PB", {u"A", u"B"}},
      {u"A\\P  }  \\PB", {u"A", u"B"}},
      {u"", {}},
      {u"A\\P\\PB", {u"A", u"", u"B"}},          // an empty line inside stays
      {u"A\\P \t", {u"A"}},                      // a blank last line goes
      {u"\\pxi1.5;Text", {u"\\pxi1.5;Text"}},  // a paragraph's indents break no line
      {u"{\\fArial;X}", {u"{\\fArial;X}"}},
  };
  for (const SplitCase& c : cases) {
    SCOPED_TRACE(U8(c.in));
    EXPECT_EQ(SplitMtextLines(c.in), c.want);
  }
}

TEST(TextCodes, StripMtextCodes) {
  const Case cases[] = {
      {u"{\\fArial|b0|i0|c128|p34;ABC}", u"ABC"},
      {u"\\A1;word", u"word"},
      {u"\\H2.5x;word", u"word"},
      {u"\\S1/2;", u"1/2"},
      {u"\\S3^4; in", u"3/4 in"},
      {u"a\\~b", u"a b"},
      {u"\\pxi-3,l3;Text", u"Text"},
      {u"\\{x\\}", u"x}"},
      {u"\\Ltext\\l \\Oover\\o", u"text over"},
      {u"a^Ib^ c", u"abc"},
      {u"C:\\\\dir", u"C:\\dir"},
      {u"x\\C1", u"x"},         // a code without ";" runs to the end
      {u"end\\", u"end\\"},     // a backslash at the end is no code
      {u"{\\C1;red} and {blue}", u"red and blue"},
      {u"plain", u"plain"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(U8(c.in));
    EXPECT_EQ(StripMtextCodes(c.in), c.want);
  }
}

}  // namespace
}  // namespace tesmar
