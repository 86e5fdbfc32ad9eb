#include "library/search_text.h"

#include "base/strings.h"

namespace tesmar {
namespace {

// Full-width katakana for the half-width forms U+FF66 … U+FF9D.
constexpr char16_t kHalfKana[] =
    u"ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン";

bool Voiceable(char16_t k) {
  return (k >= u'カ' && k <= u'ト') || (k >= u'ハ' && k <= u'ホ') || k == u'ウ';
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == 0x3000; }

}  // namespace

std::u16string PortableSearchFold(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c >= 0xFF01 && c <= 0xFF5E) c = static_cast<char16_t>(c - 0xFEE0);  // full-width ASCII
    if (c == 0x3000) c = u' ';
    if (c >= 0x3041 && c <= 0x3096) c = static_cast<char16_t>(c + 0x60);   // hiragana
    if (c == 0xFF61) c = u'。';
    if (c == 0xFF62) c = u'「';
    if (c == 0xFF63) c = u'」';
    if (c == 0xFF64) c = u'、';
    if (c == 0xFF65) c = u'・';
    if (c >= 0xFF66 && c <= 0xFF9D) {
      c = kHalfKana[c - 0xFF66];
      // A sound mark that follows joins its kana, as the full-width form writes it.
      const char16_t next = i + 1 < text.size() ? text[i + 1] : 0;
      if (next == 0xFF9E && Voiceable(c)) {
        c = c == u'ウ' ? u'ヴ' : static_cast<char16_t>(c + 1);
        ++i;
      } else if (next == 0xFF9F && c >= u'ハ' && c <= u'ホ') {
        c = static_cast<char16_t>(c + 2);
        ++i;
      }
    } else if (c == 0xFF9E) {
      c = u'゛';
    } else if (c == 0xFF9F) {
      c = u'゜';
    }
    out.push_back(FoldCase16(c));
  }
  return out;
}

SearchQuery::SearchQuery(std::u16string_view text) {
  std::u16string word;
  for (char16_t c : text) {
    if (IsBlank(c)) {
      if (!word.empty()) words_.push_back(FoldForSearch(word));
      word.clear();
    } else {
      word.push_back(c);
    }
  }
  if (!word.empty()) words_.push_back(FoldForSearch(word));
}

bool SearchQuery::Matches(std::u16string_view foldedName, std::u16string_view foldedDescription) const {
  if (words_.empty()) return false;
  for (const auto& w : words_)
    if (!ContainsPattern(foldedName, w) && !ContainsPattern(foldedDescription, w)) return false;
  return true;
}

bool ContainsPattern(std::u16string_view text, std::u16string_view pattern) {
  // The pattern with an implied `*` at both ends, matched greedily: on a mismatch the last `*`
  // takes one more character.
  std::size_t t = 0, p = 0, starP = 0, starT = 0;
  bool star = true;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == u'*') {
      star = true;
      starP = ++p;
      starT = t;
    } else if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == text[t])) {
      ++p;
      ++t;
    } else if (p == pattern.size()) {
      return true;  // the trailing implied `*` takes the rest
    } else if (star) {
      p = starP;
      t = ++starT;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

}  // namespace tesmar
