#pragma once
// The viewer's place in the settings file, section "Zoomer": Left, Top, Width, Height of the
// window and Panel, the width of its side panel at 96 dpi. Kept beside the main window's keys,
// which the main window's own writing leaves as they stand.
#include <string>

#include "viewer/zoomer_form_win.h"

namespace tesmar {

// All zeros when the file or the keys are missing.
TZoomerPlace ReadZoomerPlace(const std::u16string& iniPath);

// Writes nothing for a place without a size (the viewer was never shown and none was kept).
void WriteZoomerPlace(const std::u16string& iniPath, const TZoomerPlace& place);

}  // namespace tesmar
