#pragma once
// Integer parsing of the settings file: decimal with an optional sign, or hexadecimal with a
// "0x"/"0X" or "$" prefix. Anything else (empty text, spaces, trailing characters, overflow
// of 32 bits) yields the default.
#include <cstdint>
#include <string_view>

namespace tesmar {

std::int32_t ParseIniInt(std::u16string_view text, std::int32_t fallback);
// Booleans are integers: 0 false, any other number true, not a number the default.
bool ParseIniBool(std::u16string_view text, bool fallback);

}  // namespace tesmar
