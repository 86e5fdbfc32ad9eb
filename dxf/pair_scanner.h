#pragma once
// Splits a DXF file into group-code/value line pairs, reading it in large blocks and handing
// out views into its buffer (no copy, no allocation per pair). CR, LF and CR LF each end a
// line; a UTF-8 byte-order mark at the start is skipped; both lines come trimmed of leading
// and trailing blanks and control characters. A line may be of any length (the buffer grows);
// a file that ends after a code line gives that pair with an empty value.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "base/readonly_file.h"

namespace tesmar {

// One pair: both lines trimmed, and the code line as a number when it is one (an optional sign
// and digits that fit 32 bits).
struct DxfPair {
  std::string_view code, value;
  std::int32_t number = 0;
  bool numeric = false;
};

class DxfPairScanner {
 public:
  enum class Result { Pair, End, ReadError };

  explicit DxfPairScanner(ReadOnlyFile& file, std::size_t blockSize = std::size_t{1} << 20);

  // The next pair; its views stay valid until the next call.
  Result Next(DxfPair& pair);

  // The file's first bytes as they are, byte-order mark included: at least `n` of them unless
  // the file is shorter. Only before the scan has left the first block. False on a read error.
  bool PeekStart(std::size_t n, std::string_view& bytes);
  // Starts over at the first pair: from the first block when it is still held (a scan of the
  // header leaves it so), else by reading the file again from its start. False when the file
  // cannot be rewound.
  bool Restart();
  ReadOnlyFile& File() const { return file_; }

 private:
  enum class Line { Taken, Incomplete };
  Line TakeLine(std::size_t& p, std::string_view& line);
  bool TakeQuickCode(std::size_t& p, DxfPair& pair);
  bool TakeShortPair(std::size_t& p, DxfPair& pair);
  bool Fill();  // moves the unread rest to the front and reads more; false on a read error

  ReadOnlyFile& file_;
  std::unique_ptr<char[]> buf_;
  std::size_t capacity_;
  std::size_t pos_ = 0;   // first unread byte
  std::size_t end_ = 0;   // end of the bytes read
  bool eof_ = false;
  bool started_ = false;
  std::uint64_t bufStart_ = 0;  // offset in the file of the buffer's first byte
};

}  // namespace tesmar
