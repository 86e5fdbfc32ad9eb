#include "dwg/dxf_conversion.h"

namespace tesmar {
namespace {

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

}  // namespace

std::u16string ConversionFolderOf(std::u16string_view filePath) {
  std::size_t cut = std::u16string_view::npos;
  for (std::size_t i = filePath.size(); i-- > 0;) {
    if (IsSeparator(filePath[i])) {
      cut = i;
      break;
    }
  }
  if (cut == std::u16string_view::npos) return {};
  // "C:\x.dwg": the root keeps its separator.
  if (cut == 2 && filePath[1] == u':') return std::u16string(filePath.substr(0, 3));
  return std::u16string(filePath.substr(0, cut));
}

std::u16string ConversionFileNameOf(std::u16string_view filePath) {
  std::size_t start = 0;
  for (std::size_t i = filePath.size(); i-- > 0;) {
    if (IsSeparator(filePath[i]) || filePath[i] == u':') {
      start = i + 1;
      break;
    }
  }
  return std::u16string(filePath.substr(start));
}

std::u16string ConvertedDxfPath(std::u16string_view outFolder, std::u16string_view dwgPath) {
  std::u16string name = ConversionFileNameOf(dwgPath);
  const std::size_t dot = name.rfind(u'.');
  if (dot != std::u16string::npos) name.resize(dot);
  std::u16string path(outFolder);
  if (!path.empty() && !IsSeparator(path.back())) path += u'\\';
  return path + name + u".dxf";
}

std::u16string QuotedConverterArgument(std::u16string_view value) {
  std::size_t trailing = 0;
  while (trailing < value.size() && value[value.size() - 1 - trailing] == u'\\') ++trailing;
  std::u16string out = u"\"";
  out += value;
  out.append(trailing, u'\\');
  out += u'"';
  return out;
}

std::u16string ConverterParameters(std::u16string_view inFolder, std::u16string_view outFolder,
                                   std::u16string_view fileFilter) {
  const std::u16string_view args[] = {inFolder, outFolder, u"ACAD2000", u"DXF", u"0", u"0", fileFilter};
  std::u16string text;
  for (auto a : args) {
    if (!text.empty()) text += u' ';
    text += QuotedConverterArgument(a);
  }
  return text;
}

bool ShowConverterWindow(bool showRequested, std::u16string_view inFolder, std::u16string_view outFolder) {
  return showRequested || inFolder.size() == 3 || outFolder.size() == 3;
}

}  // namespace tesmar
