#pragma once
// A file opened for reading as raw bytes, read in blocks. Opening tells a missing file and a
// file that another program holds open for writing apart from other failures.
#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace tesmar {

enum class FileOpenResult { Ok, NotFound, Busy, Failed };

class ReadOnlyFile {
 public:
  ReadOnlyFile() = default;
  ~ReadOnlyFile() { Close(); }
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

  // Opens the file for reading; other programs may read it meanwhile but not write it (a file
  // that another program is writing gives Busy where the platform reports it).
  FileOpenResult Open(const std::filesystem::path& file);
  // Reads up to `size` bytes into `buffer`; `got` is 0 at the end of the file. False on a read
  // error.
  bool Read(void* buffer, std::size_t size, std::size_t& got);
  // Size of the file in bytes; false when the platform cannot tell.
  bool Size(std::uint64_t& size) const;
  // Goes back to the first byte; false when the platform cannot.
  bool Rewind();
  void Close();

 private:
  static constexpr std::intptr_t kNone = -1;
  std::intptr_t handle_ = kNone;
};

// True when `file` names an existing file that is not a folder (never throws).
bool IsExistingFile(const std::filesystem::path& file);

}  // namespace tesmar
