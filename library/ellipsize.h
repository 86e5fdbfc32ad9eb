#pragma once
// Shortening a text from the left so that it fits a pixel width: "..." and the end of the
// text, which for a folder path is its most telling part.
#include <functional>
#include <string>
#include <string_view>

namespace tesmar {

using TextWidthFn = std::function<int(std::u16string_view)>;

// `s` itself when it fits; else "..." followed by the longest end of `s` that fits with it.
// When even "..." alone is wider than `width` the result is "...".
std::u16string EllipsizeLeft(std::u16string s, const TextWidthFn& textWidth, int width);

// `s` itself when it fits; else its beginning, "…" and its end, as many characters of each
// as fit (the end gets the smaller half), so that both the start of a drawing's name and its
// last characters (a number or a variant letter) stay readable. A surrogate pair is never
// split; when even "…" alone is wider than `width` the result is "…".
std::u16string EllipsizeMiddle(const std::u16string& s, const TextWidthFn& textWidth, int width);

}  // namespace tesmar
