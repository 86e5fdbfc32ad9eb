#include "app/startup.h"

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

}  // namespace tesmar
