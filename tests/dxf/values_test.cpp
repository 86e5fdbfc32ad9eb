#include "dxf/values.h"

#include <charconv>
#include <cstring>
#include <random>
#include <string>

#include <gtest/gtest.h>

namespace tesmar {
namespace {

TEST(DxfValues, Integers) {
  const std::pair<const char*, std::int32_t> good[] = {
      {"0", 0}, {"7", 7}, {"+7", 7}, {"-1", -1}, {"007", 7}, {"-0", 0}, {"00000000000042", 42},
      {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1}};
  for (const auto& [text, want] : good) {
    std::int32_t v = -99;
    EXPECT_TRUE(ParseDxfInt(text, v)) << text;
    EXPECT_EQ(v, want) << text;
  }
  for (const char* bad : {"", "+", "-", "+-1", "1.0", "1e2", "7a", " 7", "2147483648", "-2147483649", "99999999999", "0x1"}) {
    std::int32_t v;
    EXPECT_FALSE(ParseDxfInt(bad, v)) << bad;
  }
}

TEST(DxfValues, RealsAgreeWithTheLibraryConversion) {
  const char* good[] = {"0", "-0", "1.5", "+3.25", ".5", "5.", "-.25", "1e3", "1.5E-2", "123456789012345",
                        "1234567890123456789", "0.1", "0.30000000000000004", "53412.12345678901", "1e-300",
                        "0.000000000000000000000001", "6.283185307179586"};
  for (const char* text : good) {
    double v = -99;
    ASSERT_TRUE(ParseDxfReal(text, v)) << text;
    const char* t = text[0] == '+' ? text + 1 : text;
    double want = 0;
    std::from_chars(t, text + std::strlen(text), want);
    EXPECT_EQ(v, want) << text;
    EXPECT_EQ(std::signbit(v), text[0] == '-') << text;
  }
  for (const char* bad : {"", ".", "-", "+-1", "--1", "1,5", "inf", "nan", "0x10", "1e999", "1e", "1.5.2", "abc", "1 "}) {
    double v;
    EXPECT_FALSE(ParseDxfReal(bad, v)) << bad;
  }
  // Random decimals as CAD programs write them: the quick path must round exactly as the
  // library does.
  std::mt19937_64 rng(7);
  for (int i = 0; i < 20000; ++i) {
    char buf[40];
    const double x = std::uniform_real_distribution<double>(-1e6, 1e6)(rng);
    const int decimals = static_cast<int>(rng() % 12);
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, decimals);
    const std::string_view text(buf, static_cast<std::size_t>(end - buf));
    double fast = 0, want = 0;
    ASSERT_TRUE(ParseDxfReal(text, fast)) << text;
    std::from_chars(text.data(), text.data() + text.size(), want);
    ASSERT_EQ(fast, want) << text;
  }
}

}  // namespace
}  // namespace tesmar
