#include "dwg/dxf_conversion.h"

#include <string>

#include "base/path_parts.h"

namespace tesmar {

std::u16string ConvertedDxfPath(std::u16string_view outFolder, std::u16string_view dwgPath) {
  return JoinPath(outFolder, std::u16string(WithoutExtension(FileNamePart(dwgPath))) + u".dxf");
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

std::u16string ConversionFailedText(std::u16string_view dwgPath, unsigned long exitCode) {
  std::u16string text = u"DWG->DXF 変換に失敗しました．\n" + std::u16string(dwgPath) + u'\n';
  if (exitCode == 0) return text + u"変換プログラムは DXF ファイルを作りませんでした．";
  std::u16string code;
  for (char c : std::to_string(exitCode)) code += static_cast<char16_t>(c);
  return text + u"変換プログラムの終了コード: " + code;
}

bool ShowConverterWindow(bool showRequested, std::u16string_view inFolder, std::u16string_view outFolder) {
  return showRequested || inFolder.size() == 3 || outFolder.size() == 3;
}

}  // namespace tesmar
