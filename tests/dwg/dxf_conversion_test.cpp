#include "dwg/dxf_conversion.h"

#include <gtest/gtest.h>

#include "base/path_parts.h"
#include "dwg/dwg_writer.h"
#include "dwg/embedded_drawing.h"

namespace tesmar {
namespace {

TEST(ConverterArguments, SevenQuotedArgumentsInOrder) {
  EXPECT_EQ(ConverterParameters(u"D:\\図面 集\\弁", u"C:\\Program Files\\Tesmar", u"GATE VALVE.dwg"),
            u"\"D:\\図面 集\\弁\" \"C:\\Program Files\\Tesmar\" \"ACAD2000\" \"DXF\" \"0\" \"0\" \"GATE VALVE.dwg\"");
}

// A folder argument ending in a backslash would be read as an escaped quote: the trailing
// backslashes are doubled so that "C:\" arrives whole.
TEST(ConverterArguments, DriveRootArrivesIntact) {
  EXPECT_EQ(QuotedConverterArgument(u"C:\\"), u"\"C:\\\\\"");
  EXPECT_EQ(QuotedConverterArgument(u"C:\\a\\b"), u"\"C:\\a\\b\"");
  EXPECT_EQ(ConverterParameters(u"C:\\", u"E:\\", u"a.dwg"),
            u"\"C:\\\\\" \"E:\\\\\" \"ACAD2000\" \"DXF\" \"0\" \"0\" \"a.dwg\"");
}

TEST(ConverterArguments, OutputFileAndWindow) {
  EXPECT_EQ(ConvertedDxfPath(u"C:\\prog", u"C:\\lib\\a.b.DWG"), u"C:\\prog" + std::u16string(1, kPathSeparator) + u"a.b.dxf");
  EXPECT_EQ(ConvertedDxfPath(u"C:\\", u"D:\\x\\plan.dwg"), u"C:\\plan.dxf");
  EXPECT_FALSE(ShowConverterWindow(false, u"C:\\lib", u"C:\\prog"));
  EXPECT_TRUE(ShowConverterWindow(true, u"C:\\lib", u"C:\\prog"));
  EXPECT_TRUE(ShowConverterWindow(false, u"C:\\", u"C:\\prog"));
  EXPECT_TRUE(ShowConverterWindow(false, u"C:\\lib", u"D:\\"));
}

// The DXF text a project drawing carries survives the DWG writer and is found again; a drawing
// without one, or with a cut-off one, carries nothing.
TEST(EmbeddedDxf, RoundTripThroughADwgFile) {
  const std::string dxf = "0\nSECTION\n2\nENTITIES\n0\nENDSEC\n0\nEOF\n";
  DwgFileLayout layout = DwgWithImage(2, MakeDib24(RgbImage(4, 4, kRgbWhite)));
  layout.drawingData = EmbedDxf(dxf);
  const std::string file = MakeDwgFile(layout);
  EXPECT_EQ(FindEmbeddedDxf(file).value(), dxf);
  EXPECT_FALSE(FindEmbeddedDxf(file.substr(0, file.size() - 1)).has_value());
  EXPECT_FALSE(FindEmbeddedDxf(MakeDwgFile(DwgWithImage(2, MakeDib24(RgbImage(4, 4, kRgbWhite))))).has_value());
}

// A failed conversion names the drawing asked for, never the DXF file it would have made, and
// the converter's exit code when it gave one.
TEST(ConversionFailedText, NamesTheDrawingAndTheConvertersWord) {
  EXPECT_EQ(ConversionFailedText(u"D:\\lib\\a.dwg", 4),
            u"DWG->DXF 変換に失敗しました．\nD:\\lib\\a.dwg\n変換プログラムの終了コード: 4");
  EXPECT_EQ(ConversionFailedText(u"D:\\lib\\a.dwg", 0),
            u"DWG->DXF 変換に失敗しました．\nD:\\lib\\a.dwg\n変換プログラムは DXF ファイルを作りませんでした．");
}

}  // namespace
}  // namespace tesmar
