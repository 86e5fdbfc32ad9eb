#pragma once
// The drawings of a whole top folder as a search reads them: every folder below it with its
// drawings and the descriptions of its hint file. Read once, then kept: a later search walks
// the folders again but reads a folder anew only when its write time or its hint file's write
// time changed, and takes the rest from what it read before.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tesmar {

// A found drawing: its folder relative to the top folder ("" for the top folder itself) and
// its file name.
struct FoundDrawing {
  std::u16string folder;
  std::u16string name;
  // "folder\name" (the name alone in the top folder), as the drawing list shows it.
  std::u16string RelativePath() const;
  bool operator==(const FoundDrawing&) const = default;
};

struct IndexWalk {
  int folders = 0;        // folders walked
  int foldersRead = 0;    // read anew (the others reused)
  int drawings = 0;       // drawings in the folders walked
  bool cancelled = false;
};

class SearchIndex {
 public:
  // Called after each folder with the folders done and the folders known so far; false stops
  // the walk (the folders read so far stay for the next one).
  using Progress = std::function<bool(int done, int known)>;

  // Brings the index up to date with `top` and the drawing extension `ext` (another top
  // folder or extension starts afresh). Folders are walked parents first; links are not
  // followed.
  IndexWalk Refresh(std::u16string_view top, std::u16string_view ext, const Progress& progress);

  // The drawings that match `text` (SearchQuery), ordered by folder and then by name in the
  // program's one name order.
  std::vector<FoundDrawing> Find(std::u16string_view text) const;

  // The description of a drawing as its folder's hint file gives it; empty when none.
  std::u16string DescriptionOf(const FoundDrawing& drawing) const;

  const std::u16string& Top() const { return top_; }
  void Clear();

 private:
  struct Drawing {
    std::u16string name, description, foldedName, foldedDescription;
  };
  struct Folder {
    std::uint64_t written = 0;
    std::optional<std::uint64_t> hintWritten;  // nothing without a hint file
    std::vector<std::u16string> children;  // names of the folders in it
    std::vector<Drawing> drawings;         // in name order
  };
  void Read(const std::u16string& relative, Folder& folder) const;
  void Order();

  std::u16string top_, ext_;
  std::map<std::u16string, Folder> folders_;  // by relative path
  std::vector<std::pair<const std::u16string*, const Drawing*>> ordered_;  // folder, drawing
};

}  // namespace tesmar
