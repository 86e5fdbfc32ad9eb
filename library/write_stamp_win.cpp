#include <windows.h>

#include "base/strings.h"
#include "library/write_stamp.h"

namespace tesmar {

std::optional<std::uint64_t> WriteStampOf(const std::u16string& path) {
  // The C runtime's stat keeps whole seconds only; the attributes carry 100 ns units.
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(WidePtr(path), GetFileExInfoStandard, &data)) return std::nullopt;
  return (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

}  // namespace tesmar
