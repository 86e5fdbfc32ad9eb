#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/path_text.h"
#include "base/textfile.h"

namespace tesmar {
namespace {

std::u16string SystemText(int code) { return Utf8ToUtf16(std::strerror(code)); }

bool IsReadOnlyMedium(int code) { return code == EACCES || code == EROFS || code == EPERM; }

}  // namespace

void CreateNewFile(const std::filesystem::path& file, std::string_view bytes, bool* exists) {
  if (exists) *exists = false;
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) {
    const int code = errno;
    if (exists) *exists = code == EEXIST;
    throw FileWriteError(IsReadOnlyMedium(code) ? WriteFailure::FolderReadOnly : WriteFailure::Other,
                         "cannot create " + PathText(file), SystemText(code));
  }
  int code = 0;
  for (std::size_t done = 0; done < bytes.size() && !code;) {
    const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) code = wrote < 0 ? errno : EIO;
    else done += static_cast<std::size_t>(wrote);
  }
  if (!code && ::fsync(fd) != 0 && errno != EINVAL) code = errno;
  ::close(fd);
  if (code) {
    ::unlink(file.c_str());
    throw FileWriteError(IsReadOnlyMedium(code) ? WriteFailure::FolderReadOnly : WriteFailure::Other,
                         "cannot write " + PathText(file), SystemText(code));
  }
}

void ReplaceFileWith(const std::filesystem::path& source, const std::filesystem::path& target) {
  // rename(2) replaces the target atomically.
  if (std::rename(source.c_str(), target.c_str()) == 0) return;
  const int code = errno;
  throw FileWriteError(code == ETXTBSY || code == EBUSY ? WriteFailure::InUse : WriteFailure::Other,
                       "cannot replace " + PathText(target), SystemText(code));
}

}  // namespace tesmar
