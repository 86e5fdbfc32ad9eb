// The platform-independent conversions: UTF-8 and UTF-16 byte orders. ANSI lives in
// codepage_win.cpp / codepage_posix.cpp.
#include "base/codepage.h"

#include <cstdint>

namespace tesmar {

std::u16string Utf8ToUtf16(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  std::size_t i = 0;
  while (i < n) {
    unsigned c = p[i];
    if (c < 0x80) {
      out.push_back(char16_t(c));
      ++i;
      continue;
    }
    int extra = 0;
    std::uint32_t cp = 0, min = 0;
    if ((c & 0xE0) == 0xC0) extra = 1, cp = c & 0x1F, min = 0x80;
    else if ((c & 0xF0) == 0xE0) extra = 2, cp = c & 0x0F, min = 0x800;
    else if ((c & 0xF8) == 0xF0) extra = 3, cp = c & 0x07, min = 0x10000;
    else {
      out.push_back(u'\uFFFD');
      ++i;
      continue;
    }
    int k = 1;
    for (; k <= extra && i + k < n; ++k) {
      unsigned d = p[i + k];
      if ((d & 0xC0) != 0x80) break;
      cp = (cp << 6) | (d & 0x3F);
    }
    if (k <= extra) {
      // Cut short by the end or by a byte that is not a continuation: one replacement for the
      // bytes read so far, and decoding goes on at the byte that broke the sequence.
      out.push_back(u'\uFFFD');
      i += static_cast<std::size_t>(k);
      continue;
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out.push_back(u'\uFFFD');
      ++i;
      continue;
    }
    i += extra + 1;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(char16_t(0xD800 + (cp >> 10)));
      out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(char16_t(cp));
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::uint32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;  // lone surrogate
    }
    if (c < 0x80) {
      out.push_back(char(c));
    } else if (c < 0x800) {
      out.push_back(char(0xC0 | (c >> 6)));
      out.push_back(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(char(0xE0 | (c >> 12)));
      out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(char(0x80 | (c & 0x3F)));
    } else {
      out.push_back(char(0xF0 | (c >> 18)));
      out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(char(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

bool FitsAnsiCodePage(std::u16string_view text) {
  for (char16_t c : text)
    if (c >= 0x80) return AnsiToUtf16(Utf16ToAnsi(text)) == text;
  return true;
}

std::size_t Cp932ByteLength(std::u16string_view text) {
  // Single-byte in 932: ASCII (and the backslash/tilde positions) and half-width katakana.
  std::size_t n = 0;
  for (char16_t c : text) n += (c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F)) ? 1 : 2;
  return n;
}

std::u16string DecodeText(std::string_view bytes, TextEncoding enc) {
  switch (enc) {
    case TextEncoding::Ansi: return AnsiToUtf16(bytes);
    case TextEncoding::Utf8: return Utf8ToUtf16(bytes);
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE: {
      std::u16string out(bytes.size() / 2, u'\0');
      const bool le = enc == TextEncoding::Utf16LE;
      for (std::size_t i = 0; i < out.size(); ++i) {
        auto a = static_cast<unsigned char>(bytes[2 * i]), b = static_cast<unsigned char>(bytes[2 * i + 1]);
        out[i] = le ? char16_t(a | (b << 8)) : char16_t((a << 8) | b);
      }
      if (bytes.size() % 2 != 0) out.push_back(u'\uFFFD');  // a last byte without its pair
      return out;
    }
  }
  return {};
}

std::string EncodeText(std::u16string_view text, TextEncoding enc) {
  switch (enc) {
    case TextEncoding::Ansi: return Utf16ToAnsi(text);
    case TextEncoding::Utf8: return Utf16ToUtf8(text);
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE: {
      std::string out;
      out.reserve(text.size() * 2);
      const bool le = enc == TextEncoding::Utf16LE;
      for (char16_t c : text) {
        char lo = char(c & 0xFF), hi = char(c >> 8);
        out.push_back(le ? lo : hi);
        out.push_back(le ? hi : lo);
      }
      return out;
    }
  }
  return {};
}

}  // namespace tesmar
