#pragma once
// Texts and small rules of the program's start: captions of menu items set from the
// settings, and the target caption from the target list.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/texts.h"

namespace tesmar {

// "■ロード " followed by the file-name part of the LISP file (after the last '\' or ':').
std::u16string LispMenuCaption(std::u16string_view lspName);

// Caption of the preview sub-menu for the clip choice.
std::u16string PreviewMenuCaption(bool imageClip);

// The first line, in file order, that holds a TAB immediately followed by the ProgID
// (anywhere, letter case included) gives the target's display name: the text before that TAB.
std::optional<std::u16string> TargetNameFor(const std::vector<std::u16string>& lines,
                                            std::u16string_view progId);

// The name that one running palette per program folder holds: "Tesmar-" and a hash of the
// folder as Windows compares paths (letter case, '/' for '\\' and a final separator make no
// difference). Palettes of other folders have other settings and may run beside it.
std::u16string InstanceKeyFor(std::u16string_view programFolder);

// The About box's text: the program's file name and version, then what it is.
std::u16string AboutText(std::u16string_view version);

}  // namespace tesmar
