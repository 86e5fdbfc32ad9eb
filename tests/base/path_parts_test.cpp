#include "base/path_parts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "base/codepage.h"
#include "base/strings.h"

namespace tesmar {
namespace {

// Written with '\'; the build's own separator is put in where the join adds one.
std::u16string Sep(std::u16string s) {
  std::replace(s.begin(), s.end(), u'|', kPathSeparator);
  return s;
}

TEST(PathParts, ADriveOrShareRootGetsNoSecondSeparator) {
  struct Case {
    const char16_t* folder;
    const char16_t* name;
    const char16_t* joined;  // '|' marks the separator the join adds
  } cases[] = {
      {u"Y:\\", u"GATE-VALVE.dwg", u"Y:\\GATE-VALVE.dwg"},
      {u"Y:\\", u"sub", u"Y:\\sub"},
      {u"\\\\server\\share\\", u"a.dwg", u"\\\\server\\share\\a.dwg"},
      {u"C:\\lib", u"a.dwg", u"C:\\lib|a.dwg"},
      {u"C:\\lib\\sub\\", u"TesmarHint.txt", u"C:\\lib\\sub\\TesmarHint.txt"},
      {u"/tmp/lib/", u"a.dwg", u"/tmp/lib/a.dwg"},
      {u"", u"a.dwg", u"a.dwg"},
      {u"C:\\lib", u"", u"C:\\lib|"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.joined, c.joined + std::char_traits<char16_t>::length(c.joined)));
    EXPECT_EQ(JoinPath(c.folder, c.name), Sep(c.joined));
  }
  EXPECT_EQ(WithTrailingSeparator(u"Y:\\"), u"Y:\\");
  EXPECT_EQ(WithTrailingSeparator(u"C:\\lib"), Sep(u"C:\\lib|"));
  EXPECT_EQ(WithTrailingSeparator(u""), u"");
}

TEST(PathParts, FileNameAndExtensionOfTheLastElementOnly) {
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

TEST(PathParts, TrimmingTakesBlanksAndControlCharactersFromBothEnds) {
  EXPECT_EQ(TrimBlanks(std::u16string_view(u" \t a b\r\n")), u"a b");
  EXPECT_EQ(TrimBlanks(std::string_view("\x01  8 \x1f")), "8");
  EXPECT_EQ(TrimBlanks(std::u16string_view(u"  ")), u"");
  EXPECT_EQ(TrimBlanks(std::u16string_view(u"\u3000x\u3000")), u"\u3000x\u3000") << "the ideographic space is text";
}

TEST(PathParts, FolderOfAFileKeepsTheSeparatorOfADriveRootOnly) {
  struct Case {
    const char16_t* path;
    const char16_t* folder;
  } cases[] = {
      {u"C:\\lib\\valves\\a.dwg", u"C:\\lib\\valves"},
      {u"C:\\a.dwg", u"C:\\"},
      {u"C:\\Prog\\Tesmar.exe", u"C:\\Prog"},
      {u"\\\\server\\share\\a.b.dwg", u"\\\\server\\share"},
      {u"Z:/tmp/x y/a.dwg", u"Z:/tmp/x y"},
      {u"a.dwg", u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.path));
    EXPECT_EQ(FolderOf(c.path), c.folder);
    EXPECT_EQ(JoinPath(FolderOf(c.path), FileNamePart(c.path)).size(), std::u16string_view(c.path).size())
        << "folder and name make the path again";
  }
}

}  // namespace
}  // namespace tesmar
