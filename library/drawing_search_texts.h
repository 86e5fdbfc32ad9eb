#pragma once
// The texts of the search across the library.

namespace tesmar {

inline constexpr char16_t kSearchMenuCaption[] = u"図面を検索 ...";
inline constexpr char16_t kSearchCaptionPrefix[] = u"検索: ";        // ComboBox2's entry: prefix, text, " (N)"
inline constexpr char16_t kSearchingText[] = u"図面を検索中 (Esc で中止) ";  // then "k / m"
inline constexpr char16_t kSearchCancelledText[] = u"検索を中止しました";
inline constexpr char16_t kNothingFoundText[] = u"見つかりません";

}  // namespace tesmar
