// ANSI code page of the native build: 932, converted with glibc's iconv ("CP932" is
// Windows' extension of Shift_JIS, the code page of a Japanese Windows).
#include <iconv.h>

#include <cerrno>
#include <mutex>
#include <stdexcept>

#include "base/codepage.h"

namespace tesmar {
namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv cannot convert CP932");
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts all of `in`; an input sequence it cannot convert is replaced by `bad` (in the
  // output encoding) and skipped by `skip` bytes.
  std::string Run(std::string_view in, std::string_view bad, std::size_t skip) {
    std::lock_guard<std::mutex> lock(mutex_);
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::string out(in.size() * 4 + 16, '\0');
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    std::size_t used = 0;
    while (srcLeft > 0) {
      char* dst = out.data() + used;
      std::size_t dstLeft = out.size() - used;
      std::size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      used = out.size() - dstLeft;
      if (r != static_cast<std::size_t>(-1)) break;
      if (errno == E2BIG) {
        out.resize(out.size() * 2);
        continue;
      }
      // EILSEQ or EINVAL (truncated sequence): replace and step over.
      out.replace(used, bad.size(), bad);
      used += bad.size();
      if (out.size() < used + 16) out.resize(out.size() * 2 + 16);
      std::size_t step = std::min(skip, srcLeft);
      src += step;
      srcLeft -= step;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(used);
    return out;
  }

 private:
  iconv_t cd_;
  std::mutex mutex_;
};

}  // namespace

unsigned AnsiCodePage() { return 932; }

std::u16string AnsiToUtf16(std::string_view bytes) {
  // Plain ASCII needs no converter.
  bool ascii = true;
  for (char c : bytes)
    if (static_cast<unsigned char>(c) >= 0x80) { ascii = false; break; }
  if (ascii) return std::u16string(bytes.begin(), bytes.end());
  static Converter conv("UTF-16LE", "CP932");
  static const char kBad[2] = {char(0xFD), char(0xFF)};  // U+FFFD in UTF-16LE
  std::string raw = conv.Run(bytes, std::string_view(kBad, 2), 1);
  std::u16string out(raw.size() / 2, u'\0');
  for (std::size_t i = 0; i < out.size(); ++i)
    out[i] = char16_t(static_cast<unsigned char>(raw[2 * i]) | (static_cast<unsigned char>(raw[2 * i + 1]) << 8));
  return out;
}

std::string Utf16ToAnsi(std::u16string_view text) {
  bool ascii = true;
  for (char16_t c : text)
    if (c >= 0x80) { ascii = false; break; }
  if (ascii) return std::string(text.begin(), text.end());
  static Converter conv("CP932", "UTF-16LE");
  std::string raw(text.size() * 2, '\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    raw[2 * i] = char(text[i] & 0xFF);
    raw[2 * i + 1] = char(text[i] >> 8);
  }
  return conv.Run(raw, "?", 2);
}

}  // namespace tesmar
