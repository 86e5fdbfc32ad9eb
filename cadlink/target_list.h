#pragma once
// The list of target CAD programs: rows "display name" TAB "ProgID" kept in the list's sorted
// order (letter case ignored), with one selected row, and the rules by which adding, deleting
// and changing a row move the selection. The dialog shows this list; the file holds its rows.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/textfile.h"

namespace tesmar {

inline constexpr char16_t kTargetListFileName[] = u"TargetCAD_APIVersion.txt";

// A row split at its first TAB: the name before it (empty without a TAB) and the ProgID after
// it (the whole row without a TAB). Nothing is trimmed.
struct TargetRowParts {
  std::u16string name;
  std::u16string progId;
};
TargetRowParts SplitTargetRow(std::u16string_view row);
std::u16string JoinTargetRow(std::u16string_view name, std::u16string_view progId);

// True when the row holds a TAB immediately followed by the ProgID, anywhere in the row, letter
// case included (so a row whose ProgID merely begins with it matches too).
bool RowMatchesTarget(std::u16string_view row, std::u16string_view progId);

// The dialog's line for the current target: its name (when the list has a row for it) and its
// ProgID; "(なし)" for an empty ProgID.
std::u16string CurrentTargetText(std::u16string_view name, std::u16string_view progId);

class TargetList {
 public:
  const std::vector<std::u16string>& Rows() const { return rows_; }
  int Selected() const { return selected_; }  // -1: none
  // The edit fields' texts: set by selecting a row, typed by the user otherwise.
  std::u16string name, progId;

  // Replaces the rows by the lines (sorted), then selects the first matching row in list order
  // and takes its parts into the edit fields; with no match nothing is selected and the edit
  // fields keep their text.
  void Load(const std::vector<std::u16string>& lines, std::u16string_view targetProgId);
  // Selects a row (a click in the list) and takes its parts into the edit fields; -1 selects
  // nothing and leaves the fields.
  void Select(int index);
  // Adds name TAB progId at its sorted place and selects the first row equal to it, ignoring
  // letter case.
  void Add();
  // Deletes the selected row and empties the edit fields; the row that followed is selected,
  // else the one before. False when nothing was selected (nothing changes).
  bool Delete();
  // Replaces the selected row in its place (it is not moved to its sorted place) and keeps it
  // selected. False when nothing was selected.
  bool Change();

 private:
  std::vector<std::u16string> rows_;
  int selected_ = -1;
};

// The file's lines as read, or nothing when the file does not exist. Its encoding is kept in
// `text` so that a save writes the file back the way it came.
bool ReadTargetListFile(const std::u16string& file, TextLines& text);
void WriteTargetListFile(const std::u16string& file, TextLines& text, const std::vector<std::u16string>& rows);

}  // namespace tesmar
