#include "app/startup.h"

#include <algorithm>
#include <cstdint>

#include "base/path_parts.h"
#include "base/strings.h"
#include "base/texts.h"

namespace tesmar {

std::u16string LispMenuCaption(std::u16string_view lspName) {
  return kLispMenuPrefix + std::u16string(FileNamePart(lspName, u"\\:"));
}

std::u16string PreviewMenuCaption(bool imageClip) {
  return imageClip ? kPreviewEnlargedCaption : kPreviewAsIsCaption;
}

std::optional<std::u16string> TargetNameFor(const std::vector<std::u16string>& lines,
                                            std::u16string_view progId) {
  std::u16string needle = u"\t" + std::u16string(progId);
  for (const auto& line : lines) {
    std::size_t at = line.find(needle);
    if (at != std::u16string::npos) return line.substr(0, at);
  }
  return std::nullopt;
}

std::u16string InstanceKeyFor(std::u16string_view programFolder) {
  std::u16string folder = UpperCase16(programFolder);
  for (auto& c : folder)
    if (c == u'/') c = u'\\';
  while (folder.size() > 1 && folder.back() == u'\\') folder.pop_back();
  // FNV-1a over the UTF-16 code units: a kernel object's name may not hold '\\'.
  std::uint64_t hash = 0xcbf29ce484222325ull;
  for (char16_t c : folder) {
    hash = (hash ^ (c & 0xFF)) * 0x100000001b3ull;
    hash = (hash ^ (c >> 8)) * 0x100000001b3ull;
  }
  std::u16string key = u"Tesmar-";
  for (int shift = 60; shift >= 0; shift -= 4) key += u"0123456789abcdef"[(hash >> shift) & 0xF];
  return key;
}

std::u16string AboutText(std::u16string_view version) {
  return u"Tesmar.exe " + std::u16string(version) + u"\n" + kAboutSecondLine;
}

namespace {

long long Overlap(const ScreenRect& a, const ScreenRect& b) {
  const long long w = std::min(a.right, b.right) - std::max(a.left, b.left);
  const long long h = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
  return w > 0 && h > 0 ? w * h : 0;
}

// How far apart two rectangles are (0 when they touch or overlap), squared.
long long Gap(const ScreenRect& a, const ScreenRect& b) {
  const long long dx = std::max({0, b.left - a.right, a.left - b.right});
  const long long dy = std::max({0, b.top - a.bottom, a.top - b.bottom});
  return dx * dx + dy * dy;
}

}  // namespace

ScreenRect BringOntoWorkArea(ScreenRect window, const std::vector<ScreenRect>& workAreas, int grip) {
  if (workAreas.empty()) return window;
  for (const auto& area : workAreas) {
    const int across = std::min(window.right, area.right) - std::max(window.left, area.left);
    const int down = std::min(window.bottom, area.bottom) - std::max(window.top, area.top);
    const bool topInside = window.top >= area.top && window.top < area.bottom;
    if (topInside && across >= std::min(grip, window.Width()) && down >= std::min(grip, window.Height()))
      return window;
  }
  // The area it overlaps most, else the closest one.
  const ScreenRect* best = &workAreas.front();
  for (const auto& area : workAreas) {
    const long long o = Overlap(window, area), ob = Overlap(window, *best);
    if (o > ob || (o == ob && o == 0 && Gap(window, area) < Gap(window, *best))) best = &area;
  }
  const int w = std::min(window.Width(), best->Width()), h = std::min(window.Height(), best->Height());
  const int left = std::clamp(window.left, best->left, best->right - w);
  const int top = std::clamp(window.top, best->top, best->bottom - h);
  return ScreenRect{left, top, left + w, top + h};
}

std::u16string WithShortcut(std::u16string_view caption, std::u16string_view key) {
  return std::u16string(caption) + u"\t" + std::u16string(key);
}

}  // namespace tesmar
