#include "base/textfile.h"

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "base/path_text.h"

namespace tesmar {
namespace {

// Splits decoded text at CR LF, LF or CR.
void SplitLines(std::u16string_view text, TextLines& out) {
  std::size_t start = 0;
  out.finalLineEnd = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c != u'\r' && c != u'\n') continue;
    out.lines.emplace_back(text.substr(start, i - start));
    if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) {
    out.lines.emplace_back(text.substr(start));
  } else if (!text.empty()) {
    out.finalLineEnd = true;
  }
  if (text.empty()) out.finalLineEnd = true;
}

}  // namespace

std::string_view ByteOrderMarkOf(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8: return "\xEF\xBB\xBF";
    case TextEncoding::Utf16LE: return "\xFF\xFE";
    case TextEncoding::Utf16BE: return "\xFE\xFF";
    case TextEncoding::Ansi: break;
  }
  return {};
}

ByteOrderMark DetectByteOrderMark(std::string_view bytes) {
  for (TextEncoding e : {TextEncoding::Utf8, TextEncoding::Utf16LE, TextEncoding::Utf16BE}) {
    const std::string_view mark = ByteOrderMarkOf(e);
    if (bytes.substr(0, mark.size()) == mark) return {e, mark};
  }
  return {};
}

bool IsNonAsciiUtf8(std::string_view bytes) {
  bool nonAscii = false;
  const std::size_t n = bytes.size();
  for (std::size_t i = 0; i < n;) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    nonAscii = true;
    std::size_t length;
    char32_t value, least;
    if (c >= 0xC2 && c <= 0xDF) length = 2, value = c & 0x1F, least = 0x80;
    else if (c >= 0xE0 && c <= 0xEF) length = 3, value = c & 0x0F, least = 0x800;
    else if (c >= 0xF0 && c <= 0xF4) length = 4, value = c & 0x07, least = 0x10000;
    else return false;
    if (n - i < length) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const unsigned char t = static_cast<unsigned char>(bytes[i + k]);
      if ((t & 0xC0) != 0x80) return false;
      value = (value << 6) | (t & 0x3F);
    }
    if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
    i += length;
  }
  return nonAscii;
}

ByteOrderMark DetectTextEncoding(std::string_view bytes) {
  ByteOrderMark bom = DetectByteOrderMark(bytes);
  if (bom.mark.empty() && IsNonAsciiUtf8(bytes)) bom.encoding = TextEncoding::Utf8;
  return bom;
}

TextLines ParseTextLines(std::string_view bytes) {
  TextLines t;
  const ByteOrderMark bom = DetectTextEncoding(bytes);
  t.encoding = bom.encoding, t.bom = !bom.mark.empty();
  bytes.remove_prefix(bom.mark.size());
  SplitLines(DecodeText(bytes, t.encoding), t);
  return t;
}

std::string FormatTextLines(const TextLines& text) {
  std::u16string all;
  for (std::size_t i = 0; i < text.lines.size(); ++i) {
    all += text.lines[i];
    if (i + 1 < text.lines.size() || text.finalLineEnd) all += u"\r\n";
  }
  TextEncoding encoding = text.encoding;
  bool bom = text.bom;
  if (encoding == TextEncoding::Ansi && !FitsAnsiCodePage(all)) encoding = TextEncoding::Utf8, bom = true;
  std::string out;
  if (bom) out = ByteOrderMarkOf(encoding);
  out += EncodeText(all, encoding);
  return out;
}

bool ReadFileBytes(const std::filesystem::path& file, std::string& out) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  out.assign(std::istreambuf_iterator<char>(in), {});
  return !in.bad();
}

bool ReadTextLines(const std::filesystem::path& file, TextLines& out) {
  std::string bytes;
  if (!ReadFileBytes(file, bytes)) {
    out = TextLines{};
    return false;
  }
  out = ParseTextLines(bytes);
  return true;
}

bool ReadExistingTextLines(const std::filesystem::path& file, TextLines& out) {
  std::error_code ec;
  const auto type = std::filesystem::status(file, ec).type();
  if (type == std::filesystem::file_type::not_found) {
    out = TextLines{};
    return false;
  }
  // A folder or device in the file's place is not an empty list either.
  if (ec || type != std::filesystem::file_type::regular || !ReadTextLines(file, out))
    throw std::runtime_error("cannot read " + PathText(file));
  return true;
}

std::filesystem::path TemporaryFileBeside(const std::filesystem::path& file) {
  std::random_device rd;
  std::filesystem::path tmp = file;
  tmp += ".tmp" + std::to_string(rd() % 100000);
  return tmp;
}

void WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes) {
  // A name that another writer has taken is never written over: a new one is drawn.
  std::filesystem::path tmp;
  for (int attempt = 0;; ++attempt) {
    tmp = TemporaryFileBeside(file);
    bool exists = false;
    try {
      CreateNewFile(tmp, bytes, &exists);
      break;
    } catch (const FileWriteError&) {
      if (!exists || attempt >= 20) throw;
    }
  }
  try {
    ReplaceFileWith(tmp, file);
  } catch (...) {
    std::error_code ec;
    std::filesystem::remove(tmp, ec);
    throw;
  }
}

void WriteTextLines(const std::filesystem::path& file, const TextLines& text) {
  WriteFileAtomically(file, FormatTextLines(text));
}

}  // namespace tesmar
