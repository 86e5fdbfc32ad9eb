#include "dxf/pair_scanner.h"

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "base/strings.h"
#include "base/textfile.h"
#include "dxf/values.h"

// The per-line steps run for every pair; keep them inside Next().
#if defined(__GNUC__)
#define TESMAR_HOT_INLINE [[gnu::always_inline]] inline
#else
#define TESMAR_HOT_INLINE inline
#endif

namespace tesmar {
namespace {

// The first CR or LF in [q, e), or e. Eight bytes at a time: a byte equal to CR or LF becomes a
// zero byte after the exclusive-or, and the lowest zero byte is exact with the usual bit trick.
TESMAR_HOT_INLINE const char* FindLineEnd(const char* q, const char* const e) {
  static_assert(std::endian::native == std::endian::little);
  constexpr std::uint64_t kOnes = 0x0101010101010101u, kHighs = 0x8080808080808080u;
  while (e - q >= 8) {
    std::uint64_t v;
    std::memcpy(&v, q, 8);
    const std::uint64_t lf = v ^ (kOnes * '\n'), cr = v ^ (kOnes * '\r');
    const std::uint64_t hit = ((lf - kOnes) & ~lf & kHighs) | ((cr - kOnes) & ~cr & kHighs);
    if (hit) return q + (std::countr_zero(hit) >> 3);
    q += 8;
  }
  while (q != e && *q != '\n' && *q != '\r') ++q;
  return q;
}

}  // namespace

DxfPairScanner::DxfPairScanner(ReadOnlyFile& file, std::size_t blockSize)
    : file_(file), buf_(new char[blockSize < 16 ? 16 : blockSize]), capacity_(blockSize < 16 ? 16 : blockSize) {}

bool DxfPairScanner::Fill() {
  if (pos_ > 0) {
    std::memmove(buf_.get(), buf_.get() + pos_, end_ - pos_);
    end_ -= pos_;
    bufStart_ += pos_;
    pos_ = 0;
  }
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

TESMAR_HOT_INLINE DxfPairScanner::Line DxfPairScanner::TakeLine(std::size_t& p, std::string_view& line) {
  const char* b = buf_.get();
  const std::size_t eol = static_cast<std::size_t>(FindLineEnd(b + p, b + end_) - b);
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

TESMAR_HOT_INLINE bool DxfPairScanner::TakeQuickCode(std::size_t& p, DxfPair& pair) {
  const char* const b = buf_.get();
  const char* const e = b + end_;
  const char* q = b + p;
  while (q != e && *q == ' ') ++q;
  const char* const digits = q;
  std::int32_t v = 0;
  while (q != e && q - digits < 9) {
    const unsigned d = static_cast<unsigned char>(*q) - unsigned{'0'};
    if (d > 9) break;
    v = v * 10 + static_cast<std::int32_t>(d);
    ++q;
  }
  if (q == digits || q == e || (*q != '\n' && *q != '\r')) return false;
  std::size_t next = static_cast<std::size_t>(q - b) + 1;
  if (*q == '\r') {
    if (next == end_) return false;  // whether an LF follows is for the general path to find out
    if (b[next] == '\n') ++next;
  }
  pair.code = std::string_view(digits, static_cast<std::size_t>(q - digits));
  pair.number = v;
  pair.numeric = true;
  p = next;
  return true;
}

TESMAR_HOT_INLINE bool DxfPairScanner::TakeShortPair(std::size_t& p, DxfPair& pair) {
#if defined(__SSE2__)
  // Nearly every pair is a code of a few digits and a value of a few bytes, both lines inside
  // the next 32 bytes: two compares find all their line ends at once, where a search per line
  // would spend more on starting and stopping than on the bytes themselves.
  constexpr std::size_t kWindow = 32;
  if (end_ - p < kWindow) return false;
  const char* const s = buf_.get() + p;
  const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
  const __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 16));
  const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
  const auto mask = [](__m128i a, __m128i b) {
    return static_cast<std::uint32_t>(_mm_movemask_epi8(a)) | static_cast<std::uint32_t>(_mm_movemask_epi8(b)) << 16;
  };
  const std::uint32_t crs = mask(_mm_cmpeq_epi8(lo, cr), _mm_cmpeq_epi8(hi, cr));
  const std::uint32_t lfs = mask(_mm_cmpeq_epi8(lo, lf), _mm_cmpeq_epi8(hi, lf));
  const std::uint32_t ends = crs | lfs;
  if (ends == 0) return false;

  // The code line: blanks, then up to nine digits, then its end.
  const unsigned codeEnd = static_cast<unsigned>(std::countr_zero(ends));
  unsigned i = 0;
  while (i < codeEnd && s[i] == ' ') ++i;
  const unsigned digits = i;
  if (i == codeEnd || codeEnd - i > 9) return false;
  std::int32_t v = 0;
  for (; i < codeEnd; ++i) {
    const unsigned d = static_cast<unsigned char>(s[i]) - unsigned{'0'};
    if (d > 9) return false;
    v = v * 10 + static_cast<std::int32_t>(d);
  }
  // CR LF, or a lone CR or LF; whether an LF follows the last byte of the window is not known.
  const auto lineAfter = [&](unsigned at) -> unsigned {
    if (!(crs >> at & 1)) return at + 1;
    if (at + 1 == kWindow) return 0;
    return at + 1 + (lfs >> (at + 1) & 1);
  };
  const unsigned valueStart = lineAfter(codeEnd);
  if (valueStart == 0 || valueStart >= kWindow) return false;
  const std::uint32_t valueEnds = ends >> valueStart << valueStart;
  if (valueEnds == 0) return false;
  const unsigned valueEnd = static_cast<unsigned>(std::countr_zero(valueEnds));
  const unsigned next = lineAfter(valueEnd);
  if (next == 0) return false;

  pair.code = std::string_view(s + digits, codeEnd - digits);
  pair.number = v;
  pair.numeric = true;
  pair.value = TrimBlanks(std::string_view(s + valueStart, valueEnd - valueStart));
  p += next;
  return true;
#else
  (void)p;
  (void)pair;
  return false;
#endif
}

bool DxfPairScanner::PeekStart(std::size_t n, std::string_view& bytes) {
  bytes = {};
  if (bufStart_ != 0) return false;
  while (!eof_ && end_ < n)
    if (!Fill()) return false;
  bytes = std::string_view(buf_.get(), end_);
  return true;
}

bool DxfPairScanner::Restart() {
  started_ = false;
  pos_ = 0;
  if (bufStart_ == 0) return true;
  end_ = 0;
  bufStart_ = 0;
  eof_ = false;
  return file_.Rewind();
}

DxfPairScanner::Result DxfPairScanner::Next(DxfPair& pair) {
  if (!started_) {
    started_ = true;
    while (!eof_ && end_ < 3)
      if (!Fill()) return Result::ReadError;
    const ByteOrderMark bom = DetectByteOrderMark(std::string_view(buf_.get(), end_));
    if (bom.encoding == TextEncoding::Utf8) pos_ = bom.mark.size();
  }
  for (;;) {
    if (pos_ == end_) {
      if (eof_) return Result::End;
      if (!Fill()) return Result::ReadError;
      continue;
    }
    std::size_t p = pos_;
    if (TakeShortPair(p, pair)) {
      pos_ = p;
      return Result::Pair;
    }
    // Code lines are nearly always blanks, a few digits and the line end: the number is read on
    // the way; anything else takes the general path.
    const bool quick = TakeQuickCode(p, pair);
    if (!quick && TakeLine(p, pair.code) == Line::Incomplete) {
      if (!Fill()) return Result::ReadError;
      continue;
    }
    if (p == end_ && eof_) {
      pair.value = {};
    } else if (TakeLine(p, pair.value) == Line::Incomplete) {
      if (!Fill()) return Result::ReadError;
      continue;
    }
    pos_ = p;
    if (!quick) {
      pair.code = TrimBlanks(pair.code);
      pair.numeric = ParseDxfInt(pair.code, pair.number);
    }
    pair.value = TrimBlanks(pair.value);
    return Result::Pair;
  }
}

}  // namespace tesmar
