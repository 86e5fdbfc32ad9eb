#include "dxf/text_decode.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tesmar {
namespace {

constexpr std::size_t kEscapeLength = 7;  // "\U+" and four digits

// The number the characters after "\U+" name in hexadecimal; 0 when they are none or not all
// hexadecimal digits.
char16_t EscapeValue(std::u16string_view digits) {
  if (digits.empty()) return 0;
  unsigned value = 0;
  for (char16_t d : digits) {
    unsigned v;
    if (d >= u'0' && d <= u'9') v = d - u'0';
    else if (d >= u'a' && d <= u'f') v = d - u'a' + 10;
    else if (d >= u'A' && d <= u'F') v = d - u'A' + 10;
    else return 0;
    value = value * 16 + v;
  }
  return static_cast<char16_t>(value);
}

// The rewrite is defined as a loop: take the first escape e of the text, replace every
// occurrence of e at once, search again from the start. Done literally that costs a pass over
// the text per distinct escape, which a long text full of escapes turns into minutes. Here the
// text is a linked list of its characters (a replacement keeps its first node and unlinks the
// rest), and every place where "\U+" begins is indexed by the seven characters that follow, so
// that the occurrences of e are found without a pass. The result is the same.
class EscapeText {
 public:
  explicit EscapeText(const std::u16string& s) : ch_(s), next_(s.size()), prev_(s.size()), alive_(s.size(), 1) {
    const int n = static_cast<int>(s.size());
    for (int i = 0; i < n; ++i) {
      next_[i] = i + 1 < n ? i + 1 : -1;
      prev_[i] = i - 1;
    }
    head_ = n ? 0 : -1;
    for (int i = 0; i < n; ++i) Index(i);
  }

  bool Decode() {
    bool replaced = false;
    int scan = head_;
    for (;;) {
      int x = scan;
      while (x != -1 && !BeginsEscape(x)) x = next_[x];
      if (x == -1) return replaced;
      const std::u16string e = Window(x, kEscapeLength);
      const char16_t c = EscapeValue(std::u16string_view(e).substr(3));
      std::vector<int> hits;
      if (e.size() == kEscapeLength) {
        auto it = index_.find(e);
        if (it != index_.end()) {
          hits.swap(it->second);
          index_.erase(it);
        }
        std::sort(hits.begin(), hits.end());
        if (!std::binary_search(hits.begin(), hits.end(), x)) hits.insert(std::lower_bound(hits.begin(), hits.end(), x), x);
      } else {  // a short escape at the very end: it may also stand inside longer ones
        for (int y = x; y != -1; y = next_[y]) hits.push_back(y);
      }
      // Left to right, without overlaps: an occurrence that an earlier one swallowed is gone.
      std::vector<int> done;
      for (int y : hits) {
        if (y < x || !alive_[y] || Window(y, e.size()) != e) continue;
        ch_[y] = c;
        int z = next_[y];
        for (std::size_t k = 1; k < e.size(); ++k) {
          alive_[z] = 0;
          z = next_[z];
        }
        next_[y] = z;
        if (z != -1) prev_[z] = y;
        done.push_back(y);
      }
      replaced = true;
      // The windows that now cover a produced character are indexed anew (only after all
      // replacements: a produced character never matches within the same replacement).
      for (int y : done)
        for (int z = y, k = 0; z != -1 && k < static_cast<int>(kEscapeLength); z = prev_[z], ++k) Index(z);
      // Before x the text holds no escape; a new one can begin at most two characters earlier.
      scan = x;
      for (int k = 0; k < 2 && prev_[scan] != -1; ++k) scan = prev_[scan];
    }
  }

  std::u16string Text() const {
    std::u16string out;
    for (int x = head_; x != -1; x = next_[x]) out.push_back(ch_[x]);
    return out;
  }

 private:
  bool BeginsEscape(int x) const {
    if (ch_[x] != u'\\') return false;
    const int u = next_[x];
    if (u == -1 || ch_[u] != u'U') return false;
    const int plus = next_[u];
    return plus != -1 && ch_[plus] == u'+';
  }
  std::u16string Window(int x, std::size_t length) const {
    std::u16string w;
    for (; x != -1 && w.size() < length; x = next_[x]) w.push_back(ch_[x]);
    return w;
  }
  void Index(int x) {
    if (!BeginsEscape(x)) return;
    std::u16string w = Window(x, kEscapeLength);
    if (w.size() == kEscapeLength) index_[std::move(w)].push_back(x);
  }

  std::u16string ch_;
  std::vector<int> next_, prev_;
  std::vector<char> alive_;
  int head_ = -1;
  std::unordered_map<std::u16string, std::vector<int>> index_;
};

// The usual text: every "\U+" is followed by four hexadecimal digits, and no escape produces a
// character that could begin or continue another escape (\, U, +). Then escapes cannot
// interact, and one pass from left to right gives what the definition gives. False (and `s`
// unchanged) for any other text.
bool DecodePlainEscapes(std::u16string& s) {
  std::u16string out;
  out.reserve(s.size());
  std::size_t from = 0;
  for (std::size_t at; (at = s.find(u"\\U+", from)) != std::u16string::npos; from = at + kEscapeLength) {
    if (s.size() - at < kEscapeLength) return false;
    const std::u16string_view digits = std::u16string_view(s).substr(at + 3, 4);
    for (char16_t d : digits)
      if (!((d >= u'0' && d <= u'9') || (d >= u'a' && d <= u'f') || (d >= u'A' && d <= u'F'))) return false;
    const char16_t c = EscapeValue(digits);
    if (c == u'\\' || c == u'U' || c == u'+') return false;
    out.append(s, from, at - from);
    out.push_back(c);
  }
  out.append(s, from, std::u16string::npos);
  s.swap(out);
  return true;
}

}  // namespace

bool DecodeUnicodeEscapesIn(std::u16string& s) {
  if (s.find(u"\\U+") == std::u16string::npos) return false;
  if (DecodePlainEscapes(s)) return true;
  EscapeText text(s);
  text.Decode();
  s = text.Text();
  return true;
}

void DecodeUnicodeEscapes(std::vector<TTextBlk>& table) {
  for (TTextBlk& text : table)
    if (std::u16string_view(text.str).find(u"\\U+") != std::u16string_view::npos) DecodeUnicodeEscapesIn(text.str.Mutable());
}

}  // namespace tesmar
