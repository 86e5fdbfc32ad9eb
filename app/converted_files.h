#pragma once
// The DXF files that the program's own conversions wrote. Only these are deleted at exit: a
// DXF file the user keeps in the program folder is never touched. Each file remembers the
// drawing it was made from, as that drawing stood then, so that it is shown again only for
// the same, unchanged drawing.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace tesmar {

// A drawing file as it stands: its path, last-write time and size.
struct DrawingStamp {
  std::filesystem::path file;
  std::filesystem::file_time_type written{};
  std::uintmax_t size = 0;
  bool operator==(const DrawingStamp&) const = default;
};

// The stamp of an existing file; nothing when it does not exist or cannot be read.
std::optional<DrawingStamp> StampOf(const std::filesystem::path& file);

class ConvertedFiles {
 public:
  // Notes a file that a conversion of this run created (once per path).
  void Record(const std::filesystem::path& file);
  // Notes a file that a conversion of this run created from `source`; a later conversion into
  // the same file replaces the note.
  void Record(const std::filesystem::path& file, const DrawingStamp& source);
  // True when the program made `file`.
  bool Made(const std::filesystem::path& file) const;
  // True when the program made `file` from `source` as it stands now and the file still exists.
  bool MadeFrom(const std::filesystem::path& file, const DrawingStamp& source) const;
  // Notes a folder that the program made for its conversions; removed at the end when empty.
  void RecordFolder(const std::filesystem::path& folder);
  const std::vector<std::filesystem::path>& Files() const { return files_; }
  // Deletes every noted file, then every noted folder that is empty, the last noted first (a
  // folder may lie in an earlier one); a file that is gone or
  // cannot be deleted is skipped silently. Returns how many files were deleted.
  int DeleteAll();

 private:
  std::vector<std::filesystem::path> files_;
  std::vector<std::optional<DrawingStamp>> sources_;  // parallel to files_
  std::vector<std::filesystem::path> folders_;
};

}  // namespace tesmar
