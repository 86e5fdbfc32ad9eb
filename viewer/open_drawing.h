#pragma once
// Opening a drawing as one value: the probes, the read, the post-processing and the render
// index build a drawing of its own, which is handed over whole when it is complete. Nothing
// here touches a window, so the viewer runs it on a worker thread; the reader's messages are
// collected for the window's thread to show afterwards.
#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "dxf/model.h"
#include "dxf/reader.h"
#include "render/geometry.h"
#include "render/render_pass.h"

namespace tesmar {

// One opened drawing: the post-processed model (its layers carry their visibility), the extents
// and the render index of that model.
struct TDrawing {
  TDrawingModel model;
  TBox extents{};
  std::unique_ptr<TRenderIndex> index;
  // The layers of the file: the first entries of LayerAry as the reader left them. Layers that
  // the block expansion appends afterwards are drawn but not listed.
  std::size_t listedLayers = 0;
};

enum class TOpenOutcome {
  Opened,
  NotOpened,   // missing file, not ".dxf", or the version probe failed: nothing was read
  Unreadable,  // a DWG file or a binary DXF under a .dxf name
  Cancelled,   // the progress asked to stop
  Failed,      // an error on the way (out of memory)
};

struct TOpenResult {
  TOpenOutcome outcome = TOpenOutcome::NotOpened;
  std::unique_ptr<TDrawing> drawing;  // when Opened
  // What the reader asked to show, in order: text and caption of each message box.
  std::vector<std::pair<std::u16string, std::u16string>> messages;
  double readMs = 0, postMs = 0;  // the read; the post-processing with the index
};

// True when the file exists and its extension, upper-cased, is ".DXF".
bool IsExistingDxfFile(const std::filesystem::path& file);

// Probes, reads, post-processes and indexes the file. `progress` (may be null) is advanced by
// the reader and asked between blocks whether to stop; the post-processing and the index ask it
// often too. Nothing is thrown.
TOpenResult OpenDrawing(std::u16string_view path, IDxfProgress* progress);

}  // namespace tesmar
