#pragma once
// What a search for drawings matches: the text the user typed, split into words at blanks,
// each word a pattern with the wildcards `*` (any run of characters) and `?` (one character)
// that must occur somewhere in the drawing's name or in its description. Letter case,
// full-width and half-width forms and hiragana/katakana do not count.
#include <string>
#include <string_view>
#include <vector>

namespace tesmar {

// The text in the form in which matching compares it: letters in one case, full-width Latin
// letters, digits and marks as their ASCII forms, half-width katakana (with its sound marks) as
// full-width, hiragana as katakana, the ideographic space as a blank. On Windows the system's
// own mapping (LCMapStringEx) does the width, kana and case; elsewhere PortableSearchFold.
std::u16string FoldForSearch(std::u16string_view text);
std::u16string PortableSearchFold(std::u16string_view text);

class SearchQuery {
 public:
  explicit SearchQuery(std::u16string_view text);
  // No word at all (an empty or blank text): matches nothing.
  bool Empty() const { return words_.empty(); }
  // Every word occurs in the folded name or the folded description (FoldForSearch).
  bool Matches(std::u16string_view foldedName, std::u16string_view foldedDescription) const;

 private:
  std::vector<std::u16string> words_;  // folded
};

// True when `pattern` (with `*` and `?`) matches a part of `text`.
bool ContainsPattern(std::u16string_view text, std::u16string_view pattern);

}  // namespace tesmar
