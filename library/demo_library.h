#pragma once
// The demo library: a tree of drawing folders with DWG files the project draws itself
// (valves, pumps, fittings, electrical symbols), each carrying a preview that shows its
// drawing, in the image formats that CAD programs store (8-bit BMP with full and short
// colour tables, 24-bit and 32-bit BMP, PNG), a hint file with descriptions, and a few
// damaged or foreign files that show the placeholder.
#include <filesystem>
#include <string>

#include "base/rgb_image.h"

namespace tesmar {

// Draws symbol `index` (any number; symbols repeat with other sizes and colours) into a
// preview of width x height on white paper or on black.
RgbImage DrawDemoSymbol(int index, int width, int height, bool onWhite);
std::string DemoSymbolName(int index);

// The DXF drawing that demo drawing `index` is made from (layers OUTLINE, CENTER and DETAIL,
// its lines, circles and arcs, and its name as a text); each demo DWG file carries it.
std::string DemoSymbolDxf(int index);

// Writes the demo library below `root`; returns the number of DWG files written.
int WriteDemoLibrary(const std::filesystem::path& root);

// Writes `count` demo drawings straight into `folder` (for measurements).
int WriteDemoFolder(const std::filesystem::path& folder, int count);

}  // namespace tesmar
