#include <windows.h>

#include "base/readonly_file.h"

namespace tesmar {

FileOpenResult ReadOnlyFile::Open(const std::filesystem::path& file) {
  Close();
  // Sharing read only: a file that another program has open for writing (the converter still
  // writing it) fails with a sharing violation.
  HANDLE h = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    switch (GetLastError()) {
      case ERROR_FILE_NOT_FOUND:
      case ERROR_PATH_NOT_FOUND: return FileOpenResult::NotFound;
      case ERROR_SHARING_VIOLATION:
      case ERROR_LOCK_VIOLATION: return FileOpenResult::Busy;
      default: return FileOpenResult::Failed;
    }
  }
  handle_ = reinterpret_cast<std::intptr_t>(h);
  return FileOpenResult::Ok;
}

bool ReadOnlyFile::Read(void* buffer, std::size_t size, std::size_t& got) {
  got = 0;
  if (handle_ == kNone) return false;
  const DWORD want = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
  DWORD n = 0;
  if (!ReadFile(reinterpret_cast<HANDLE>(handle_), buffer, want, &n, nullptr)) return false;
  got = n;
  return true;
}

bool ReadOnlyFile::Size(std::uint64_t& size) const {
  LARGE_INTEGER li;
  if (handle_ == kNone || !GetFileSizeEx(reinterpret_cast<HANDLE>(handle_), &li)) return false;
  size = static_cast<std::uint64_t>(li.QuadPart);
  return true;
}

bool ReadOnlyFile::Rewind() {
  return handle_ != kNone && SetFilePointerEx(reinterpret_cast<HANDLE>(handle_), LARGE_INTEGER{}, nullptr, FILE_BEGIN);
}

void ReadOnlyFile::Close() {
  if (handle_ != kNone) CloseHandle(reinterpret_cast<HANDLE>(handle_));
  handle_ = kNone;
}

}  // namespace tesmar
