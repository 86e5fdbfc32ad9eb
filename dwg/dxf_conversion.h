#pragma once
// The rules of the DWG to DXF conversion that need no platform: the converter's parameter
// text, the DXF file that a conversion of a drawing writes, and when the converter's window is
// shown.
#include <string>
#include <string_view>

namespace tesmar {

// The DXF file that converting `dwgPath` into `outFolder` leaves: the folder joined with the
// drawing's file name, its extension replaced by ".dxf".
std::u16string ConvertedDxfPath(std::u16string_view outFolder, std::u16string_view dwgPath);

// One argument of the converter's command line: the value in double quotes. Backslashes
// right before the closing quote are doubled so that the converter's command-line parser
// reads them as backslashes and not as an escaped quote: a drive root arrives as "C:\".
std::u16string QuotedConverterArgument(std::u16string_view value);

// The seven arguments, quoted and separated by single spaces: input folder, output folder,
// "ACAD2000", "DXF", "0" (no sub-folders), "0" (no audit), input file filter.
std::u16string ConverterParameters(std::u16string_view inFolder, std::u16string_view outFolder,
                                   std::u16string_view fileFilter);

// The converter's window is shown when asked to, and always when a folder is a drive's root
// (exactly three characters, such as "C:\").
bool ShowConverterWindow(bool showRequested, std::u16string_view inFolder, std::u16string_view outFolder);

inline constexpr char16_t kConverterNotFound[] = u"ODAFileConverter.exe が見つかりません．";
inline constexpr char16_t kConversionFileNotFound[] = u"ファイルが見つかりません．";
inline constexpr char16_t kConverterStartFailed[] = u"起動に失敗しました．";
inline constexpr char16_t kConverterErrorCaption[] = u"エラー";
inline constexpr char16_t kConvertingStatus[] = u"DWG->DXF 変換中... ";
inline constexpr char16_t kConvertingEscHint[] = u"(Esc で中止)";  // after the status above
// The converter ended but wrote no DXF file: the drawing asked for, and why when the converter
// said (a nonzero exit code).
std::u16string ConversionFailedText(std::u16string_view dwgPath, unsigned long exitCode);

// Esc ended the wait and the converter.
inline constexpr char16_t kConversionCancelled[] = u"DWG->DXF 変換を中止しました．";

}  // namespace tesmar
