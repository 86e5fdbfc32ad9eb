#pragma once
// The last-write time of a file or folder at the file system's full resolution, as a number
// that only needs to compare equal or not: a folder's changes within one second still show.
#include <cstdint>
#include <optional>
#include <string>

namespace tesmar {

// Nothing when the file or folder does not exist (or cannot be read).
std::optional<std::uint64_t> WriteStampOf(const std::u16string& path);

}  // namespace tesmar
