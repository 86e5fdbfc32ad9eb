#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/file_lock.h"
#include "base/path_text.h"
#include "base/textfile.h"

namespace tesmar {

bool FileLock::TryLock(const std::filesystem::path& file) {
  Release();
  std::filesystem::path lock = file;
  lock += ".lock";
  for (;;) {
    const int fd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
      const int code = errno;
      throw FileWriteError(code == EACCES || code == EROFS || code == EPERM ? WriteFailure::FolderReadOnly
                                                                             : WriteFailure::Other,
                           "cannot create " + PathText(lock));
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      ::close(fd);
      return false;
    }
    // The holder before unlinks the file as it lets go: a lock on an unlinked file is no lock.
    struct stat held, named;
    if (::fstat(fd, &held) == 0 && ::stat(lock.c_str(), &named) == 0 && held.st_ino == named.st_ino &&
        held.st_dev == named.st_dev) {
      handle_ = fd;
      lockFile_ = lock;
      return true;
    }
    ::close(fd);
  }
}

void FileLock::Release() {
  if (handle_ == kNone) return;
  ::unlink(lockFile_.c_str());
  ::close(static_cast<int>(handle_));
  handle_ = kNone;
}

}  // namespace tesmar
