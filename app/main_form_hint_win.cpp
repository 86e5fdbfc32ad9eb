// Handlers of the main window for the hint file: the descriptions of the folder's drawings,
// edited in Notepad and shown while the pointer rests on a cell (library/hint_file.h).
#include <windows.h>

#include "app/main_form_win.h"
#include "base/path_parts.h"
#include "base/strings.h"
#include "base/texts.h"
#include "base/textfile.h"
#include "library/catalogue.h"
#include "library/hint_file.h"

namespace tesmar {
namespace {

std::u16string LocaleText(LCTYPE type, const char16_t* fallback) {
  wchar_t buf[16] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buf, 16) <= 0 || buf[0] == 0) return fallback;
  return FromWide(buf);
}

// The last-write time of a file in local time; false when there is no such file.
bool FileLocalTime(const std::u16string& path, LocalTimeParts& out) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(WidePtr(path), GetFileExInfoStandard, &data)) return false;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  SYSTEMTIME utc, local;
  if (!FileTimeToSystemTime(&data.ftLastWriteTime, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
    return false;
  out = LocalTimeParts{local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
  return true;
}

}  // namespace

std::u16string TTesmarMainForm::HintFilePath() const { return JoinPath(ChosenFolder(), kHintFileName); }

void TTesmarMainForm::N8Click() {
  const std::u16string H = HintFilePath();
  // The folder's drawings; in a search result those of the found drawing's folder.
  std::vector<std::u16string> drawings = ComboBox3().Items();
  if (searching_) {
    if (ComboBox3().ItemIndex() < 0) return;
    drawings = ListDrawingFiles(ChosenFolder(), g_dxfExt);
    SortByNameOrder(drawings);
  }
  // Notepad takes the path as its whole parameter; the quotes keep blanks in it together.
  const std::u16string param = u"\"" + H + u"\"";
  HWND owner = hwnd();
  if (!FileExists(H)) {
    if (drawings.empty()) return;
    if (ui::ShowMessageBox(hwnd(), kHintCreateQuestion, FromWide(ui::kApplicationTitle), MB_ICONQUESTION | MB_YESNO) != IDYES)
      return;
    owner = ComboBox3().hwnd();
  }
  // Another user may be saving the same file: the save waits a few seconds for them, with the
  // busy pointer, and then says what stands in the way in the user's words.
  HCURSOR before = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  try {
    SaveHintFile(PathFromU16(H), drawings);
  } catch (const FileWriteError& e) {
    SetCursor(before);
    ui::ShowMessageBox(hwnd(), HintSaveFailureText(e, H), FromWide(ui::kApplicationTitle), MB_ICONWARNING | MB_OK);
    return;
  }
  SetCursor(before);
  ui::ShellOpen(owner, u"open", u"Notepad", param, u"", SW_SHOWNORMAL);
}

void TTesmarMainForm::ShowHoverText(const ui::ImageBox& cell) {
  if (busy.Busy()) return;  // the running work's status text stays until it ends
  const std::u16string H = HintFilePath();
  std::string bytes;
  if (FileExists(H) && ReadFileBytes(PathFromU16(H), bytes)) {
    // The entry is the bare name, or folder\name in a search result.
    const std::u16string entry = ComboBox3().Text();
    auto description = FindHintDescription(ParseHintFile(bytes).Texts(), HintKeyOfName(FileNamePart(entry, u"\\/")));
    if (description) {
      Edit1().SetText(*description);
      return;
    }
  }
  LocalTimeParts t;
  if (FileLocalTime(ChosenDrawingPath(), t))
    Edit1().SetText(FormatHoverDate(t, LocaleText(LOCALE_SDATE, u"/"), LocaleText(LOCALE_STIME, u":"), cell.Hint()));
}

}  // namespace tesmar
