#include "dwg/dwg_writer.h"

#include <array>
#include <map>

#include "base/bytes.h"

namespace tesmar {
namespace {

constexpr unsigned char kStartSentinel[16] = {0x1F, 0x25, 0x6D, 0x07, 0xD4, 0x36, 0x28, 0x28,
                                              0x9D, 0x57, 0xCA, 0x3F, 0x9D, 0x44, 0x10, 0x2B};

void PutBe32(std::string& out, std::uint32_t v) {
  for (int i = 3; i >= 0; --i) out.push_back(char((v >> (8 * i)) & 0xFF));
}

std::string InfoHeader(const RgbImage& img, unsigned bits, std::uint32_t compression,
                       std::uint32_t rowBytes, std::uint32_t used) {
  std::string h;
  PutLe32(h, 40);
  PutLe32(h, std::uint32_t(img.width));
  PutLe32(h, std::uint32_t(img.height));
  PutLe16(h, 1);
  PutLe16(h, bits);
  PutLe32(h, compression);
  PutLe32(h, rowBytes * std::uint32_t(img.height));
  PutLe32(h, 0);
  PutLe32(h, 0);
  PutLe32(h, used);
  PutLe32(h, 0);
  return h;
}

std::uint32_t RowBytes(int width, unsigned bits) { return ((std::uint32_t(width) * bits + 31) / 32) * 4; }

std::uint32_t Crc32(const std::string& s, std::size_t from) {
  static const auto table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  std::uint32_t c = 0xFFFFFFFFu;
  for (std::size_t i = from; i < s.size(); ++i) c = table[(c ^ static_cast<unsigned char>(s[i])) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

void PngChunk(std::string& out, const char* type, const std::string& data) {
  PutBe32(out, std::uint32_t(data.size()));
  std::size_t at = out.size();
  out += type;
  out += data;
  PutBe32(out, Crc32(out, at));
}

}  // namespace

std::string MakeDib8(const RgbImage& img, bool fullTable) {
  std::vector<Rgb> palette;
  std::map<Rgb, unsigned> index;
  for (Rgb c : img.pixels) {
    if (index.count(c) || palette.size() == 256) continue;
    index[c] = unsigned(palette.size());
    palette.push_back(c);
  }
  auto nearest = [&](Rgb c) {
    auto it = index.find(c);
    if (it != index.end()) return it->second;
    unsigned best = 0;
    long bestD = -1;
    for (unsigned i = 0; i < palette.size(); ++i) {
      long dr = long(RedOf(c)) - RedOf(palette[i]), dg = long(GreenOf(c)) - GreenOf(palette[i]),
           db = long(BlueOf(c)) - BlueOf(palette[i]);
      long d = dr * dr + dg * dg + db * db;
      if (bestD < 0 || d < bestD) bestD = d, best = i;
    }
    return best;
  };
  const std::uint32_t row = RowBytes(img.width, 8);
  const std::uint32_t tableSize = fullTable ? 256 : std::uint32_t(palette.size());
  std::string dib = InfoHeader(img, 8, 0, row, fullTable ? 0 : tableSize);
  for (std::uint32_t i = 0; i < tableSize; ++i) {
    Rgb c = i < palette.size() ? palette[i] : kRgbBlack;
    dib.push_back(char(BlueOf(c)));
    dib.push_back(char(GreenOf(c)));
    dib.push_back(char(RedOf(c)));
    dib.push_back(0);
  }
  for (int y = img.height - 1; y >= 0; --y) {
    std::size_t at = dib.size();
    for (int x = 0; x < img.width; ++x) dib.push_back(char(nearest(img.At(x, y))));
    dib.resize(at + row, 0);
  }
  return dib;
}

std::string MakeDib24(const RgbImage& img) {
  const std::uint32_t row = RowBytes(img.width, 24);
  std::string dib = InfoHeader(img, 24, 0, row, 0);
  for (int y = img.height - 1; y >= 0; --y) {
    std::size_t at = dib.size();
    for (int x = 0; x < img.width; ++x) {
      Rgb c = img.At(x, y);
      dib.push_back(char(BlueOf(c)));
      dib.push_back(char(GreenOf(c)));
      dib.push_back(char(RedOf(c)));
    }
    dib.resize(at + row, 0);
  }
  return dib;
}

std::string MakeDib32Bitfields(const RgbImage& img) {
  const std::uint32_t row = RowBytes(img.width, 32);
  std::string dib = InfoHeader(img, 32, 3, row, 0);
  PutLe32(dib, 0x00FF0000u);
  PutLe32(dib, 0x0000FF00u);
  PutLe32(dib, 0x000000FFu);
  for (int y = img.height - 1; y >= 0; --y)
    for (int x = 0; x < img.width; ++x) PutLe32(dib, img.At(x, y));
  return dib;
}

std::string MakePng(const RgbImage& img) {
  std::string out = "\x89PNG\r\n\x1a\n";
  std::string ihdr;
  PutBe32(ihdr, std::uint32_t(img.width));
  PutBe32(ihdr, std::uint32_t(img.height));
  ihdr += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter, no interlace
  PngChunk(out, "IHDR", ihdr);

  std::string raw;
  for (int y = 0; y < img.height; ++y) {
    raw.push_back(0);  // filter: none
    for (int x = 0; x < img.width; ++x) {
      Rgb c = img.At(x, y);
      raw.push_back(char(RedOf(c)));
      raw.push_back(char(GreenOf(c)));
      raw.push_back(char(BlueOf(c)));
    }
  }
  std::string z = "\x78\x01";
  std::uint32_t a = 1, b = 0;
  for (unsigned char ch : raw) a = (a + ch) % 65521, b = (b + a) % 65521;
  std::size_t pos = 0;
  do {
    std::size_t n = std::min<std::size_t>(65535, raw.size() - pos);
    z.push_back(pos + n == raw.size() ? 1 : 0);  // stored block, final flag
    PutLe16(z, std::uint32_t(n));
    PutLe16(z, std::uint32_t(~n & 0xFFFF));
    z.append(raw, pos, n);
    pos += n;
  } while (pos < raw.size());
  PutBe32(z, (b << 16) | a);
  PngChunk(out, "IDAT", z);
  PngChunk(out, "IEND", "");
  return out;
}

DwgFileLayout DwgWithImage(std::uint8_t code, std::string data, std::string version) {
  DwgFileLayout layout;
  layout.version = std::move(version);
  layout.entries.push_back({1, std::string(80, '\0')});
  layout.entries.push_back({code, std::move(data)});
  return layout;
}

std::string MakeDwgFile(const DwgFileLayout& layout) {
  std::string out = layout.version.substr(0, 6);
  out.resize(6, '\0');
  out.resize(0x0D, '\0');
  out[0x0B] = 0x0F;  // maintenance version and a constant byte as CAD programs write them
  out[0x0C] = 0x01;
  std::uint32_t address = layout.previewAddress ? layout.previewAddress : 0x80;
  PutLe32(out, address);
  out += "Tesmar test drawing";
  if (out.size() < address) out.resize(address, '\0');

  std::string section(reinterpret_cast<const char*>(kStartSentinel), 16);
  const std::size_t sizeAt = section.size();
  PutLe32(section, 0);
  section.push_back(char(layout.entries.size()));
  std::size_t dataAt = 16 + 4 + 1 + 9 * layout.entries.size();
  for (const auto& e : layout.entries) {
    section.push_back(char(e.code));
    PutLe32(section, std::uint32_t(address + dataAt));
    PutLe32(section, std::uint32_t(e.data.size()));
    dataAt += e.data.size();
  }
  for (const auto& e : layout.entries) section += e.data;
  SetLe32(section, sizeAt, std::uint32_t(section.size() - 20));
  for (unsigned char c : kStartSentinel) section.push_back(char(~c));

  if (out.size() > address) out.resize(address);  // an address inside the header overwrites it
  out += section;
  for (std::size_t i = 0; i < layout.fillerBytes; ++i) out.push_back(char(i * 37 + 11));
  out += layout.drawingData;
  return out;
}

}  // namespace tesmar
