#include "cadlink/commands.h"

#include <string>

#include "base/strings.h"

namespace tesmar {

std::u16string DoubleBackslashes(std::u16string_view path) {
  std::u16string out;
  out.reserve(path.size() + 8);
  for (char16_t c : path) {
    out += c;
    if (c == u'\\') out += c;
  }
  return out;
}

std::u16string InsertCommandText(std::u16string_view drawingPath) {
  std::u16string t = u"ATTREQ 0";
  t += kCR;
  t += u"-INSERT";
  t += kCR;
  t += u'"';
  t += drawingPath;
  t += u'"';
  t += kCR;
  t += u"S 1 R 0";
  return t;
}

std::u16string InsertCallText(std::u16string_view funcName, std::u16string_view drawingPath, bool firstFlag,
                              bool secondFlag) {
  std::u16string t = u"(";
  t += funcName;
  t += u" \"";
  t += DoubleBackslashes(drawingPath);
  t += u"\" ";
  t += firstFlag ? u"T " : u"nil ";
  t += secondFlag ? u"T)" : u"nil)";
  return t;
}

std::u16string LoadLispText(std::u16string_view lspPath) {
  return u"(load \"" + DoubleBackslashes(lspPath) + u"\")";
}

std::u16string DoubleClickText(const InsertSettings& s, std::u16string_view drawingPath) {
  if (!s.useLspFlag) return InsertCommandText(drawingPath);
  if (s.useFunc1Flag) return InsertCallText(s.funcName1, drawingPath, s.expFlag, s.purgeFlag);
  return InsertCallText(s.funcName2, drawingPath, s.cutFlag, s.repeatFlag);
}

int InsertItemNumber(std::u16string_view itemName) {
  if (itemName.size() < 4 || itemName[3] < u'0' || itemName[3] > u'9') return 0;
  return itemName[3] - u'0';
}

std::u16string BusyCadWaitText(unsigned waitedSeconds, unsigned boundSeconds) {
  return u"CAD 応答待ち " + Ascii16(std::to_string(waitedSeconds)) + u" / " + Ascii16(std::to_string(boundSeconds)) +
         u" 秒 (Esc で中止)";
}

std::u16string CadNotRunningText(std::u16string_view name) {
  return u"CAD プログラム (" + std::u16string(name) + u") が起動していません";
}

std::u16string AttreqRestoreText(std::optional<int> userValue) {
  const int value = userValue.value_or(1);
  if (value == 0) return {};
  return kCR + (u"ATTREQ " + Ascii16(std::to_string(value)));
}

std::u16string LispFileMissingText(std::u16string_view lspPath) {
  return std::u16string(lspPath) + u"\nLISP ファイルが見つかりません．";
}

std::u16string InsertItemText(int itemNumber, const InsertSettings& s, std::u16string_view drawingPath) {
  if (itemNumber < 7) return InsertCommandText(drawingPath);
  return InsertCallText(itemNumber == 7 ? s.funcName1 : s.funcName2, drawingPath, true, true);
}

std::u16string LispFileFor(std::u16string_view lspName, std::u16string_view programFolderSlash) {
  if (lspName.find_last_of(u"\\:") != std::u16string_view::npos) return std::u16string(lspName);
  return std::u16string(programFolderSlash) + std::u16string(lspName);
}

}  // namespace tesmar
