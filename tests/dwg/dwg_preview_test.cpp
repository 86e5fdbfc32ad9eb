#include "dwg/dwg_preview.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "base/silent_abort.h"
#include "tests/support/dwg_writer.h"
#include "tests/support/testdata.h"

namespace tesmar {
namespace {

using test::DwgWith;

std::uint32_t Le32At(const std::string& s, std::size_t at) {
  auto b = [&](std::size_t i) { return std::uint32_t(static_cast<unsigned char>(s[at + i])); };
  return b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24;
}

TEST(DwgPreview, VersionDigitsDecideWhetherThePreviewIsRead) {
  const std::string bmp = MakeDib24(test::SamplePreview(8, 6));
  struct Case {
    std::string version;
    int number;
    DwgPreviewFormat format;
  } cases[] = {
      {"AC1012", 1012, DwgPreviewFormat::None},  // release 13
      {"AC1009", 1009, DwgPreviewFormat::None},
      {"ACabcd", 0, DwgPreviewFormat::None},     // letters: not a number
      {"AC10 5", 0, DwgPreviewFormat::None},
      {std::string("AC10\0\0", 6), 10, DwgPreviewFormat::None},  // stops at the zero
      {"AC1013", 1013, DwgPreviewFormat::Bmp},
      {"AC1014", 1014, DwgPreviewFormat::Bmp},
      {"AC1032", 1032, DwgPreviewFormat::Bmp},
      {"AC9999", 9999, DwgPreviewFormat::Bmp},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.version);
    auto r = ReadDwgPreviewMemory(DwgWith(2, bmp, c.version));
    EXPECT_EQ(r.version, c.number);
    EXPECT_EQ(r.format, c.format);
    if (c.format == DwgPreviewFormat::None) {
      EXPECT_EQ(r.code, 0) << "the preview section must not be reached";
      EXPECT_TRUE(r.image.empty());
    }
  }
}

TEST(DwgPreview, BmpEntryGetsAFileHeaderInFrontOfTheStoredBitmap) {
  const std::string dib = MakeDib8(test::SamplePreview(10, 7));
  auto r = ReadDwgPreviewMemory(DwgWith(2, dib, "AC1018"));
  ASSERT_EQ(r.format, DwgPreviewFormat::Bmp);
  EXPECT_EQ(r.code, 2);
  ASSERT_EQ(r.image.size(), dib.size() + 14);
  EXPECT_EQ(r.image.substr(0, 2), "BM");
  EXPECT_EQ(Le32At(r.image, 2), dib.size() + 14);
  EXPECT_EQ(Le32At(r.image, 6), 0u);  // both reserved words
  EXPECT_EQ(Le32At(r.image, 10), 1078u);
  EXPECT_EQ(r.image.substr(14), dib);
  auto d = PreviewDimensions(r);
  EXPECT_EQ(d.width, 10);
  EXPECT_EQ(d.height, 7);
  EXPECT_EQ(d.bitCount, 8);
}

TEST(DwgPreview, PngEntryIsTheStoredFileAsItIs) {
  const std::string png = MakePng(test::SamplePreview(9, 4));
  auto r = ReadDwgPreviewMemory(DwgWith(6, png, "AC1027"));
  EXPECT_EQ(r.format, DwgPreviewFormat::Png);
  EXPECT_EQ(r.code, 6);
  EXPECT_EQ(r.image, png);
  EXPECT_EQ(PreviewDimensions(r).width, 9);
  EXPECT_EQ(PreviewDimensions(r).height, 4);
}

TEST(DwgPreview, OnlyTheSecondDirectoryEntryCounts) {
  const std::string bmp = MakeDib24(test::SamplePreview(4, 4));
  for (std::uint8_t code : {0, 1, 3, 5, 7, 168}) {
    SCOPED_TRACE(int(code));
    DwgFileLayout layout;
    layout.entries = {{1, std::string(80, '\0')}, {code, "wmf data"}, {2, bmp}};
    auto r = ReadDwgPreviewMemory(MakeDwgFile(layout));
    EXPECT_EQ(r.code, code);
    EXPECT_EQ(r.format, DwgPreviewFormat::None);
  }
  DwgFileLayout imageFirst;
  imageFirst.entries = {{2, bmp}, {1, std::string(80, '\0')}};
  EXPECT_EQ(ReadDwgPreviewMemory(MakeDwgFile(imageFirst)).format, DwgPreviewFormat::None);
}

TEST(DwgPreview, DamagedFilesEndInTheSilentAbort) {
  const std::string dib = MakeDib8(test::SamplePreview(12, 8));
  const std::string good = DwgWith(2, dib);
  const std::uint32_t start = test::SecondEntryStart(good);
  std::string hugeSize = good;
  // The size of the image entry says 4 GB: nothing that large may be allocated or read.
  const std::size_t sizeAt = 0x80 + 35;
  for (int i = 0; i < 4; ++i) hugeSize[sizeAt + i] = char(0xF0);
  std::string badHeader = good;
  badHeader[start] = 41;  // an information header of no known size
  std::string shortBmp = DwgWith(2, dib.substr(0, 30));
  std::string offsetPastData = DwgWith(2, dib.substr(0, 40 + 100));  // table cut short

  struct Case {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"empty file", ""},
      {"shorter than the version", "AC10"},
      {"ends before the address", good.substr(0, 15)},
      {"address past the end", test::WithPreviewAddress(good, 0x100000)},
      {"address just short of the entry", test::WithPreviewAddress(good, std::uint32_t(good.size() - 32))},
      {"image data cut off", test::Truncated(good, start + 500)},
      {"bitmap header cut off", test::Truncated(good, start + 20)},
      {"size larger than the file", hugeSize},
      {"unknown header size", badHeader},
      {"bitmap smaller than its header", shortBmp},
      {"colour table longer than the data", offsetPastData},
      {"png cut off", test::Truncated(DwgWith(6, MakePng(test::SamplePreview(5, 5))), 200)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_THROW(ReadDwgPreviewMemory(c.bytes), SilentAbort);
  }
}

TEST(DwgPreview, MissingFileEndsInTheSilentAbort) {
  test::TempDir dir;
  EXPECT_THROW(ReadDwgPreviewFile(dir / "absent.dwg"), SilentAbort);
  test::WriteFile(dir / "r13.dwg", DwgWith(2, "", "AC1012"));
  EXPECT_EQ(ReadDwgPreviewFile(dir / "r13.dwg").format, DwgPreviewFormat::None);
}

std::string InfoHeader(std::uint32_t size, unsigned bits, std::uint32_t compression, std::uint32_t used) {
  std::string h(std::max<std::uint32_t>(size, 40), '\0');
  auto put = [&](std::size_t at, std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) h[at + i] = char((v >> (8 * i)) & 0xFF);
  };
  put(0, size, 4);
  if (size == 12) {
    put(10, bits, 2);
  } else {
    put(14, bits, 2);
    put(16, compression, 4);
    put(32, used, 4);
  }
  h.resize(size);
  return h;
}

TEST(DwgPreview, PixelOffsetFollowsTheInformationHeader) {
  struct Case {
    const char* what;
    std::string header;
    std::uint32_t offset;
  } cases[] = {
      {"8 bits, full table", InfoHeader(40, 8, 0, 0), 14 + 40 + 1024},
      {"8 bits, 256 used", InfoHeader(40, 8, 0, 256), 14 + 40 + 1024},
      {"8 bits, 16 used", InfoHeader(40, 8, 0, 16), 14 + 40 + 64},
      {"8 bits, more used than possible", InfoHeader(40, 8, 0, 999), 14 + 40 + 1024},
      {"4 bits", InfoHeader(40, 4, 0, 0), 14 + 40 + 64},
      {"1 bit", InfoHeader(40, 1, 0, 0), 14 + 40 + 8},
      {"24 bits", InfoHeader(40, 24, 0, 0), 14 + 40},
      {"24 bits with an optional table", InfoHeader(40, 24, 0, 2), 14 + 40 + 8},
      {"32 bits, bit fields", InfoHeader(40, 32, 3, 0), 14 + 40 + 12},
      {"32 bits, alpha bit fields", InfoHeader(40, 32, 6, 0), 14 + 40 + 16},
      {"16 bits, masks inside a v4 header", InfoHeader(108, 16, 3, 0), 14 + 108},
      {"v5 header, 8 bits", InfoHeader(124, 8, 0, 0), 14 + 124 + 1024},
      {"core header, 8 bits", InfoHeader(12, 8, 0, 0), 14 + 12 + 768},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string dib = c.header + std::string(2048, '\0');
    EXPECT_EQ(BmpPixelDataOffset(dib), c.offset);
  }
  EXPECT_THROW(BmpPixelDataOffset(InfoHeader(40, 8, 0, 0) + std::string(100, '\0')), SilentAbort);
  EXPECT_THROW(BmpPixelDataOffset(InfoHeader(16, 8, 0, 0) + std::string(2048, '\0')), SilentAbort);
}

TEST(DwgPreview, PreviewAddressArithmeticWrapsAt32Bits) {
  // An address near 4 GB wraps round to the start of the file instead of failing; what
  // stands there is read as the directory.
  std::string f = DwgWith(2, MakeDib24(test::SamplePreview(3, 3)));
  f = test::WithPreviewAddress(f, 0xFFFFFFFFu - 19);  // P + 20 = 0, P + 30 = 10
  f[10] = 3;                                           // code: WMF
  auto r = ReadDwgPreviewMemory(f);
  EXPECT_EQ(r.code, 3);
  EXPECT_EQ(r.format, DwgPreviewFormat::None);
}

// What the real files of the shared test data hold (their README lists the same).
struct RealFile {
  const char* name;
  int version;
  int code;
  DwgPreviewFormat format;
  int width, height;
};
const RealFile kRealFiles[] = {
    {"acadsharp__dynamic-blocks__BLOCKPOLARPARAMETER.dwg", 1032, 0, DwgPreviewFormat::None, 0, 0},
    {"acadsharp__geolocation__geoloc.dwg", 1032, 6, DwgPreviewFormat::Png, 256, 113},
    {"acadsharp__hist__color_sample_AC1032@52263941.dwg", 1032, 6, DwgPreviewFormat::Png, 256, 105},
    {"acadsharp__hist__sample_AC1021@6bc05864.dwg", 1021, 0, DwgPreviewFormat::None, 0, 0},
    {"acadsharp__sample_AC1014.dwg", 1014, 2, DwgPreviewFormat::Bmp, 184, 66},
    {"acadsharp__sample_AC1015.dwg", 1015, 2, DwgPreviewFormat::Bmp, 184, 66},
    {"acadsharp__sample_AC1018.dwg", 1018, 2, DwgPreviewFormat::Bmp, 184, 66},
    {"acadsharp__sample_AC1021.dwg", 1021, 2, DwgPreviewFormat::Bmp, 256, 94},
    {"acadsharp__sample_AC1024.dwg", 1024, 2, DwgPreviewFormat::Bmp, 256, 94},
    {"acadsharp__sample_AC1027.dwg", 1027, 6, DwgPreviewFormat::Png, 256, 94},
    {"acadsharp__sample_AC1032.dwg", 1032, 6, DwgPreviewFormat::Png, 256, 94},
    {"libredwg__2000__Leader.dwg", 1015, 2, DwgPreviewFormat::Bmp, 184, 140},
    {"libredwg__2000__PolyLine2D.dwg", 1015, 168, DwgPreviewFormat::None, 0, 0},
    {"libredwg__2000__PolyLine3D.dwg", 1015, 2, DwgPreviewFormat::Bmp, 256, 109},
    {"libredwg__2000__entities-2d.dwg", 1015, 2, DwgPreviewFormat::Bmp, 180, 92},
    {"libredwg__2004__Arc.dwg", 1018, 2, DwgPreviewFormat::Bmp, 256, 102},
    {"libredwg__2004__Leader.dwg", 1018, 2, DwgPreviewFormat::Bmp, 184, 140},
    {"libredwg__2007__Arc.dwg", 1021, 2, DwgPreviewFormat::Bmp, 256, 102},
    {"libredwg__2007__Leader.dwg", 1021, 2, DwgPreviewFormat::Bmp, 592, 448},
    {"libredwg__2010__Leader.dwg", 1024, 2, DwgPreviewFormat::Bmp, 704, 448},
    {"libredwg__2010__gh209_1.dwg", 1024, 2, DwgPreviewFormat::Bmp, 224, 140},
    {"libredwg__2013__Arc.dwg", 1027, 6, DwgPreviewFormat::Png, 256, 102},
    {"libredwg__2013__Constraints.dwg", 1027, 6, DwgPreviewFormat::Png, 591, 448},
    {"libredwg__2013__Leader.dwg", 1027, 6, DwgPreviewFormat::Png, 591, 448},
    {"libredwg__2018__Arc.dwg", 1032, 0, DwgPreviewFormat::None, 0, 0},
    {"libredwg__2018__Leader.dwg", 1032, 168, DwgPreviewFormat::None, 0, 0},
    {"libredwg__2018__LiveSection1.dwg", 1032, 6, DwgPreviewFormat::Png, 564, 448},
    {"libredwg__example_2004.dwg", 1018, 2, DwgPreviewFormat::Bmp, 216, 140},
    {"libredwg__example_2007.dwg", 1021, 2, DwgPreviewFormat::Bmp, 672, 448},
    {"libredwg__example_2010.dwg", 1024, 2, DwgPreviewFormat::Bmp, 672, 448},
    {"libredwg__example_2013.dwg", 1027, 6, DwgPreviewFormat::Png, 670, 448},
    {"libredwg__example_2018.dwg", 1032, 6, DwgPreviewFormat::Png, 852, 448},
    {"libredwg__example_r13.dwg", 1012, 0, DwgPreviewFormat::None, 0, 0},
    {"libredwg__example_r14.dwg", 1014, 2, DwgPreviewFormat::Bmp, 216, 140},
    {"libredwg__r14__Leader.dwg", 1014, 2, DwgPreviewFormat::Bmp, 184, 140},
    {"libredwg__r14__v.dwg", 1014, 2, DwgPreviewFormat::Bmp, 180, 116},
    {"libredwg__sample_2000.dwg", 1015, 2, DwgPreviewFormat::Bmp, 180, 88},
    {"libredwg__sample_2018.dwg", 1032, 6, DwgPreviewFormat::Png, 597, 448},
};

TEST(DwgPreview, RealFilesOfSeveralReleases) {
  TESMAR_REQUIRE_TESTDATA();
  for (const auto& f : kRealFiles) {
    SCOPED_TRACE(f.name);
    auto r = ReadDwgPreviewFile(test::SharedTestdata() / "dwg" / f.name);
    EXPECT_EQ(r.version, f.version);
    EXPECT_EQ(r.code, f.code);
    ASSERT_EQ(r.format, f.format);
    if (f.format == DwgPreviewFormat::None) continue;
    auto d = PreviewDimensions(r);
    EXPECT_EQ(d.width, f.width);
    EXPECT_EQ(std::abs(d.height), f.height);
    if (f.format == DwgPreviewFormat::Bmp) {
      EXPECT_EQ(d.bitCount, 8);
      EXPECT_EQ(Le32At(r.image, 10), 1078u);
    }
  }
}

}  // namespace
}  // namespace tesmar
