#include "dxf/pair_scanner.h"

#include <cstring>

namespace tesmar {

DxfPairScanner::DxfPairScanner(ReadOnlyFile& file, std::size_t blockSize)
    : file_(file), buf_(new char[blockSize < 16 ? 16 : blockSize]), capacity_(blockSize < 16 ? 16 : blockSize) {}

bool DxfPairScanner::Fill() {
  if (pos_ > 0) {
    std::memmove(buf_.get(), buf_.get() + pos_, end_ - pos_);
    end_ -= pos_;
    pos_ = 0;
  }
  lfKnown_ = false;
  if (end_ == capacity_) {  // one line fills the whole buffer: make room
    std::size_t bigger = capacity_ * 2;
    std::unique_ptr<char[]> grown(new char[bigger]);
    std::memcpy(grown.get(), buf_.get(), end_);
    buf_ = std::move(grown);
    capacity_ = bigger;
  }
  std::size_t got = 0;
  if (!file_.Read(buf_.get() + end_, capacity_ - end_, got)) return false;
  if (got == 0) eof_ = true;
  end_ += got;
  return true;
}

DxfPairScanner::Line DxfPairScanner::TakeLine(std::size_t& p, std::string_view& line) {
  const char* b = buf_.get();
  // The next LF is searched once and remembered, so that files whose lines end in CR alone
  // are not searched again for every line.
  if (!lfKnown_ || nextLf_ < p) {
    const void* lf = std::memchr(b + p, '\n', end_ - p);
    nextLf_ = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - b) : end_;
    lfKnown_ = true;
  }
  std::size_t eol = nextLf_;
  if (const void* cr = std::memchr(b + p, '\r', eol - p)) eol = static_cast<std::size_t>(static_cast<const char*>(cr) - b);
  if (eol == end_) {  // no line end in the buffer
    if (!eof_) return Line::Incomplete;
    line = std::string_view(b + p, end_ - p);
    p = end_;
    return Line::Taken;
  }
  std::size_t next = eol + 1;
  if (b[eol] == '\r') {
    if (next == end_ && !eof_) return Line::Incomplete;  // an LF may follow in the next block
    if (next < end_ && b[next] == '\n') ++next;
  }
  line = std::string_view(b + p, eol - p);
  p = next;
  return Line::Taken;
}

DxfPairScanner::Result DxfPairScanner::Next(std::string_view& code, std::string_view& value) {
  if (!started_) {
    started_ = true;
    while (!eof_ && end_ < 3)
      if (!Fill()) return Result::ReadError;
    if (end_ >= 3 && std::memcmp(buf_.get(), "\xEF\xBB\xBF", 3) == 0) pos_ = 3;
  }
  for (;;) {
    if (pos_ == end_) {
      if (eof_) return Result::End;
      if (!Fill()) return Result::ReadError;
      continue;
    }
    std::size_t p = pos_;
    if (TakeLine(p, code) == Line::Incomplete) {
      if (!Fill()) return Result::ReadError;
      continue;
    }
    if (p == end_ && eof_) {
      value = {};
    } else if (TakeLine(p, value) == Line::Incomplete) {
      if (!Fill()) return Result::ReadError;
      continue;
    }
    pos_ = p;
    code = TrimDxfLine(code);
    value = TrimDxfLine(value);
    return Result::Pair;
  }
}

}  // namespace tesmar
