#include "library/catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/codepage.h"
#include "base/strings.h"
#include "library/ellipsize.h"
#include "library/name_order.h"
#include "tests/support/testdata.h"

namespace tesmar {
namespace {

std::vector<std::u16string> Sorted(std::vector<std::u16string> v) {
  std::sort(v.begin(), v.end(), [](const auto& a, const auto& b) { return CompareIgnoreCase16(a, b) < 0; });
  return v;
}

std::u16string Sep(std::u16string s) {
  std::replace(s.begin(), s.end(), u'\\', kPathSeparator);
  return s;
}

TEST(Catalogue, DrawingFoldersAreThoseThatHoldDrawingsThemselves) {
  test::TempDir dir;
  test::WriteFile(dir / "top.dwg", "x");
  test::WriteFile(dir / "notes.txt", "x");
  test::WriteFile(dir / "A" / "b.DWG", "x");
  test::WriteFile(dir / "A" / "B" / "c.dwg", "x");
  test::WriteFile(dir / "D" / "E" / "f.dwg", "x");  // D holds only a folder
  test::WriteFile(dir / "H" / "x.dwgx", "x");
  std::filesystem::create_directories(dir / "G");

  std::vector<std::u16string> texts;
  CatalogueWalk walk = WalkCatalogue(U16FromPath(dir.path()), u".dwg",
                                     [&](const std::u16string& t) { texts.push_back(t); });
  EXPECT_EQ(walk.topDrawings, std::vector<std::u16string>{u"top.dwg"});
  EXPECT_EQ(Sorted(walk.drawingFolders), (std::vector<std::u16string>{u".", u"A", Sep(u"A\\B"), Sep(u"D\\E")}));
  // Progress: the top folder's one drawing, then six folders.
  ASSERT_EQ(texts.size(), 1u + 1u + 6u);
  EXPECT_EQ(texts[0], u"1 / 1");
  EXPECT_EQ(texts[1], u"フォルダ検索中 ...");
  EXPECT_EQ(texts[2], u"1 / 6");
  EXPECT_EQ(texts[7], u"6 / 6");
}

TEST(Catalogue, TopFolderWithoutDrawingsOrMissing) {
  test::TempDir dir;
  test::WriteFile(dir / "A" / "readme.txt", "x");
  CatalogueWalk walk = WalkCatalogue(U16FromPath(dir.path()), u".dwg", nullptr);
  EXPECT_TRUE(walk.topDrawings.empty());
  EXPECT_TRUE(walk.drawingFolders.empty());
  walk = WalkCatalogue(U16FromPath(dir / "gone"), u".dwg", nullptr);
  EXPECT_TRUE(walk.drawingFolders.empty());
  EXPECT_FALSE(FolderExists(U16FromPath(dir / "gone")));
  EXPECT_TRUE(FolderExists(U16FromPath(dir / "A")));
}

TEST(Catalogue, PathsFromTheThreeLists) {
  EXPECT_EQ(DrawingFolderOf(Sep(u"C:\\lib"), u"."), Sep(u"C:\\lib\\"));
  EXPECT_EQ(DrawingFolderOf(Sep(u"C:\\lib"), Sep(u"parts\\valves")), Sep(u"C:\\lib\\parts\\valves\\"));
  EXPECT_EQ(DrawingPathOf(Sep(u"C:\\lib"), u".", u"a.dwg"), Sep(u"C:\\lib\\a.dwg"));
  EXPECT_EQ(DrawingPathOf(Sep(u"C:\\lib"), u"p", u"a.dwg"), Sep(u"C:\\lib\\p\\a.dwg"));
  // A drive root as top folder keeps its one separator in every path built from it.
  EXPECT_EQ(DrawingFolderOf(u"Y:\\", u"."), u"Y:\\");
  EXPECT_EQ(DrawingFolderOf(u"Y:\\", u"sub"), u"Y:\\sub" + std::u16string(1, kPathSeparator));
  EXPECT_EQ(DrawingPathOf(u"Y:\\", u".", u"GATE-VALVE.dwg"), u"Y:\\GATE-VALVE.dwg");
  EXPECT_EQ(DrawingFolderOf(u"", u"."), u"") << "no top folder is not the current drive's root";
  // The commands send these paths as they stand: one separator between the parts, whatever
  // the characters of the names.
  struct Case {
    std::u16string top, folder, file, path;
  };
  const Case cases[] = {
      {u"D:\\lib", u"sub\\deep", u"a.dwg", u"D:\\lib\\sub\\deep\\a.dwg"},
      {u"D:\\lib", u"", u"a.dwg", u"D:\\lib\\a.dwg"},
      {u"C:\\", u"sub", u"a.dwg", u"C:\\sub\\a.dwg"},
      {u"D:\\部品 集", u"バルブ, 弁", u"50A 1.dwg", u"D:\\部品 集\\バルブ, 弁\\50A 1.dwg"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.path));
    EXPECT_EQ(DrawingPathOf(Sep(c.top), Sep(c.folder), c.file), Sep(c.path));
  }
  // The caption of a folder: its path with the top folder taken out.
  EXPECT_EQ(RemoveFirst(DrawingFolderOf(Sep(u"C:\\lib"), u"."), Sep(u"C:\\lib")), Sep(u"\\"));
  EXPECT_EQ(RemoveFirst(u"abcabc", u"bc"), u"aabc");
  EXPECT_EQ(RemoveFirst(u"abc", u"x"), u"abc");
}

// Explorer's order: numbers by value, marks before digits before letters, accents and letter
// case folded, hiragana with katakana.
TEST(Catalogue, NamesInExplorerOrder) {
  const std::pair<const char16_t*, const char16_t*> before[] = {
      {u"A_1.dwg", u"a2.dwg"},        {u"GV-50A.dwg", u"GV-100A.dwg"}, {u"file2", u"file10"},
      {u"x9y", u"x10y"},              {u"~tilde.dwg", u"a2.dwg"},      {u"[brk].dwg", u"a2.dwg"},
      {u"Ärger.dwg", u"Z.DWG"},       {u"a2.dwg", u"Ärger.dwg"},       {u"Z.DWG", u"アーム.dwg"},
      {u"アーム.dwg", u"いす.dwg"},   {u"ab", u"abc"},
  };
  for (const auto& [a, b] : before) {
    SCOPED_TRACE(Utf16ToUtf8(a) + " < " + Utf16ToUtf8(b));
    EXPECT_TRUE(NameOrderLess(a, b));
    EXPECT_FALSE(NameOrderLess(b, a));
    EXPECT_LT(LogicalCompare(a, b), 0);
    EXPECT_GT(LogicalCompare(b, a), 0);
  }
  // A number with leading zeros counts by its value (the systems differ on where the zeros
  // go; Wine counts them).
  EXPECT_LT(LogicalCompare(u"part 7", u"part 07a"), 0);
  // Names Explorer calls equal still get one order, the same whichever comes first.
  std::vector<std::u16string> names = {u"ab.dwg", u"AB.dwg", u"a01.dwg", u"a1.dwg"};
  std::vector<std::u16string> reversed(names.rbegin(), names.rend());
  SortByNameOrder(names);
  SortByNameOrder(reversed);
  EXPECT_EQ(names, reversed);
  EXPECT_EQ(names, (std::vector<std::u16string>{u"a01.dwg", u"a1.dwg", u"AB.dwg", u"ab.dwg"}));
}

// The drawing folders come in the same order as the drawings, the top folder first.
TEST(Catalogue, DrawingFoldersInExplorerOrder) {
  test::TempDir dir;
  for (const char* f : {"top.dwg", "GV-100A/a.dwg", "GV-50A/a.dwg", "a2/a.dwg", "A_1/a.dwg"}) test::WriteFile(dir / f, "x");
  CatalogueWalk walk = WalkCatalogue(U16FromPath(dir.path()), u".dwg", nullptr);
  EXPECT_EQ(walk.drawingFolders, (std::vector<std::u16string>{u".", u"A_1", u"a2", u"GV-50A", u"GV-100A"}));
}

TEST(Catalogue, ADroppedListStaysWithinTheWorkArea) {
  struct Case {
    DroppedSpan list;
    int areaLeft, areaRight;
    DroppedSpan placed;
  } cases[] = {
      {{-247, 952}, 0, 1024, {0, 952}},       // a long name pushed it off the left edge
      {{-900, 2500}, 0, 1920, {0, 1920}},     // wider than the work area: its width
      {{100, 300}, 0, 1920, {100, 300}},      // fits: unchanged
      {{1800, 300}, 0, 1920, {1620, 300}},    // past the right edge: moved left
      {{1500, 300}, 1920, 3840, {1920, 300}}, // a second monitor to the right
      {{-2000, 400}, -1280, 0, {-1280, 400}}, // and one to the left
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.list.left);
    EXPECT_EQ(KeepWithinWorkArea(c.list, c.areaLeft, c.areaRight), c.placed);
  }
}

TEST(Ellipsize, KeepsTheEndOfTheText) {
  auto tenPerChar = [](std::u16string_view s) { return int(s.size()) * 10; };
  struct Case {
    const char16_t* text;
    int width;
    const char16_t* expected;
  } cases[] = {
      {u"\\parts\\valves\\", 140, u"\\parts\\valves\\"},
      {u"\\parts\\valves\\", 139, u"...ts\\valves\\"},
      {u"\\parts\\valves\\", 40, u"...\\"},
      {u"\\parts\\valves\\", 30, u"..."},
      {u"\\parts\\valves\\", 29, u"..."},  // even "..." does not fit: it ends all the same
      {u"\\parts\\valves\\", 0, u"..."},
      {u"", 0, u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.width);
    EXPECT_EQ(EllipsizeLeft(c.text, tenPerChar, c.width), c.expected);
  }
  // A character outside the basic plane goes as a whole.
  EXPECT_EQ(EllipsizeLeft(u"abc\U0002000Bdef", tenPerChar, 75), u"...def");
}

TEST(Ellipsize, ANameUnderAPreviewKeepsItsBeginningAndItsEnd) {
  auto tenPerChar = [](std::u16string_view s) { return int(s.size()) * 10; };
  struct Case {
    const char16_t* text;
    int width;
    const char16_t* expected;
  } cases[] = {
      {u"valve-DN50-B", 120, u"valve-DN50-B"},
      {u"valve-DN50-B", 119, u"valve…N50-B"},  // 11 characters: 10 of the name and the mark
      {u"valve-DN50-B", 60, u"val…-B"},
      {u"valve-DN50-B", 20, u"v…"},
      {u"valve-DN50-B", 10, u"…"},
      {u"valve-DN50-B", 0, u"…"},  // even the mark does not fit: it ends all the same
      {u"", 0, u""},
      {u"配管継手-エルボ90", 70, u"配管継…ボ90"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.width);
    EXPECT_EQ(EllipsizeMiddle(c.text, tenPerChar, c.width), c.expected);
  }
  // A character outside the basic plane is kept or dropped whole (it counts 20 here).
  EXPECT_EQ(EllipsizeMiddle(u"ab\U0002000Bcdef\U0002000Bg", tenPerChar, 60), u"ab…\U0002000Bg");
  EXPECT_EQ(EllipsizeMiddle(u"a\U0002000Bcdefgh", tenPerChar, 50), u"a\U0002000B…h");
}

}  // namespace
}  // namespace tesmar
