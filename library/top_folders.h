#pragma once
// The registered top folders and the chosen one, held by the program itself. ComboBox1 shows
// them and is never read back: a control can lose its list (its dropped part is a window of
// its own that can be closed from outside) or be gone at exit.
#include <string>
#include <string_view>
#include <vector>

namespace tesmar {

class TopFolders {
 public:
  // The lines of the top-folder list, as they stand, in the one name order; none chosen.
  void Load(std::vector<std::u16string> lines);
  const std::vector<std::u16string>& Folders() const { return folders_; }
  bool Empty() const { return folders_.empty(); }
  // The entry equal to `folder` ignoring letter case; -1 when there is none.
  int Find(std::u16string_view folder) const;
  // Registers a folder in its place of the order and returns its index; -1 (and nothing
  // changes) when an equal entry exists.
  int Add(const std::u16string& folder);
  // Removes an entry; entry 0 is chosen when entries remain, none otherwise.
  void Remove(int index);
  void Choose(int index);
  int ChosenIndex() const { return chosen_; }
  std::u16string Chosen() const;  // empty when none is chosen
  // Whether the list is to be written at exit: an empty list replaces the file only when the
  // user removed every folder.
  bool ShouldWrite() const { return !folders_.empty() || removedAll_; }

 private:
  std::vector<std::u16string> folders_;
  int chosen_ = -1;
  bool removedAll_ = false;
};

}  // namespace tesmar
