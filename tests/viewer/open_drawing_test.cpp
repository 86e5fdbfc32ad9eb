// Opening a drawing as one value, without a window: what each kind of file gives, the reader's
// messages kept for later, and a stop asked for by the progress.
#include "viewer/open_drawing.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <string>

#include "tests/support/dxf_fixture.h"

namespace tesmar {
namespace {

struct StopAtOnce : test::RecordingProgress {
  bool Cancelled() const override { return true; }
};

TEST(OpenDrawing, EachKindOfFileGivesItsOutcome) {
  test::TempDir dir;
  const std::string drawing = test::EntitiesSection(
      "0 LINE\n8 WALL\n10 0\n20 0\n11 100\n21 50\n0 INSERT\n8 0\n2 NOBLOCK\n10 0\n20 0\n");
  test::WriteFile(dir / "plan.DxF", drawing);
  test::WriteFile(dir / "plan.txt", drawing);
  test::WriteFile(dir / "dwg.dxf", std::string("AC1027") + std::string(100, '\0'));
  struct Case {
    const char* name;
    TOpenOutcome want;
  } cases[] = {{"plan.DxF", TOpenOutcome::Opened},
               {"plan.txt", TOpenOutcome::NotOpened},
               {"missing.dxf", TOpenOutcome::NotOpened},
               {"dwg.dxf", TOpenOutcome::Unreadable}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TOpenResult r = OpenDrawing(U16FromPath(dir / c.name), nullptr);
    EXPECT_EQ(r.outcome, c.want);
    EXPECT_EQ(r.drawing != nullptr, c.want == TOpenOutcome::Opened);
    EXPECT_TRUE(r.messages.empty());
  }
  const TOpenResult r = OpenDrawing(U16FromPath(dir / "plan.DxF"), nullptr);
  ASSERT_TRUE(r.drawing);
  const TDrawing& d = *r.drawing;
  EXPECT_EQ(d.extents.max.x, 100);
  EXPECT_EQ(d.extents.max.y, 50);
  ASSERT_TRUE(d.index);
  EXPECT_EQ(d.index->lines.size(), d.model.LineAry.size());
  EXPECT_EQ(d.model.LineAry[0].layindex, GetLayerIndex(d.model, u"WALL")) << "post-processed";
  EXPECT_EQ(d.listedLayers, d.model.LayerAry.size()) << "the layers the file names";
}

// The reader's message is kept, in order, with its caption; the drawing read up to the fault
// is still handed over.
TEST(OpenDrawing, KeepsTheReadersMessagesForTheWindow) {
  test::TempDir dir;
  test::WriteFile(dir / "bad.dxf", test::EntitiesSection("0 LINE\n8 0\n10 0\n20 0\n11 5\n21 5\n0 CIRCLE\n8 0\n40 abc\n"));
  const TOpenResult r = OpenDrawing(U16FromPath(dir / "bad.dxf"), nullptr);
  EXPECT_EQ(r.outcome, TOpenOutcome::Opened);
  ASSERT_EQ(r.messages.size(), 1u);
  EXPECT_EQ(r.messages[0].second, u"DxfReport");
  EXPECT_EQ(r.messages[0].first.rfind(u"bad.dxf\n", 0), 0u) << Utf16ToUtf8(r.messages[0].first);
  ASSERT_TRUE(r.drawing);
  EXPECT_EQ(r.drawing->model.LineAry.size(), 1u);
}

TEST(OpenDrawing, AStopAskedForGivesNoDrawing) {
  test::TempDir dir;
  std::string body;
  for (int i = 0; i < 3000; ++i) body += "0 LINE\n8 0\n10 0\n20 0\n11 5\n21 5\n";
  test::WriteFile(dir / "big.dxf", test::EntitiesSection(body));
  StopAtOnce stop;
  const TOpenResult r = OpenDrawing(U16FromPath(dir / "big.dxf"), &stop);
  EXPECT_EQ(r.outcome, TOpenOutcome::Cancelled);
  EXPECT_FALSE(r.drawing);
  EXPECT_TRUE(r.messages.empty());
}

}  // namespace
}  // namespace tesmar

namespace tesmar {
namespace {

// A stop that another thread asks for.
struct StopLater : test::RecordingProgress {
  std::atomic<bool> stop{false};
  bool Cancelled() const override { return stop; }
};

// The post-processing of a drawing of blocks nested 40 deep, each placing the next twice, runs
// until its work budget is spent; a stop asked for meanwhile ends the opening.
TEST(OpenDrawing, AStopEndsThePostProcessing) {
  test::TempDir dir;
  std::string blocks = "0 SECTION\n2 BLOCKS\n";
  for (int i = 0; i < 40; ++i) {
    blocks += "0 BLOCK\n8 0\n2 B" + std::to_string(i) + "\n70 0\n10 0\n20 0\n";
    if (i + 1 < 40)
      for (int k = 0; k < 2; ++k) blocks += "0 INSERT\n8 0\n2 B" + std::to_string(i + 1) + "\n10 " + std::to_string(k) + "\n20 0\n";
    else
      blocks += "0 LINE\n8 0\n10 0\n20 0\n11 1\n21 1\n";
    blocks += "0 ENDBLK\n8 0\n";
  }
  blocks += "0 ENDSEC\n";
  test::WriteFile(dir / "nested.dxf", test::DxfPairs(blocks) + test::EntitiesSection("0 INSERT\n8 0\n2 B0\n10 0\n20 0\n"));
  StopLater progress;
  auto opening = std::async(std::launch::async, [&] { return OpenDrawing(U16FromPath(dir / "nested.dxf"), &progress); });
  EXPECT_EQ(opening.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout) << "still at work";
  progress.stop = true;
  ASSERT_EQ(opening.wait_for(std::chrono::seconds(60)), std::future_status::ready) << "the stop was not heard";
  const TOpenResult r = opening.get();
  EXPECT_EQ(r.outcome, TOpenOutcome::Cancelled);
  EXPECT_FALSE(r.drawing);
}

}  // namespace
}  // namespace tesmar
