#pragma once
// What a walk over many folders asks of the file system, each in as few calls as the platform
// allows: the entries of one folder with their kind, and the last-write time of a file or
// folder at the file system's full resolution.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tesmar {

struct FolderEntry {
  std::u16string name;
  bool folder = false;  // a folder, not a link to one (links are not followed)
};

// The entries of `folder` (not descending); false when it cannot be listed.
bool ListFolderEntries(const std::u16string& folder, std::vector<FolderEntry>& entries);

// A number that only needs to compare equal or not: a folder's changes within one second still
// show. Nothing when the file or folder does not exist (or cannot be read).
std::optional<std::uint64_t> WriteStampOf(const std::u16string& path);

}  // namespace tesmar
