#include <windows.h>

#include <algorithm>
#include <stdexcept>

#include "base/path_text.h"
#include "base/strings.h"
#include "base/textfile.h"

namespace tesmar {
namespace {

// The system's own words for an error code, in the user's language; empty when it has none.
std::u16string SystemText(DWORD code) {
  wchar_t* text = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::u16string out = n && text ? FromWide(std::wstring(text, n)) : std::u16string();
  if (text) LocalFree(text);
  while (!out.empty() && (out.back() == u'\r' || out.back() == u'\n' || out.back() == u' ')) out.pop_back();
  return out;
}

bool IsReadOnlyMedium(DWORD code) {
  return code == ERROR_ACCESS_DENIED || code == ERROR_WRITE_PROTECT || code == ERROR_NETWORK_ACCESS_DENIED ||
         code == ERROR_PRIVILEGE_NOT_HELD;
}

}  // namespace

void CreateNewFile(const std::filesystem::path& file, std::string_view bytes, bool* exists) {
  if (exists) *exists = false;
  HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    if (exists) *exists = code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS;
    throw FileWriteError(IsReadOnlyMedium(code) ? WriteFailure::FolderReadOnly : WriteFailure::Other,
                         "cannot create " + PathText(file), SystemText(code));
  }
  DWORD code = 0;
  for (std::size_t done = 0; done < bytes.size() && !code;) {
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    DWORD wrote = 0;
    if (!WriteFile(h, bytes.data() + done, want, &wrote, nullptr) || wrote == 0) code = GetLastError();
    done += wrote;
  }
  if (!code && !FlushFileBuffers(h)) code = GetLastError();
  CloseHandle(h);
  if (code) {
    DeleteFileW(file.c_str());
    throw FileWriteError(IsReadOnlyMedium(code) ? WriteFailure::FolderReadOnly : WriteFailure::Other,
                         "cannot write " + PathText(file), SystemText(code));
  }
}

void ReplaceFileWith(const std::filesystem::path& source, const std::filesystem::path& target) {
  // A file the user marked read-only is not replaced (Windows refuses; not every file system
  // behind it does).
  const DWORD marked = GetFileAttributesW(target.c_str());
  if (marked != INVALID_FILE_ATTRIBUTES && (marked & FILE_ATTRIBUTE_READONLY))
    throw FileWriteError(WriteFailure::FileReadOnly, "cannot replace " + PathText(target), SystemText(ERROR_ACCESS_DENIED));
  if (MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return;
  const DWORD code = GetLastError();
  WriteFailure failure = WriteFailure::Other;
  if (code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION) {
    failure = WriteFailure::InUse;
  } else if (code == ERROR_ACCESS_DENIED) {
    // A file marked read-only cannot be replaced; otherwise access is denied to a file that
    // another program holds open without letting it be replaced.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    failure = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) ? WriteFailure::FileReadOnly
                                                                                             : WriteFailure::InUse;
  }
  throw FileWriteError(failure, "cannot replace " + PathText(target), SystemText(code));
}

}  // namespace tesmar
