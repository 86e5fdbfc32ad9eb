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

// Captions of the menu items of the keyboard and of the grown palette.
inline constexpr char16_t kInsertAsDoubleClickCaption[] = u"■ CAD へ挿入（ダブルクリックと同じ）";
inline constexpr char16_t kReloadFolderCaption[] = u"フォルダを読み直す";
inline constexpr char16_t kWidenCaption[] = u"幅を 1 ピクセル広く";
inline constexpr char16_t kNarrowCaption[] = u"幅を 1 ピクセル狭く";
inline constexpr char16_t kTallerCaption[] = u"高さを 1 ピクセル高く";
inline constexpr char16_t kShorterCaption[] = u"高さを 1 ピクセル低く";

// A rectangle of the screen in pixels, right and bottom exclusive.
struct ScreenRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const ScreenRect&) const = default;
};

// A window's place at start: kept when a usable part of it lies on one of the monitors' work
// areas (its title bar reachable: its top edge inside the area, and at least `grip` pixels
// of it across and down), else moved onto the work area nearest to it, made no larger than
// that area and kept whole inside it.
ScreenRect BringOntoWorkArea(ScreenRect window, const std::vector<ScreenRect>& workAreas, int grip);

// The captions of the menu's items that show a key: the caption, a tab and the key.
std::u16string WithShortcut(std::u16string_view caption, std::u16string_view key);

}  // namespace tesmar
