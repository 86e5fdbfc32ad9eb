#pragma once
// Decoding of the \U+XXXX escapes with which DXF text values carry characters outside the
// file's code page. The other inline codes (%%c, %%d, %%p, MTEXT formatting) stay in the text.
#include <string>
#include <vector>

#include "dxf/model.h"

namespace tesmar {

// Rewrites `str` of every record in place: each "\U+" (upper-case U only) with up to four
// following characters becomes the UTF-16 character they name in hexadecimal (0 when they are
// not a hexadecimal number); every equal escape of the text is replaced at once, and the search
// starts again so that a produced character can form a new escape with what follows it.
void DecodeUnicodeEscapes(std::vector<TTextBlk>& table);

// The same rewrite for one text; false when the text holds no escape (and is left as it was).
bool DecodeUnicodeEscapesIn(std::u16string& s);

}  // namespace tesmar
