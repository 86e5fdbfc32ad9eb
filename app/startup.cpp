#include "app/startup.h"

#include "base/path_parts.h"
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

}  // namespace tesmar
