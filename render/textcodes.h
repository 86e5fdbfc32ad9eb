#pragma once
// Inline codes of DXF texts: the percent codes and the few escapes that the viewer turns into
// symbols, and the MTEXT line breaks and formatting codes. Pure string functions; none of them
// changes a record.
#include <string>
#include <string_view>
#include <vector>

namespace tesmar {

// "%%c" / "%%C" -> "Φ", "%%d" / "%%D" -> "°", "%%p" / "%%P" -> "±", then "%%%" -> "%";
// "\U+25A1" -> "□" and "\U+2205" -> "Φ". Every other code stays as written.
std::u16string ReplaceSpecialCodes(std::u16string_view s);

// Breaks an MTEXT string into its lines at "^J" and "\P". A blank last line and lines
// holding only "}" are dropped. An empty string has no lines.
std::vector<std::u16string> SplitMtextLines(std::u16string_view s);

// Removes the MTEXT formatting codes (braces, \O \L toggles, codes with an argument up to
// their ";" such as fonts, heights and paragraph indents) from one line, keeping the escaped
// "\{", "\}" and "\\" as characters; a stacked fraction "\S1^2;" reads 1/2, "\~" a space.
std::u16string StripMtextCodes(std::u16string_view line);

// Replaces every occurrence of `from` in `s` by `to`, left to right, without rescanning the
// replacement.
void ReplaceAll16(std::u16string& s, std::u16string_view from, std::u16string_view to);

}  // namespace tesmar
