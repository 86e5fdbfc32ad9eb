#include "render/textcodes.h"

#include "base/strings.h"

namespace tesmar {

void ReplaceAll16(std::u16string& s, std::u16string_view from, std::u16string_view to) {
  if (from.empty()) return;
  std::size_t pos = s.find(from);
  if (pos == std::u16string::npos) return;
  std::u16string out;
  out.reserve(s.size());
  std::size_t last = 0;
  while (pos != std::u16string::npos) {
    out.append(s, last, pos - last);
    out.append(to);
    last = pos + from.size();
    pos = s.find(from, last);
  }
  out.append(s, last, std::u16string::npos);
  s.swap(out);
}

std::u16string ReplaceSpecialCodes(std::u16string_view text) {
  std::u16string s(text);
  if (s.find(u"%%") != std::u16string::npos) {
    ReplaceAll16(s, u"%%C", u"\u03A6");
    ReplaceAll16(s, u"%%c", u"\u03A6");
    ReplaceAll16(s, u"%%D", u"\u00B0");
    ReplaceAll16(s, u"%%d", u"\u00B0");
    ReplaceAll16(s, u"%%P", u"\u00B1");
    ReplaceAll16(s, u"%%p", u"\u00B1");
    ReplaceAll16(s, u"%%%", u"%");
  }
  if (s.find(u"\\U+") != std::u16string::npos) {
    ReplaceAll16(s, u"\\U+25A1", u"\u25A1");
    ReplaceAll16(s, u"\\U+2205", u"\u03A6");
  }
  return s;
}

std::vector<std::u16string> SplitMtextLines(std::u16string_view text) {
  std::u16string s(text);
  ReplaceAll16(s, u"^J", u"\r");
  ReplaceAll16(s, u"\\P", u"\r");

  std::vector<std::u16string> lines;
  if (s.empty()) return lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t cr = s.find(u'\r', start);
    if (cr == std::u16string::npos) {
      lines.emplace_back(s, start);
      break;
    }
    lines.emplace_back(s, start, cr - start);
    start = cr + 1;
  }
  if (!lines.empty() && TrimBlanks(lines.back()).empty()) lines.pop_back();
  std::erase_if(lines, [](const std::u16string& line) { return TrimBlanks(line) == u"}"; });
  return lines;
}

namespace {

bool IsArgumentCodeLetter(char16_t c) {
  switch (c) {
    case u'A': case u'C': case u'F': case u'H': case u'Q': case u'T': case u'W':
    case u'a': case u'c': case u'f': case u'h': case u'p': case u'q': case u't': case u'w':
      return true;
    default:
      return false;
  }
}

}  // namespace

std::u16string StripMtextCodes(std::u16string_view line) {
  // Braces that are not escaped go; the first character stays whatever it is.
  std::u16string s;
  s.reserve(line.size());
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char16_t c = line[i];
    if (i > 0 && (c == u'{' || c == u'}') && line[i - 1] != u'\\') continue;
    s.push_back(c);
  }
  ReplaceAll16(s, u"\\{", u"{");
  ReplaceAll16(s, u"\\}", u"}");
  for (std::u16string_view toggle : {u"\\O", u"\\o", u"\\L", u"\\l", u"\\s", u"^ ", u"^I"})
    ReplaceAll16(s, toggle, u"");
  ReplaceAll16(s, u"\\~", u" ");  // the non-breaking space

  // Codes that carry an argument run up to and including their ";" (or to the end).
  std::u16string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == u'\\' && i + 1 < s.size() && s[i + 1] == u'S') {
      // A stacked fraction "\Sa^b;" (or a/b, a#b) reads a/b; its ";" is no text.
      std::size_t end = s.find(u';', i + 2);
      if (end == std::u16string::npos) end = s.size();
      for (std::size_t k = i + 2; k < end; ++k) out.push_back(s[k] == u'^' || s[k] == u'#' ? u'/' : s[k]);
      i = end;
      continue;
    }
    if (s[i] == u'\\' && i + 1 < s.size() && IsArgumentCodeLetter(s[i + 1])) {
      const std::size_t semi = s.find(u';', i + 2);
      if (semi == std::u16string::npos) break;
      i = semi;
      continue;
    }
    out.push_back(s[i]);
  }
  ReplaceAll16(out, u"\\\\", u"\\");
  ReplaceAll16(out, u"{", u"");
  return out;
}

}  // namespace tesmar
