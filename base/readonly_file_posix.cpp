#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/readonly_file.h"

namespace tesmar {

FileOpenResult ReadOnlyFile::Open(const std::filesystem::path& file) {
  Close();
  // Without blocking, so that a named pipe cannot hold the program; only regular files are
  // read (a pipe or a device has no end to wait for).
  int fd;
  do fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return FileOpenResult::NotFound;
    if (errno == EBUSY || errno == ETXTBSY) return FileOpenResult::Busy;
    return FileOpenResult::Failed;
  }
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return FileOpenResult::Failed;
  }
  handle_ = fd;
  return FileOpenResult::Ok;
}

bool ReadOnlyFile::Read(void* buffer, std::size_t size, std::size_t& got) {
  got = 0;
  if (handle_ == kNone) return false;
  for (;;) {
    ssize_t n = ::read(static_cast<int>(handle_), buffer, size);
    if (n >= 0) {
      got = static_cast<std::size_t>(n);
      return true;
    }
    if (errno != EINTR) return false;
  }
}

bool ReadOnlyFile::Size(std::uint64_t& size) const {
  struct stat st;
  if (handle_ == kNone || ::fstat(static_cast<int>(handle_), &st) != 0) return false;
  size = static_cast<std::uint64_t>(st.st_size);
  return true;
}

bool ReadOnlyFile::Rewind() { return handle_ != kNone && ::lseek(static_cast<int>(handle_), 0, SEEK_SET) == 0; }

void ReadOnlyFile::Close() {
  if (handle_ != kNone) ::close(static_cast<int>(handle_));
  handle_ = kNone;
}

}  // namespace tesmar
