#include <windows.h>

#include <stdexcept>

#include "base/path_text.h"
#include "base/textfile.h"

namespace tesmar {

void ReplaceFileWith(const std::filesystem::path& source, const std::filesystem::path& target) {
  if (!MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    throw std::runtime_error("cannot replace " + PathText(target));
}

}  // namespace tesmar
