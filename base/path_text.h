#pragma once
// A path as message text. Messages are UTF-8 throughout; a path's own narrow form is the ANSI
// code page on Windows, which cannot hold every name.
#include <filesystem>
#include <string>

#include "base/codepage.h"
#include "base/strings.h"

namespace tesmar {

inline std::string PathText(const std::filesystem::path& p) { return Utf16ToUtf8(U16FromPath(p)); }

}  // namespace tesmar
