#include "app/converted_files.h"

#include <algorithm>
#include <system_error>

namespace tesmar {

void ConvertedFiles::Record(const std::filesystem::path& file) {
  if (std::find(files_.begin(), files_.end(), file) == files_.end()) files_.push_back(file);
}

int ConvertedFiles::DeleteAll() {
  int deleted = 0;
  for (const auto& f : files_) {
    std::error_code ec;
    if (std::filesystem::remove(f, ec)) ++deleted;
  }
  files_.clear();
  return deleted;
}

}  // namespace tesmar
