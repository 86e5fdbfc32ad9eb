#include "viewer/open_drawing.h"

#include <chrono>
#include <exception>
#include <filesystem>
#include <system_error>

#include "base/readonly_file.h"
#include "base/strings.h"
#include "dxf/probe.h"
#include "render/postprocess.h"

namespace tesmar {
namespace {

double NowMs() {
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

// The reader's messages, kept for the window that shows them after the read.
class CollectedReport : public IDxfReport {
 public:
  explicit CollectedReport(std::vector<std::pair<std::u16string, std::u16string>>& out) : out_(out) {}
  bool HasParentWindow() const override { return true; }
  void ShowMessage(std::u16string_view text, std::u16string_view caption) override { out_.emplace_back(text, caption); }

 private:
  std::vector<std::pair<std::u16string, std::u16string>>& out_;
};

bool Cancelled(const IDxfProgress* progress) { return progress && progress->Cancelled(); }

}  // namespace

bool IsExistingDxfFile(const std::filesystem::path& file) {
  std::error_code ec;
  return std::filesystem::is_regular_file(file, ec) && UpperCase16(U16FromPath(file.extension())) == u".DXF";
}

TOpenResult OpenDrawing(std::u16string_view path, IDxfProgress* progress) {
  TOpenResult result;
  try {
    // The file is opened once: the probes look at the first block that the read then starts from.
    const std::filesystem::path file = PathFromU16(path);
    if (!IsExistingDxfFile(file)) return result;
    ReadOnlyFile opened;
    if (opened.Open(file) != FileOpenResult::Ok) return result;
    DxfPairScanner scanner(opened);
    const TDxfProbe probe = ProbeDxfFile(scanner);
    if (!probe.readable) {
      result.outcome = TOpenOutcome::Unreadable;
      return result;
    }
    if (!probe.versionRead) return result;
    auto drawing = std::make_unique<TDrawing>();
    CollectedReport report(result.messages);
    std::u16string status;
    const double t0 = NowMs();
    ReadDxfFile(drawing->model, scanner, path, progress, &report, status, probe.encoding);
    const double t1 = NowMs();
    result.readMs = t1 - t0;
    if (status == kDxfCancelledStatus || Cancelled(progress)) {
      result.outcome = TOpenOutcome::Cancelled;
      return result;
    }
    drawing->listedLayers = drawing->model.LayerAry.size();
    const TStopCheck stop = [progress] { return Cancelled(progress); };
    drawing->extents = RunPostProcessing(drawing->model, stop);
    if (Cancelled(progress)) {
      result.outcome = TOpenOutcome::Cancelled;
      return result;
    }
    drawing->index = BuildRenderIndex(drawing->model, stop);
    result.postMs = NowMs() - t1;
    result.drawing = std::move(drawing);
    result.outcome = TOpenOutcome::Opened;
  } catch (const TPostStopped&) {
    result.drawing.reset();
    result.outcome = TOpenOutcome::Cancelled;
  } catch (...) {
    result.drawing.reset();
    result.outcome = TOpenOutcome::Failed;
  }
  return result;
}

}  // namespace tesmar
