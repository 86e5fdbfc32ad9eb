#include <windows.h>

#include "base/path_parts.h"
#include "base/strings.h"
#include "library/folder_entries.h"

namespace tesmar {

bool ListFolderEntries(const std::u16string& folder, std::vector<FolderEntry>& entries) {
  entries.clear();
  if (folder.empty()) return false;
  // The kind of each entry comes with its name: no call per entry (the C runtime's directory
  // reading asks for each entry's attributes again).
  const std::u16string pattern = JoinPath(folder, u"*");
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileExW(WidePtr(pattern), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                 FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) return false;
  do {
    const std::u16string name(reinterpret_cast<const char16_t*>(data.cFileName));
    if (name == u"." || name == u"..") continue;
    const bool directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const bool link = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (directory && link) continue;
    entries.push_back(FolderEntry{name, directory});
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return true;
}

std::optional<std::uint64_t> WriteStampOf(const std::u16string& path) {
  // The C runtime's stat keeps whole seconds only; the attributes carry 100 ns units.
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(WidePtr(path), GetFileExInfoStandard, &data)) return std::nullopt;
  return (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

}  // namespace tesmar
