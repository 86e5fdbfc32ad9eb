// The drawings written by a CAD program read without a bad pair, in both encodings.
#include <gtest/gtest.h>

#include "base/strings.h"
#include "dxf/probe.h"
#include "dxf/reader.h"
#include "tests/support/dxf_fixture.h"

namespace tesmar {
namespace {

TEST(DxfRealFiles, EveryFileReadsWithEmptyStatus) {
  TESMAR_REQUIRE_TESTDATA();
  int files = 0;
  for (const auto& e : std::filesystem::directory_iterator(test::SharedTestdata() / "dxf")) {
    if (e.path().extension() != ".dxf") continue;
    SCOPED_TRACE(e.path().string());
    const std::u16string name = U16FromPath(e.path());
    const TDxfProbe probe = ProbeDxfFile(name);
    ASSERT_TRUE(probe.readable);
    ASSERT_TRUE(probe.versionRead);
    ASSERT_FALSE(probe.acadver.empty());
    EXPECT_EQ(probe.encoding, probe.acadver >= u"AC1021" ? TextEncoding::Utf8 : TextEncoding::Ansi);
    TDrawingModel model;
    test::RecordingReport report;
    std::u16string status;
    const std::u16string version = ReadDxfFile(model, name, nullptr, &report, status, probe.encoding);
    EXPECT_EQ(status, u"");
    EXPECT_TRUE(report.messages.empty());
    EXPECT_EQ(version, probe.acadver);
    EXPECT_FALSE(model.LayerAry.empty());
    EXPECT_FALSE(model.BlockAry.empty());
    ++files;
  }
  EXPECT_GT(files, 20);
}

// The same drawing saved as AC1018 (ANSI) and AC1021 (UTF-8) gives the same texts and layers.
TEST(DxfRealFiles, AnsiAndUtf8SavesOfOneDrawingAgree) {
  TESMAR_REQUIRE_TESTDATA();
  auto read = [](const char* file, TDrawingModel& model) {
    const std::u16string name = U16FromPath(test::SharedTestdata() / "dxf" / file);
    std::u16string status;
    ReadDxfFile(model, name, nullptr, nullptr, status, ProbeDxfFile(name).encoding);
    return status;
  };
  TDrawingModel ansi, utf8;
  ASSERT_EQ(read("acadsharp__sample_AC1018_ascii.dxf", ansi), u"");
  ASSERT_EQ(read("acadsharp__sample_AC1021_ascii.dxf", utf8), u"");
  ASSERT_EQ(ansi.TextAry.size(), utf8.TextAry.size());
  for (std::size_t i = 0; i < ansi.TextAry.size(); ++i) EXPECT_EQ(ansi.TextAry[i].str, utf8.TextAry[i].str) << i;
  ASSERT_EQ(ansi.LayerAry.size(), utf8.LayerAry.size());
  for (std::size_t i = 0; i < ansi.LayerAry.size(); ++i) {
    EXPECT_EQ(ansi.LayerAry[i].Name, utf8.LayerAry[i].Name);
    EXPECT_EQ(ansi.LayerAry[i].color, utf8.LayerAry[i].color);
  }
  EXPECT_EQ(ansi.LineAry.size(), utf8.LineAry.size());
  EXPECT_EQ(ansi.VerAry.size(), utf8.VerAry.size());
}

}  // namespace
}  // namespace tesmar
