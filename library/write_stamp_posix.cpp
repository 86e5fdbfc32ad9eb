#include <filesystem>
#include <system_error>

#include "base/strings.h"
#include "library/write_stamp.h"

namespace tesmar {

std::optional<std::uint64_t> WriteStampOf(const std::u16string& path) {
  std::error_code ec;
  const auto t = std::filesystem::last_write_time(PathFromU16(path), ec);
  if (ec) return std::nullopt;
  return static_cast<std::uint64_t>(t.time_since_epoch().count());
}

}  // namespace tesmar
