#include "base/path_split.h"

#include <gtest/gtest.h>

#include <string>

#include "base/codepage.h"
#include "base/strings.h"

namespace tesmar {
namespace {

TEST(PathSplit, FileNameAndExtensionOfTheLastElementOnly) {
  struct Case {
    const char16_t* path;
    const char16_t* name;
    const char16_t* withoutExtension;
  } cases[] = {
      {u"C:\\lib\\valve.dwg", u"valve.dwg", u"C:\\lib\\valve"},
      {u"C:\\lib.v2\\valve", u"valve", u"C:\\lib.v2\\valve"},  // a dot of a folder is no extension
      {u"D:x.tar.gz", u"x.tar.gz", u"D:x.tar"},
      {u"a/b.c", u"b.c", u"a/b"},
      {u"plain", u"plain", u"plain"},
      {u"dir\\", u"", u"dir\\"},
      {u"", u"", u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.path));
    EXPECT_EQ(FileNamePart(c.path), c.name);
    EXPECT_EQ(WithoutExtension(c.path), c.withoutExtension);
  }
  EXPECT_EQ(FileNamePart(u"D:a/b", u"\\:"), u"a/b") << "only the given separators split";
}

TEST(PathSplit, TrimmingTakesBlanksAndControlCharactersFromBothEnds) {
  EXPECT_EQ(TrimBlanks(std::u16string_view(u" \t a b\r\n")), u"a b");
  EXPECT_EQ(TrimBlanks(std::string_view("\x01  8 \x1f")), "8");
  EXPECT_EQ(TrimBlanks(std::u16string_view(u"  ")), u"");
  EXPECT_EQ(TrimBlanks(std::u16string_view(u"\u3000x\u3000")), u"\u3000x\u3000") << "the ideographic space is text";
}

}  // namespace
}  // namespace tesmar
