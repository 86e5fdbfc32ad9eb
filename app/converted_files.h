#pragma once
// The DXF files that the program's own conversions wrote into the program folder. Only these
// are deleted at exit: a DXF file the user keeps in the program folder is never touched.
#include <filesystem>
#include <vector>

namespace tesmar {

class ConvertedFiles {
 public:
  // Notes a file that a conversion of this run created (once per path).
  void Record(const std::filesystem::path& file);
  const std::vector<std::filesystem::path>& Files() const { return files_; }
  // Deletes every noted file; a file that is gone or cannot be deleted is skipped silently.
  // Returns how many were deleted.
  int DeleteAll();

 private:
  std::vector<std::filesystem::path> files_;
};

}  // namespace tesmar
