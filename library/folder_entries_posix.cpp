#include <filesystem>
#include <system_error>

#include "base/strings.h"
#include "library/folder_entries.h"

namespace tesmar {

bool ListFolderEntries(const std::u16string& folder, std::vector<FolderEntry>& entries) {
  entries.clear();
  std::error_code ec;
  std::filesystem::directory_iterator it(PathFromU16(folder), ec), end;
  if (ec) return false;
  for (; !ec && it != end; it.increment(ec)) {
    std::error_code fec;
    if (it->is_symlink(fec) && it->is_directory(fec)) continue;
    entries.push_back(FolderEntry{U16FromPath(it->path().filename()), it->is_directory(fec)});
  }
  return true;
}

std::optional<std::uint64_t> WriteStampOf(const std::u16string& path) {
  std::error_code ec;
  const auto t = std::filesystem::last_write_time(PathFromU16(path), ec);
  if (ec) return std::nullopt;
  return static_cast<std::uint64_t>(t.time_since_epoch().count());
}

}  // namespace tesmar
