#include "dwg/dwg_thumbnail_win.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "base/silent_abort.h"
#include "base/strings.h"
#include "tests/support/dwg_writer.h"
#include "tests/support/testdata.h"

namespace tesmar {
namespace {

std::u16string Write(const test::TempDir& dir, const char* name, const std::string& bytes) {
  test::WriteFile(dir / name, bytes);
  return U16FromPath(dir / name);
}

TEST(DwgThumbnail, EveryStoredFormatDecodesToTheSamePixels) {
  test::TempDir dir;
  const RgbImage source = test::SamplePreview(13, 7);  // odd width: rows are padded
  struct Case {
    const char* name;
    std::uint8_t code;
    std::string data;
  } cases[] = {
      {"bmp8_full.dwg", 2, MakeDib8(source, true)},
      {"bmp8_short_table.dwg", 2, MakeDib8(source, false)},  // 4 colours: pixels at 14+40+16
      {"bmp24.dwg", 2, MakeDib24(source)},
      {"bmp32_bitfields.dwg", 2, MakeDib32Bitfields(source)},
      {"png.dwg", 6, MakePng(source)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RgbImage bitmap(2, 2, kRgbWhite);
    ASSERT_TRUE(LoadDwgThumbnail(Write(dir, c.name, test::DwgWith(c.code, c.data, "AC1021")), bitmap));
    ASSERT_EQ(bitmap.width, 13);
    ASSERT_EQ(bitmap.height, 7);
    EXPECT_EQ(bitmap.pixels, source.pixels);
  }
}

TEST(DwgThumbnail, NoImageLeavesTheBitmapAlone) {
  test::TempDir dir;
  const std::string bmp = MakeDib24(test::SamplePreview(5, 5));
  for (auto [name, bytes] : {std::pair{"r13.dwg", test::DwgWith(2, bmp, "AC1012")},
                             std::pair{"wmf.dwg", test::DwgWith(3, "WMF", "AC1015")},
                             std::pair{"letters.dwg", test::DwgWith(2, bmp, "ACxxxx")}}) {
    SCOPED_TRACE(name);
    RgbImage bitmap(3, 2, MakeRgb(1, 2, 3));
    EXPECT_FALSE(LoadDwgThumbnail(Write(dir, name, bytes), bitmap));
    EXPECT_EQ(bitmap.width, 3);
    EXPECT_EQ(bitmap.pixels, std::vector<Rgb>(6, MakeRgb(1, 2, 3)));
  }
}

TEST(DwgThumbnail, DamagedFilesAndUndecodableImagesAbortSilently) {
  test::TempDir dir;
  const std::string good = test::DwgWith(6, MakePng(test::SamplePreview(9, 9)));
  std::string badPng = MakePng(test::SamplePreview(9, 9));
  badPng[40] ^= 0x55;  // inside the compressed data: the checksum no longer matches
  struct Case {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"missing.dwg", ""},
      {"truncated.dwg", test::Truncated(good, good.size() - 300)},
      {"address.dwg", test::WithPreviewAddress(good, 1u << 30)},
      {"garbage_png.dwg", test::DwgWith(6, std::string(200, 'x'))},
      {"garbage_bmp.dwg", test::DwgWith(2, std::string("\x28\0\0\0", 4) + std::string(100, '\x7f'))},
      {"damaged_png.dwg", test::DwgWith(6, badPng)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::u16string path = U16FromPath(dir / c.name);
    if (!c.bytes.empty()) path = Write(dir, c.name, c.bytes);
    RgbImage bitmap;
    EXPECT_THROW(LoadDwgThumbnail(path, bitmap), SilentAbort);
  }
}

struct RealImage {
  const char* name;
  int width, height;  // 0 x 0: no image
};
const RealImage kRealImages[] = {
    {"acadsharp__dynamic-blocks__BLOCKPOLARPARAMETER.dwg", 0, 0},
    {"acadsharp__geolocation__geoloc.dwg", 256, 113},
    {"acadsharp__hist__color_sample_AC1032@52263941.dwg", 256, 105},
    {"acadsharp__hist__sample_AC1021@6bc05864.dwg", 0, 0},
    {"acadsharp__sample_AC1014.dwg", 184, 66},
    {"acadsharp__sample_AC1021.dwg", 256, 94},
    {"acadsharp__sample_AC1032.dwg", 256, 94},
    {"libredwg__2000__PolyLine2D.dwg", 0, 0},
    {"libredwg__2000__entities-2d.dwg", 180, 92},
    {"libredwg__2007__Leader.dwg", 592, 448},
    {"libredwg__2010__Leader.dwg", 704, 448},
    {"libredwg__2013__Constraints.dwg", 591, 448},
    {"libredwg__2018__Arc.dwg", 0, 0},
    {"libredwg__2018__Leader.dwg", 0, 0},
    {"libredwg__2018__LiveSection1.dwg", 564, 448},
    {"libredwg__example_2018.dwg", 852, 448},
    {"libredwg__example_r13.dwg", 0, 0},
    {"libredwg__r14__v.dwg", 180, 116},
    {"libredwg__sample_2000.dwg", 180, 88},
};

TEST(DwgThumbnail, RealFilesDecode) {
  TESMAR_REQUIRE_TESTDATA();
  for (const auto& f : kRealImages) {
    SCOPED_TRACE(f.name);
    RgbImage bitmap(1, 1, MakeRgb(9, 9, 9));
    bool loaded = LoadDwgThumbnail(U16FromPath(test::SharedTestdata() / "dwg" / f.name), bitmap);
    EXPECT_EQ(loaded, f.width > 0);
    EXPECT_EQ(bitmap.width, loaded ? f.width : 1);
    EXPECT_EQ(bitmap.height, loaded ? f.height : 1);
    if (!loaded) continue;
    // Something is drawn: not every pixel has the corner's colour.
    int differing = 0;
    for (Rgb c : bitmap.pixels) differing += c != bitmap.At(0, 0);
    EXPECT_GT(differing, 20);
  }
}

}  // namespace
}  // namespace tesmar
