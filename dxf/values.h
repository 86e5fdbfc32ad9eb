#pragma once
// Number values of DXF pairs. DXF always writes a decimal point, whatever the locale of the
// program that wrote or reads it.
#include <cstdint>
#include <string_view>

namespace tesmar {

// An optional sign and decimal digits that fit 32 bits; anything else fails.
bool ParseDxfInt(std::string_view s, std::int32_t& out);

// A decimal number with an optional sign, fraction and exponent; no "inf", "nan" or
// hexadecimal forms, nothing before or after it, and no overflow.
bool ParseDxfReal(std::string_view s, double& out);

}  // namespace tesmar
