#include "base/readonly_file.h"

#include <system_error>

namespace tesmar {

bool IsExistingFile(const std::filesystem::path& file) {
  std::error_code ec;
  auto st = std::filesystem::status(file, ec);
  return !ec && std::filesystem::exists(st) && !std::filesystem::is_directory(st);
}

}  // namespace tesmar
