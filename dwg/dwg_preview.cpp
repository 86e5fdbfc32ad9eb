#include "dwg/dwg_preview.h"

#include <cstring>
#include <fstream>

#include "base/bytes.h"
#include "base/silent_abort.h"

namespace tesmar {
namespace {

constexpr std::uint8_t kCodeBmp = 2;
constexpr std::uint8_t kCodePng = 6;
constexpr std::uint32_t kBmpFileHeaderSize = 14;
constexpr std::uint32_t kBmpInfoHeaderSize = 40;


class FileSource final : public DwgByteSource {
 public:
  explicit FileSource(const std::filesystem::path& file) : in_(file, std::ios::binary) {
    if (!in_) throw SilentAbort();
    in_.seekg(0, std::ios::end);
    auto end = in_.tellg();
    if (end < 0) throw SilentAbort();
    size_ = static_cast<std::uint64_t>(end);
  }
  std::uint64_t Size() const override { return size_; }
  void ReadAt(std::uint64_t pos, void* out, std::size_t n) override {
    if (pos > size_ || n > size_ - pos) throw SilentAbort();
    in_.seekg(static_cast<std::streamoff>(pos));
    in_.read(static_cast<char*>(out), static_cast<std::streamsize>(n));
    if (static_cast<std::size_t>(in_.gcount()) != n) throw SilentAbort();
  }

 private:
  std::ifstream in_;
  std::uint64_t size_ = 0;
};

class MemorySource final : public DwgByteSource {
 public:
  explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
  std::uint64_t Size() const override { return bytes_.size(); }
  void ReadAt(std::uint64_t pos, void* out, std::size_t n) override {
    if (pos > bytes_.size() || n > bytes_.size() - pos) throw SilentAbort();
    if (n) std::memcpy(out, bytes_.data() + pos, n);
  }

 private:
  std::string_view bytes_;
};

// Copies `size` bytes at `start` behind what `out` already holds, after making sure the
// range lies inside the source, so a size taken from the file never makes a larger buffer
// than the file itself.
void AppendRange(DwgByteSource& src, std::uint32_t start, std::uint32_t size, std::string& out) {
  if (std::uint64_t(start) + size > src.Size()) throw SilentAbort();
  std::size_t at = out.size();
  out.resize(at + size);
  src.ReadAt(start, out.data() + at, size);
}

}  // namespace

int ParseDwgVersionDigits(std::string_view four) {
  std::string_view s = four.substr(0, four.find('\0'));
  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  if (i == s.size()) return 0;
  int value = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return 0;
    value = value * 10 + (s[i] - '0');
  }
  return negative ? -value : value;
}

std::uint32_t BmpPixelDataOffset(std::string_view dib) {
  if (dib.size() < 4) throw SilentAbort();
  const std::uint32_t headerSize = Le32(dib, 0);
  std::uint64_t colours = 0;
  std::uint64_t entryBytes = 4;
  std::uint64_t masks = 0;
  if (headerSize == 12) {
    // The old core header: 16-bit sizes, three-byte colour entries, no used-colour count.
    if (dib.size() < 12) throw SilentAbort();
    unsigned bits = Le16(reinterpret_cast<const unsigned char*>(dib.data()) + 10);
    colours = bits <= 8 ? (1u << bits) : 0;
    entryBytes = 3;
  } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 64 ||
             headerSize == 108 || headerSize == 124) {
    if (dib.size() < kBmpInfoHeaderSize) throw SilentAbort();
    const auto* p = reinterpret_cast<const unsigned char*>(dib.data());
    const unsigned bits = Le16(p + 14);
    const std::uint32_t compression = Le32(p + 16);
    const std::uint32_t used = Le32(p + 32);
    if (bits >= 1 && bits <= 8) {
      colours = used != 0 && used < (1u << bits) ? used : (1u << bits);
    } else {
      colours = used;  // an optional table that only speeds up display
    }
    // Bit-field masks follow a 40-byte header; larger headers hold them inside.
    if (headerSize == 40 && compression == 3) masks = 12;
    if (headerSize == 40 && compression == 6) masks = 16;
  } else {
    throw SilentAbort();
  }
  const std::uint64_t offset =
      kBmpFileHeaderSize + std::uint64_t(headerSize) + masks + colours * entryBytes;
  if (offset > kBmpFileHeaderSize + std::uint64_t(dib.size())) throw SilentAbort();
  return static_cast<std::uint32_t>(offset);
}

DwgPreviewBytes ReadDwgPreview(DwgByteSource& src) {
  DwgPreviewBytes result;
  char digits[4];
  src.ReadAt(2, digits, 4);
  result.version = ParseDwgVersionDigits(std::string_view(digits, 4));
  if (result.version <= 1012) return result;

  unsigned char word[4];
  src.ReadAt(13, word, 4);
  const std::uint32_t address = Le32(word);
  unsigned char count;
  src.ReadAt(std::uint32_t(address + 20u), &count, 1);  // 32-bit arithmetic, as stored
  unsigned char entry[9];
  src.ReadAt(std::uint32_t(address + 30u), entry, 9);
  result.code = entry[0];
  const std::uint32_t start = Le32(entry + 1);
  const std::uint32_t size = Le32(entry + 5);

  if (result.code == kCodeBmp) {
    unsigned char info[kBmpInfoHeaderSize];
    src.ReadAt(start, info, sizeof info);
    if (size < kBmpInfoHeaderSize || size > 0xFFFFFFFFu - kBmpFileHeaderSize) throw SilentAbort();
    std::string file;
    file.reserve(kBmpFileHeaderSize);
    PutLe16(file, 0x4D42);
    PutLe32(file, size + kBmpFileHeaderSize);
    PutLe16(file, 0);
    PutLe16(file, 0);
    PutLe32(file, 0);  // pixel offset, filled in once the information header is at hand
    AppendRange(src, start, size, file);
    const std::uint32_t offset =
        BmpPixelDataOffset(std::string_view(file).substr(kBmpFileHeaderSize));
    for (int i = 0; i < 4; ++i) file[10 + i] = char((offset >> (8 * i)) & 0xFF);
    result.format = DwgPreviewFormat::Bmp;
    result.image = std::move(file);
  } else if (result.code == kCodePng) {
    AppendRange(src, start, size, result.image);
    result.format = DwgPreviewFormat::Png;
  }
  return result;
}

DwgPreviewBytes ReadDwgPreviewFile(const std::filesystem::path& file) {
  FileSource src(file);
  return ReadDwgPreview(src);
}

DwgPreviewBytes ReadDwgPreviewMemory(std::string_view bytes) {
  MemorySource src(bytes);
  return ReadDwgPreview(src);
}

ImageDimensions PreviewDimensions(const DwgPreviewBytes& preview) {
  ImageDimensions d;
  std::string_view s = preview.image;
  if (preview.format == DwgPreviewFormat::Bmp && s.size() >= 14 + 16) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data()) + 14;
    if (Le32(p) == 12) {
      d.width = Le16(p + 4);
      d.height = Le16(p + 6);
      d.bitCount = Le16(p + 10);
    } else if (s.size() >= 14 + 16) {
      d.width = static_cast<std::int32_t>(Le32(p + 4));
      d.height = static_cast<std::int32_t>(Le32(p + 8));
      d.bitCount = Le16(p + 14);
    }
  } else if (preview.format == DwgPreviewFormat::Png && s.size() >= 24 &&
             s.substr(12, 4) == "IHDR") {
    auto be32 = [&](std::size_t at) {
      const auto* p = reinterpret_cast<const unsigned char*>(s.data()) + at;
      return std::int32_t((std::uint32_t(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3]);
    };
    d.width = be32(16);
    d.height = be32(20);
  }
  return d;
}

}  // namespace tesmar
