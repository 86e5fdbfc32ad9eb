#pragma once
// The command texts handed to the CAD program: inserting a drawing with the program's own
// insert command, inserting it by calling a LISP function, and loading a LISP file. The texts
// carry no final carriage return; the sending adds one.
#include <optional>
#include <string>
#include <string_view>

namespace tesmar {

inline constexpr char16_t kCR = u'\r';

// The settings that decide what an insert sends (held by the main window, edited in the
// insert settings dialog).
struct InsertSettings {
  // Out of the box the CAD program's own insert command: the LISP functions need a file that
  // does not come with the program.
  bool useLspFlag = false;
  bool useFunc1Flag = false;
  bool useFunc2Flag = true;  // shown in the dialog; function 2 is used whenever function 1 is not
  bool expFlag = false;
  bool purgeFlag = false;
  bool cutFlag = true;
  bool repeatFlag = true;
  std::u16string funcName1 = u"kvo_dxfIn_exp";
  std::u16string funcName2 = u"kvo_dxfIn_cut";
  std::u16string lspName = u"MERIDOX410.lsp";
  bool operator==(const InsertSettings&) const = default;
};

// Every '\' doubled, as a LISP string literal needs it; nothing else is escaped.
std::u16string DoubleBackslashes(std::u16string_view path);

// "ATTREQ 0" CR "-INSERT" CR '"' path '"' CR "S 1 R 0": the path exactly as it is.
std::u16string InsertCommandText(std::u16string_view drawingPath);

// "(" function ' ' '"' path-with-doubled-backslashes '"' ' ' ("T " | "nil ") ("T)" | "nil)").
std::u16string InsertCallText(std::u16string_view funcName, std::u16string_view drawingPath, bool firstFlag,
                              bool secondFlag);

// "(load " '"' path-with-doubled-backslashes '"' ")".
std::u16string LoadLispText(std::u16string_view lspPath);

// What a double-click on a preview sends: the command text when LISP is off, else the call of
// function 1 (with the explode and purge flags) or function 2 (with the cut and repeat flags).
std::u16string DoubleClickText(const InsertSettings& s, std::u16string_view drawingPath);

// The number of an insert menu item: its name's fourth character as a digit ("CAD6" -> 6),
// 0 when that is not a digit or the name is shorter.
int InsertItemNumber(std::u16string_view itemName);

// What an insert menu item sends: below 7 the command text whatever the settings say; 7 the call
// of function 1 and otherwise the call of function 2, both flags true.
std::u16string InsertItemText(int itemNumber, const InsertSettings& s, std::u16string_view drawingPath);

// The status word while a busy CAD program is waited for: the seconds waited and the bound,
// and the key that gives up. Short enough for the status field of the smallest palette.
std::u16string BusyCadWaitText(unsigned waitedSeconds, unsigned boundSeconds);
// The status word once the user gave up the wait.
inline constexpr char16_t kCadWaitCancelledText[] = u"CAD への送信を中止しました";
// The status word for a command while the target CAD program does not run; `name` is its name
// in the target list, else its ProgID.
std::u16string CadNotRunningText(std::u16string_view name);

// The end of an insert command line that puts ATTREQ back to the user's value (the insert set it
// to 0): CR "ATTREQ " and the value; nothing when the value was 0; 1 when it is not known.
std::u16string AttreqRestoreText(std::optional<int> userValue);

// The message for a LISP file to load that does not exist.
std::u16string LispFileMissingText(std::u16string_view lspPath);

// The LISP file to load: lspName itself when it has a folder part (anything up to a last '\' or
// ':'), otherwise the program folder (with its trailing '\') followed by lspName.
std::u16string LispFileFor(std::u16string_view lspName, std::u16string_view programFolderSlash);

}  // namespace tesmar

namespace tesmar {

// The caption of the LISP load menu item after the settings dialog: "ロード " and the whole name.
inline std::u16string LispLoadCaption(std::u16string_view lspName) { return u"ロード " + std::u16string(lspName); }

}  // namespace tesmar
