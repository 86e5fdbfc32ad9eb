#pragma once
// The order in which the program lists folders and drawings: the order Explorer shows them in,
// where a run of digits counts as a number ("GV-50A" before "GV-100A"), letter case does not
// count, marks and blanks come before digits and digits before letters ("A_1" before "a2").
#include <string_view>

namespace tesmar {

// <0, 0, >0. On Windows the system's own comparison (the one Explorer uses); elsewhere
// LogicalCompare. Names it calls equal may still differ (letter case, leading zeros).
int ExplorerCompare(std::u16string_view a, std::u16string_view b);

// The same order without the system: digit runs by value; marks, then digits, then letters
// (case and the accents of Latin-1 folded), then kana (hiragana as katakana), then the rest by
// code.
int LogicalCompare(std::u16string_view a, std::u16string_view b);

}  // namespace tesmar
