#include <cstdio>
#include <stdexcept>

#include "base/path_text.h"
#include "base/textfile.h"

namespace tesmar {

void ReplaceFileWith(const std::filesystem::path& source, const std::filesystem::path& target) {
  // rename(2) replaces the target atomically.
  if (std::rename(source.c_str(), target.c_str()) != 0)
    throw std::runtime_error("cannot replace " + PathText(target));
}

}  // namespace tesmar
