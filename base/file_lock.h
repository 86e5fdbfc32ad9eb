#pragma once
// A lock that processes take before they change a shared file: a lock file beside it
// ("<file>.lock"), held open exclusively and gone when the holder lets go or ends.
#include <cstdint>
#include <filesystem>

namespace tesmar {

class FileLock {
 public:
  FileLock() = default;
  ~FileLock() { Release(); }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  // Takes the lock of `file`; false while another holder has it. Throws FileWriteError
  // (base/textfile.h) when the lock file cannot be created at all (a read-only folder).
  bool TryLock(const std::filesystem::path& file);
  void Release();
  bool Held() const { return handle_ != kNone; }

 private:
  static constexpr std::intptr_t kNone = -1;
  std::intptr_t handle_ = kNone;
  std::filesystem::path lockFile_;
};

}  // namespace tesmar
