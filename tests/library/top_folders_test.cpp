#include "library/top_folders.h"

#include <gtest/gtest.h>

namespace tesmar {
namespace {

using List = std::vector<std::u16string>;

TEST(TopFolders, RegisteredFoldersAndTheChosenOneLiveInTheProgram) {
  TopFolders t;
  t.Load({u"Z:\\lib\\b", u"Z:\\LIB\\a10", u"Z:\\lib\\a9", u"Z:\\lib\\Müller ①"});
  EXPECT_EQ(t.Folders(), (List{u"Z:\\lib\\a9", u"Z:\\LIB\\a10", u"Z:\\lib\\b", u"Z:\\lib\\Müller ①"}));
  EXPECT_EQ(t.Chosen(), u"");
  EXPECT_EQ(t.Find(u"z:\\LIB\\müller ①"), 3) << "letter case ignored";
  t.Choose(2);
  // Adding keeps the order and the chosen folder; an equal entry in other case is refused.
  EXPECT_EQ(t.Add(u"Z:\\lib\\a"), 0);
  EXPECT_EQ(t.Chosen(), u"Z:\\lib\\b");
  EXPECT_EQ(t.Add(u"Z:\\LIB\\B"), -1);
  EXPECT_EQ(t.Folders().size(), 5u);
  t.Remove(t.ChosenIndex());
  EXPECT_EQ(t.ChosenIndex(), 0);
  EXPECT_TRUE(t.ShouldWrite());
}

TEST(TopFolders, AnEmptyListIsWrittenOnlyWhenTheUserRemovedEveryFolder) {
  TopFolders never;
  never.Load({});
  EXPECT_FALSE(never.ShouldWrite());
  TopFolders t;
  t.Load({u"Y:\\", u"Z:\\lib"});
  t.Choose(1);
  t.Remove(1);
  EXPECT_EQ(t.Chosen(), u"Y:\\");
  t.Remove(0);
  EXPECT_EQ(t.ChosenIndex(), -1);
  EXPECT_EQ(t.Chosen(), u"");
  EXPECT_TRUE(t.ShouldWrite());
  t.Remove(0);  // nothing left to remove
  EXPECT_TRUE(t.Empty());
}

}  // namespace
}  // namespace tesmar
