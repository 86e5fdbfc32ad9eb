#pragma once
// Little-endian integers in byte strings, as the DWG and BMP formats store them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tesmar {

inline std::uint16_t Le16(const unsigned char* p) { return std::uint16_t(p[0] | (p[1] << 8)); }
inline std::uint32_t Le32(const unsigned char* p) {
  return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}
// The word at byte `at` of s; s must hold it.
inline std::uint32_t Le32(std::string_view s, std::size_t at) {
  return Le32(reinterpret_cast<const unsigned char*>(s.data()) + at);
}

// Appends the low 16 (32) bits of v.
inline void PutLe16(std::string& out, std::uint32_t v) {
  out.push_back(char(v & 0xFF));
  out.push_back(char((v >> 8) & 0xFF));
}
inline void PutLe32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(char((v >> (8 * i)) & 0xFF));
}
// Overwrites the four bytes at `at`; out must hold them.
inline void SetLe32(std::string& out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = char((v >> (8 * i)) & 0xFF);
}

}  // namespace tesmar
