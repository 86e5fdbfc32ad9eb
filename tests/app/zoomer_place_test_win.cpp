// The viewer's place in the settings file, beside the main window's keys.
#include "app/zoomer_place_win.h"

#include <gtest/gtest.h>

#include "app/settings_file_win.h"
#include "tests/support/testdata.h"

namespace tesmar {
namespace {

TEST(ZoomerPlaceFile, KeptBesideTheMainWindowsKeysAndReadBack) {
  test::TempDir dir;
  const std::u16string ini = U16FromPath(dir / "Tesmar.ini");
  EXPECT_EQ(ReadZoomerPlace(ini), TZoomerPlace{}) << "no file: nothing kept";
  WriteZoomerPlace(ini, TZoomerPlace{});
  EXPECT_FALSE(std::filesystem::exists(dir / "Tesmar.ini")) << "a viewer never shown writes nothing";

  const TZoomerPlace place{-8, 40, 700, 520, 140};
  WriteZoomerPlace(ini, place);
  // The main window writes its own settings afterwards, through a copy of the file.
  Settings s;
  s.Width = 300, s.Height = 600;
  WriteSettingsFile(ini, s);
  EXPECT_EQ(ReadZoomerPlace(ini), place);
  SettingsContext ctx;
  EXPECT_EQ(ReadSettingsFile(ini, ctx).Width, 300);
}

}  // namespace
}  // namespace tesmar
