#include <windows.h>

#include "base/file_lock.h"
#include "base/path_text.h"
#include "base/textfile.h"

namespace tesmar {

bool FileLock::TryLock(const std::filesystem::path& file) {
  Release();
  std::filesystem::path lock = file;
  lock += ".lock";
  // Shared with no one and deleted when the last handle closes, also when the holder ends
  // without letting go.
  HANDLE h = CreateFileW(lock.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    // A lock file that its holder is deleting denies access for a moment, as a held one does.
    if (code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION) return false;
    if (code == ERROR_ACCESS_DENIED) {
      const DWORD attributes = GetFileAttributesW(lock.c_str());
      if (attributes != INVALID_FILE_ATTRIBUTES) return false;
    }
    const bool readOnly = code == ERROR_ACCESS_DENIED || code == ERROR_WRITE_PROTECT || code == ERROR_NETWORK_ACCESS_DENIED;
    throw FileWriteError(readOnly ? WriteFailure::FolderReadOnly : WriteFailure::Other, "cannot create " + PathText(lock));
  }
  handle_ = reinterpret_cast<std::intptr_t>(h);
  lockFile_ = lock;
  return true;
}

void FileLock::Release() {
  if (handle_ != kNone) CloseHandle(reinterpret_cast<HANDLE>(handle_));
  handle_ = kNone;
}

}  // namespace tesmar
