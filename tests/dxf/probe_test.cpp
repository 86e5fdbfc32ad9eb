#include "dxf/probe.h"

#include <gtest/gtest.h>

#include "base/readonly_file.h"
#include "base/strings.h"
#include "dxf/reader.h"
#include "tests/support/dxf_fixture.h"

namespace tesmar {
namespace {

using test::DxfPairs;

struct ProbeFile {
  test::TempDir dir;
  std::u16string name;
  explicit ProbeFile(std::string_view bytes) : name(U16FromPath(dir / "p.dxf")) { test::WriteFile(dir / "p.dxf", bytes); }
};

TEST(DxfProbe, SignatureDecidesWhetherTheFileIsRead) {
  struct Case {
    std::string bytes;
    std::u16string signature;
    bool readable;
  };
  const Case cases[] = {
      {std::string("AC1032\0\0\0\x1f", 10) + std::string(20, 'x'), u"AC1032", false},        // a DWG file
      {std::string("AutoCAD Binary DXF\r\n\x1a\0", 22), u"AutoCA", false},    // a binary DXF
      {"  0\nSECTION\n", u"  0\nSE", true},
      {"AC10", u"", true},                                                    // 5 bytes or fewer
      {std::string("AC1\0\0\0\0", 7), u"AC1", true},                                        // shorter than 6 characters
      {std::string("Auto\0xx", 7), u"Auto", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    ProbeFile f(c.bytes);
    std::u16string sig = u"old";
    EXPECT_TRUE(ReadDxfSignature(f.name, sig));
    EXPECT_EQ(sig, c.signature);
    EXPECT_EQ(ProbeDxfFile(f.name).readable, c.readable);
  }
  std::u16string sig = u"old";
  EXPECT_TRUE(ReadDxfSignature(u"/nonexistent/x.dxf", sig));
  EXPECT_EQ(sig, u"");
  EXPECT_TRUE(IsReadableDxfSignature(false, u"AC1032")) << "a failed probe counts as readable";
}

TEST(DxfProbe, VersionChoosesTheEncoding) {
  struct Case {
    std::string pairs;
    std::u16string version;
    TextEncoding encoding;
  };
  const Case cases[] = {
      {"0 SECTION\n2 HEADER\n9 $ACADVER\n1 AC1018\n", u"AC1018", TextEncoding::Ansi},
      {"0 SECTION\n2 HEADER\n9 $ACADVER\n1 AC1024\n", u"AC1024", TextEncoding::Utf8},
      {"0 SECTION\n2 HEADER\n9 $ACADVER\n1 AC1021\n", u"AC1021", TextEncoding::Utf8},
      {"0 SECTION\n2 ENTITIES\n0 LINE\n", u"", TextEncoding::Ansi},                         // no header
      {"9 $ACADVER\n1 AC1024\n0 SECTION\n2 HEADER\n0 ENDSEC\n", u"", TextEncoding::Ansi},  // before 2/HEADER
      {"0 SECTION\n2 HEADER\n9 $ACADVER\n3 AC1024\n1 AC1024\n", u"", TextEncoding::Ansi},  // next code is not 1
      {"0 SECTION\nx HEADER\n2 HEADER\n9 $ACADVER\n1 AC1024\n", u"", TextEncoding::Ansi},  // code not a number
      {"0 SECTION\n2 BLOCKS\n2 HEADER\n9 $ACADVER\n1 AC1024\n", u"", TextEncoding::Ansi},  // BLOCKS ends the scan
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pairs);
    ProbeFile f(DxfPairs(c.pairs));
    std::u16string version = u"old";
    EXPECT_TRUE(ReadDxfVersion(f.name, version));
    EXPECT_EQ(version, c.version);
    const TDxfProbe p = ProbeDxfFile(f.name);
    EXPECT_TRUE(p.readable);
    EXPECT_TRUE(p.versionRead);
    EXPECT_EQ(p.encoding, c.encoding);
  }
  std::u16string version = u"old";
  EXPECT_TRUE(ReadDxfVersion(u"/nonexistent/x.dxf", version));
  EXPECT_EQ(version, u"");
}

// A byte-order mark before the first code line must not hide the version (which would read a
// UTF-8 file in the ANSI code page).
TEST(DxfProbe, Utf8ByteOrderMarkIsSkipped) {
  ProbeFile f("\xEF\xBB\xBF" + DxfPairs("0 SECTION\n2 HEADER\n9 $ACADVER\n1 AC1032\n", "\r\n"));
  const TDxfProbe p = ProbeDxfFile(f.name);
  EXPECT_TRUE(p.readable);
  EXPECT_EQ(p.acadver, u"AC1032");
  EXPECT_EQ(p.encoding, TextEncoding::Utf8);
}

// A file opened once: the probes of its first block leave the scanner at the first pair, so
// that the read that follows gets the whole drawing.
TEST(DxfProbe, ProbesOfAnOpenedFileLeaveItToTheRead) {
  ProbeFile f("\xEF\xBB\xBF" + DxfPairs("0 SECTION\n2 HEADER\n9 $ACADVER\n1 AC1032\n0 ENDSEC\n"
                                          "0 SECTION\n2 ENTITIES\n0 LINE\n8 0\n10 0\n20 0\n11 5\n21 0\n0 ENDSEC\n0 EOF\n", "\r\n"));
  ReadOnlyFile file;
  ASSERT_EQ(file.Open(PathFromU16(f.name)), FileOpenResult::Ok);
  DxfPairScanner scanner(file);
  const TDxfProbe p = ProbeDxfFile(scanner);
  EXPECT_TRUE(p.readable);
  EXPECT_TRUE(p.versionRead);
  EXPECT_EQ(p.encoding, TextEncoding::Utf8);
  TDrawingModel model;
  std::u16string status = u"old";
  EXPECT_EQ(ReadDxfFile(model, scanner, f.name, nullptr, nullptr, status, p.encoding), u"AC1032");
  EXPECT_EQ(status, u"");
  EXPECT_EQ(model.LineAry.size(), 1u);
}

}  // namespace
}  // namespace tesmar
