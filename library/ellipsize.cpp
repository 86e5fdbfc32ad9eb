#include "library/ellipsize.h"

#include <vector>

namespace tesmar {
namespace {

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The code points of `s` as offsets: starts[k] is where the k-th one begins.
std::vector<std::size_t> CodePointStarts(const std::u16string& s) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < s.size(); ++i) {
    starts.push_back(i);
    if (IsHighSurrogate(s[i]) && i + 1 < s.size() && IsLowSurrogate(s[i + 1])) ++i;
  }
  return starts;
}

}  // namespace

std::u16string EllipsizeMiddle(const std::u16string& s, const TextWidthFn& textWidth, int width) {
  if (textWidth(s) <= width) return s;
  const std::vector<std::size_t> starts = CodePointStarts(s);
  const int n = static_cast<int>(starts.size());
  // `keep` code points in all: the first (keep + 1) / 2 and the last keep / 2.
  auto candidate = [&](int keep) {
    const int head = (keep + 1) / 2, tail = keep / 2;
    const std::size_t headEnd = head < n ? starts[head] : s.size();
    const std::size_t tailStart = tail > 0 ? starts[n - tail] : s.size();
    return s.substr(0, headEnd) + u"\u2026" + s.substr(tailStart);
  };
  // The widths grow with `keep`: the largest that fits, by bisection.
  int lo = 0, hi = n - 1;
  if (textWidth(candidate(0)) > width) return candidate(0);
  while (lo < hi) {
    const int mid = (lo + hi + 1) / 2;
    if (textWidth(candidate(mid)) <= width) lo = mid;
    else hi = mid - 1;
  }
  return candidate(lo);
}

std::u16string EllipsizeLeft(std::u16string s, const TextWidthFn& textWidth, int width) {
  if (textWidth(s) <= width) return s;
  std::u16string_view rest = s;
  for (;;) {
    std::u16string candidate = u"..." + std::u16string(rest);
    if (textWidth(candidate) <= width || rest.empty()) return candidate;
    // Drop one character; a surrogate pair goes as a whole.
    std::size_t n = (rest.size() >= 2 && rest[0] >= 0xD800 && rest[0] <= 0xDBFF &&
                     rest[1] >= 0xDC00 && rest[1] <= 0xDFFF) ? 2 : 1;
    rest.remove_prefix(n);
  }
}

}  // namespace tesmar
