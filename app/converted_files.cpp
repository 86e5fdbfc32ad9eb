#include "app/converted_files.h"

#include <algorithm>
#include <system_error>

namespace tesmar {

std::optional<DrawingStamp> StampOf(const std::filesystem::path& file) {
  std::error_code ec;
  DrawingStamp s;
  s.file = file;
  s.written = std::filesystem::last_write_time(file, ec);
  if (ec) return std::nullopt;
  s.size = std::filesystem::file_size(file, ec);
  if (ec) return std::nullopt;
  return s;
}

void ConvertedFiles::Record(const std::filesystem::path& file) {
  if (std::find(files_.begin(), files_.end(), file) == files_.end()) {
    files_.push_back(file);
    sources_.emplace_back();
  }
}

void ConvertedFiles::Record(const std::filesystem::path& file, const DrawingStamp& source) {
  Record(file);
  const auto i = std::find(files_.begin(), files_.end(), file) - files_.begin();
  sources_[i] = source;
}

void ConvertedFiles::RecordFolder(const std::filesystem::path& folder) {
  if (std::find(folders_.begin(), folders_.end(), folder) == folders_.end()) folders_.push_back(folder);
}

bool ConvertedFiles::Made(const std::filesystem::path& file) const {
  return std::find(files_.begin(), files_.end(), file) != files_.end();
}

bool ConvertedFiles::MadeFrom(const std::filesystem::path& file, const DrawingStamp& source) const {
  const auto it = std::find(files_.begin(), files_.end(), file);
  if (it == files_.end()) return false;
  const auto& recorded = sources_[it - files_.begin()];
  std::error_code ec;
  return recorded && *recorded == source && std::filesystem::exists(file, ec);
}

int ConvertedFiles::DeleteAll() {
  int deleted = 0;
  for (const auto& f : files_) {
    std::error_code ec;
    if (std::filesystem::remove(f, ec)) ++deleted;
  }
  // The folders made last go first: one may lie inside another.
  for (auto it = folders_.rbegin(); it != folders_.rend(); ++it) {
    const auto& d = *it;
    std::error_code ec;
    if (std::filesystem::is_empty(d, ec) && !ec) std::filesystem::remove(d, ec);
  }
  files_.clear();
  sources_.clear();
  folders_.clear();
  return deleted;
}

}  // namespace tesmar
