#include "tests/support/dxf_fixture.h"

namespace tesmar::test {

void ExpectFileLevelFailure(const std::filesystem::path& file, std::u16string_view status, std::u16string_view message) {
  RecordingReport withParent, withoutParent;
  withoutParent.parent = false;
  for (RecordingReport* report : {&withParent, &withoutParent}) {
    TDrawingModel model;
    std::u16string got;
    ReadDxfFile(model, U16FromPath(file), nullptr, report, got, TextEncoding::Ansi);
    EXPECT_EQ(got, status);
    EXPECT_EQ(model.LayerAry.size(), 1u) << "post-processing still runs";
  }
  ASSERT_EQ(withParent.messages.size(), 1u);
  EXPECT_EQ(withParent.messages[0].first, message);
  EXPECT_EQ(withParent.messages[0].second, u"DxfReport");
  EXPECT_TRUE(withoutParent.messages.empty()) << "without a parent window nothing is shown";
}

}  // namespace tesmar::test
