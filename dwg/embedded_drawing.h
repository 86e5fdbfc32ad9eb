#pragma once
// The drawings that the project makes itself (the demo library, test drawings) carry, in the
// place of a DWG file's drawing data, the DXF text they were drawn from, behind a marker line
// and its length. The stand-in converter writes that text out as the converted DXF file, so
// the viewer shows what the preview shows. Header only: the stand-in program includes it alone.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tesmar {

inline constexpr std::string_view kEmbeddedDxfMarker = "TESMAR-EMBEDDED-DXF\n";

// The marker, the byte length as ten decimal digits and a line feed, then the DXF text.
inline std::string EmbedDxf(std::string_view dxf) {
  std::string length = std::to_string(dxf.size());
  std::string out(kEmbeddedDxfMarker);
  out += std::string(10 - std::min<std::size_t>(10, length.size()), '0') + length + '\n';
  out += dxf;
  return out;
}

// The DXF text carried by a drawing file's bytes; nothing when there is none or it is cut off.
inline std::optional<std::string> FindEmbeddedDxf(std::string_view bytes) {
  const std::size_t at = bytes.find(kEmbeddedDxfMarker);
  if (at == std::string_view::npos) return std::nullopt;
  std::size_t pos = at + kEmbeddedDxfMarker.size();
  if (bytes.size() < pos + 11 || bytes[pos + 10] != '\n') return std::nullopt;
  std::size_t length = 0;
  for (std::size_t i = 0; i < 10; ++i) {
    const char c = bytes[pos + i];
    if (c < '0' || c > '9') return std::nullopt;
    length = length * 10 + std::size_t(c - '0');
  }
  pos += 11;
  if (bytes.size() - pos < length) return std::nullopt;
  return std::string(bytes.substr(pos, length));
}

}  // namespace tesmar
