#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <stdexcept>
#include <thread>

#include "base/codepage.h"
#include "base/path_parts.h"
#include "base/strings.h"
#include "library/background_index.h"
#include "library/search_index.h"
#include "library/search_text.h"
#include "tests/support/testdata.h"

namespace tesmar {
namespace {

// What matches: names and descriptions, case, width and kana variants, wildcards, several
// words. Each case: the text typed, a drawing's name (without extension) and description.
TEST(SearchQuery, MatchesNamesAndDescriptionsWhateverTheirForm) {
  struct Case {
    const char16_t* text;
    const char16_t* name;
    const char16_t* description;
    bool matches;
  } cases[] = {
      {u"100A", u"GV-100A", u"", true},
      {u"100a", u"GV-100A", u"", true},              // letter case
      {u"ＧＶ－１００Ａ", u"GV-100A", u"", true},       // full-width Latin, digits, marks
      {u"gv-100a", u"ＧＶ－１００Ａ", u"", true},
      {u"バルブ", u"GV-100A", u"ゲートバルブ", true},  // the description
      {u"ばるぶ", u"GV-100A", u"ゲートバルブ", true},  // hiragana for katakana
      {u"ﾊﾞﾙﾌﾞ", u"GV-100A", u"ゲートバルブ", true},   // half-width with sound marks
      {u"ﾎﾟﾝﾌﾟ", u"ポンプ", u"", true},
      {u"ﾊﾙﾌ", u"GV-100A", u"ゲートバルブ", false},    // without the sound marks: other kana
      {u"gate", u"GV-100A", u"ゲートバルブ", false},
      {u"GV*A", u"GV-100A", u"", true},               // wildcards
      {u"GV-?0A", u"GV-50A", u"", true},
      {u"GV-?0A", u"GV-100A", u"", false},
      {u"V*G", u"GV-100A", u"", false},
      {u"*", u"x", u"", true},
      {u"GV バルブ", u"GV-100A", u"ゲートバルブ", true},  // every word, each in either
      {u"GV　バルブ", u"GV-100A", u"ゲートバルブ", true},  // ideographic space
      {u"GV ポンプ", u"GV-100A", u"ゲートバルブ", false},
      {u"  ", u"GV-100A", u"", false},                 // nothing typed finds nothing
      {u"", u"GV-100A", u"", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.text) + " in " + Utf16ToUtf8(c.name) + " / " + Utf16ToUtf8(c.description));
    EXPECT_EQ(SearchQuery(c.text).Matches(FoldForSearch(c.name), FoldForSearch(c.description)), c.matches);
  }
}

TEST(SearchQuery, PatternsMatchAnywhereInTheText) {
  struct Case {
    const char16_t* text;
    const char16_t* pattern;
    bool matches;
  } cases[] = {
      {u"abcabd", u"abd", true}, {u"abcabd", u"a?d", true},  {u"abcabd", u"c*d", true},
      {u"abc", u"abcd", false},  {u"abc", u"a**c", true},    {u"abc", u"???", true},
      {u"abc", u"????", false},  {u"", u"*", true},          {u"aaab", u"a*ab", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.pattern));
    EXPECT_EQ(ContainsPattern(c.text, c.pattern), c.matches);
  }
}

std::u16string Sep(std::u16string s) {
  for (auto& c : s)
    if (c == u'\\') c = kPathSeparator;
  return s;
}

// A small library: drawings at the top, in a deep folder with a hint file, and in folders whose
// order by character code differs from Explorer's.
struct Library {
  test::TempDir dir;
  Library() {
    test::WriteFile(dir / "GV-100A.dwg", "x");
    test::WriteFile(dir / "valves" / "GV-50A.dwg", "x");
    test::WriteFile(dir / "valves" / "GV-100A.dwg", "x");
    test::WriteFile(dir / "valves" / "TesmarHint.txt", "GV-50A,\x83\x51\x81\x5b\x83\x67\x83\x6f\x83\x8b\x83\x75\r\n");  // ゲートバルブ in code page 932
    test::WriteFile(dir / "a" / "b" / "c" / "d" / u8"ポンプ 1.dwg", "x");
    test::WriteFile(dir / "a" / "notes.txt", "x");
    test::WriteFile(dir / "V10" / "gv-7.DWG", "x");
    test::WriteFile(dir / "V10" / "TesmarHint.txt", "gv-7,\xE4\xBB\x95\xE5\x88\x87\xE5\xBC\x81\r\n");  // 仕切弁 in UTF-8 without a mark
  }
  std::u16string Top() const { return U16FromPath(dir.path()); }
};

std::vector<std::u16string> Paths(const std::vector<FoundDrawing>& found) {
  std::vector<std::u16string> out;
  for (const auto& f : found) out.push_back(f.RelativePath());
  return out;
}

TEST(SearchIndex, FindsAcrossTheLibraryInTheOrderOfTheCells) {
  Library lib;
  SearchIndex index;
  IndexWalk walk = index.Refresh(lib.Top(), u".dwg", nullptr);
  EXPECT_FALSE(walk.cancelled);
  EXPECT_EQ(walk.folders, 7);  // the top, valves, a, a\b, a\b\c, a\b\c\d, V10
  EXPECT_EQ(walk.drawings, 5);
  // The top folder first, then the folders in Explorer's order (V10 before valves).
  EXPECT_EQ(Paths(index.Find(u"gv")),
            (std::vector<std::u16string>{u"GV-100A.dwg", Sep(u"V10\\gv-7.DWG"), Sep(u"valves\\GV-50A.dwg"),
                                         Sep(u"valves\\GV-100A.dwg")}));
  EXPECT_EQ(Paths(index.Find(u"ばるぶ")), std::vector<std::u16string>{Sep(u"valves\\GV-50A.dwg")});
  EXPECT_EQ(Paths(index.Find(u"ﾎﾟﾝﾌﾟ")), std::vector<std::u16string>{Sep(u"a\\b\\c\\d\\ポンプ 1.dwg")});
  EXPECT_EQ(Paths(index.Find(u"仕切弁")), std::vector<std::u16string>{Sep(u"V10\\gv-7.DWG")});
  EXPECT_TRUE(index.Find(u"notes").empty());
  EXPECT_TRUE(index.Find(u"dwg").empty());  // the extension is not part of the name searched
  EXPECT_EQ(index.DescriptionOf(FoundDrawing{u"valves", u"GV-50A.dwg"}), u"ゲートバルブ");
  EXPECT_EQ(index.DescriptionOf(FoundDrawing{u"valves", u"GV-100A.dwg"}), u"");
}

TEST(SearchIndex, ASecondWalkReadsOnlyTheFoldersThatChanged) {
  Library lib;
  SearchIndex index;
  ASSERT_EQ(index.Refresh(lib.Top(), u".dwg", nullptr).foldersRead, 7);
  IndexWalk again = index.Refresh(lib.Top(), u".dwg", nullptr);
  EXPECT_EQ(again.folders, 7);
  EXPECT_EQ(again.foldersRead, 0);
  EXPECT_EQ(index.Find(u"gv").size(), 4u);

  // A new drawing changes its folder's write time; a rewritten hint file its own; both within
  // the second of the first walk.
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  test::WriteFile(lib.dir / "V10" / "GV-8.dwg", "x");
  test::WriteFile(lib.dir / "valves" / "TesmarHint.txt", "GV-100A,gate\r\n");
  std::filesystem::remove_all(lib.dir / "a" / "b" / "c");
  again = index.Refresh(lib.Top(), u".dwg", nullptr);
  EXPECT_EQ(again.folders, 5);
  EXPECT_EQ(again.foldersRead, 3);  // V10, valves, a\b
  EXPECT_EQ(Paths(index.Find(u"gate")), std::vector<std::u16string>{Sep(u"valves\\GV-100A.dwg")});
  EXPECT_TRUE(index.Find(u"バルブ").empty());
  EXPECT_EQ(index.Find(u"GV-8").size(), 1u);
  EXPECT_TRUE(index.Find(u"ポンプ").empty());

  // Another top folder starts afresh.
  test::TempDir other;
  test::WriteFile(other / "GV-1.dwg", "x");
  again = index.Refresh(U16FromPath(other.path()), u".dwg", nullptr);
  EXPECT_EQ(again.foldersRead, 1);
  EXPECT_EQ(Paths(index.Find(u"gv")), std::vector<std::u16string>{u"GV-1.dwg"});
}

TEST(SearchIndex, ACancelledWalkKeepsWhatItReadAndReportsProgress) {
  Library lib;
  SearchIndex index;
  std::vector<std::pair<int, int>> steps;
  IndexWalk walk = index.Refresh(lib.Top(), u".dwg", [&](int done, int known) {
    steps.emplace_back(done, known);
    return done < 2;
  });
  EXPECT_TRUE(walk.cancelled);
  EXPECT_EQ(walk.folders, 2);
  ASSERT_EQ(steps.size(), 2u);
  EXPECT_EQ(steps[0], std::make_pair(1, 4));  // the top folder and its three sub-folders
  // The next walk finishes, reading only the folders the first did not reach.
  walk = index.Refresh(lib.Top(), u".dwg", nullptr);
  EXPECT_FALSE(walk.cancelled);
  EXPECT_EQ(walk.foldersRead, 5);
  EXPECT_EQ(index.Find(u"gv").size(), 4u);
}

// The walk of a background index fills the same index that a search then brings up to date.
TEST(BackgroundIndex, AWalkThatEndedLeavesEveryFolderRead) {
  Library lib;
  BackgroundIndex bg;
  bool prepared = false;
  bg.Start(lib.Top(), u".dwg", [&] { prepared = true; });
  while (!bg.Finished()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  bg.Join();
  EXPECT_TRUE(prepared);
  EXPECT_FALSE(bg.HasWalk());
  EXPECT_EQ(bg.Done(), 7);
  EXPECT_EQ(bg.Known(), 7);
  IndexWalk walk = bg.Index().Refresh(lib.Top(), u".dwg", nullptr);
  EXPECT_EQ(walk.foldersRead, 0);
  EXPECT_EQ(bg.Index().Find(u"gv").size(), 4u);
}

TEST(BackgroundIndex, AStoppedWalkKeepsWhatItReadAndAnotherTopStartsAfresh) {
  Library lib;
  BackgroundIndex bg;
  std::promise<void> go;
  bg.Start(lib.Top(), u".dwg", [f = go.get_future().share()] { f.wait(); });
  bg.RequestStop();
  go.set_value();
  bg.Join();
  EXPECT_TRUE(bg.Finished());
  EXPECT_EQ(bg.Done(), 1);  // stopped after the top folder
  IndexWalk walk = bg.Index().Refresh(lib.Top(), u".dwg", nullptr);
  EXPECT_EQ(walk.foldersRead, 6);
  EXPECT_EQ(bg.Index().Find(u"gv").size(), 4u);

  // A start for another top folder stops nothing that runs and leaves that folder's index.
  test::TempDir other;
  test::WriteFile(other / "GV-1.dwg", "x");
  bg.Start(U16FromPath(other.path()), u".dwg");
  bg.Stop();
  walk = bg.Index().Refresh(U16FromPath(other.path()), u".dwg", nullptr);
  EXPECT_EQ(bg.Top(), U16FromPath(other.path()));
  EXPECT_EQ(Paths(bg.Index().Find(u"gv")), std::vector<std::u16string>{u"GV-1.dwg"});
}

// Whatever the walk's thread throws ends that walk, not the program: it ends with the reason and
// an empty index, and the next walk starts afresh.
TEST(BackgroundIndex, AWalkThatThrowsEndsWithItsReasonAndTheProgramGoesOn) {
  Library lib;
  BackgroundIndex bg;
  bg.Start(lib.Top(), u".dwg", [] { throw std::runtime_error("the share went away"); });
  for (int i = 0; i < 10000 && !bg.Finished(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ASSERT_TRUE(bg.Finished());
  bg.Join();
  EXPECT_EQ(bg.Error(), "the share went away");
  EXPECT_TRUE(bg.Index().Find(u"gv").empty());
  bg.Start(lib.Top(), u".dwg");
  for (int i = 0; i < 10000 && !bg.Finished(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  bg.Join();
  EXPECT_EQ(bg.Error(), "");
  EXPECT_EQ(bg.Index().Find(u"gv").size(), 4u);
}

// Switching the top folder does not wait for the walk under way (here one stuck before its first
// folder, as on a slow share): the new walk runs at once with an index of its own, and the old
// one ends on its own later, touching nothing of the new one.
TEST(BackgroundIndex, AnotherTopFolderDoesNotWaitForTheWalkUnderWay) {
  Library lib;
  test::TempDir other;
  test::WriteFile(other / "GV-9.dwg", "x");
  BackgroundIndex bg;
  std::promise<void> go;
  bg.Start(lib.Top(), u".dwg", [f = go.get_future().share()] { f.wait(); });
  auto switched = std::async(std::launch::async, [&] { bg.Start(U16FromPath(other.path()), u".dwg"); });
  const bool waited = switched.wait_for(std::chrono::seconds(20)) != std::future_status::ready;
  go.set_value();  // let the old walk go on in any case, so that nothing hangs
  switched.wait();
  ASSERT_FALSE(waited) << "the switch waited for the old walk";
  EXPECT_EQ(bg.LeftBehind(), 1u);
  for (int i = 0; i < 10000 && !bg.Finished(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  bg.Join();
  EXPECT_EQ(bg.Top(), U16FromPath(other.path()));
  EXPECT_EQ(Paths(bg.Index().Find(u"gv")), std::vector<std::u16string>{u"GV-9.dwg"});
  // Stop leaves a running walk behind too, and hands out a fresh index at once.
  std::promise<void> go2;
  bg.Start(lib.Top(), u".dwg", [f = go2.get_future().share()] { f.wait(); });
  bg.Stop();
  EXPECT_FALSE(bg.HasWalk());
  EXPECT_TRUE(bg.Index().Find(u"gv").empty());
  go2.set_value();
}

TEST(SearchIndex, MissingTopFolderFindsNothing) {
  test::TempDir dir;
  SearchIndex index;
  IndexWalk walk = index.Refresh(U16FromPath(dir / "gone"), u".dwg", nullptr);
  EXPECT_EQ(walk.folders, 0);
  EXPECT_TRUE(index.Find(u"*").empty());
}

}  // namespace
}  // namespace tesmar
