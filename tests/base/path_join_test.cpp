#include "base/path_join.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tesmar {
namespace {

// Written with '\'; the build's own separator is put in where the join adds one.
std::u16string Sep(std::u16string s) {
  std::replace(s.begin(), s.end(), u'|', kPathSeparator);
  return s;
}

TEST(PathJoin, ADriveOrShareRootGetsNoSecondSeparator) {
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

}  // namespace
}  // namespace tesmar
