#include "library/hint_file.h"

#include <thread>

#include "base/file_lock.h"
#include "base/path_parts.h"
#include "base/path_text.h"
#include "base/readonly_file.h"
#include "base/strings.h"
#include "base/textfile.h"

namespace tesmar {

const char16_t kHintFileName[] = u"TesmarHint.txt";

namespace {

bool IsBlank(char16_t c) { return c >= 1 && c <= 32; }

std::optional<std::u16string> KeyOfLine(std::u16string_view line) {
  auto fields = ParseHintFields(line);
  if (fields.empty()) return std::nullopt;
  return UpperCase16(fields[0]);
}

std::size_t UnitSize(TextEncoding e) {
  return e == TextEncoding::Utf16LE || e == TextEncoding::Utf16BE ? 2 : 1;
}

// The code unit at byte `i` (a whole unit must be there).
char16_t UnitAt(std::string_view b, std::size_t i, TextEncoding e) {
  auto u = [&](std::size_t k) { return static_cast<unsigned char>(b[k]); };
  if (e == TextEncoding::Utf16LE) return char16_t(u(i) | (u(i + 1) << 8));
  if (e == TextEncoding::Utf16BE) return char16_t((u(i) << 8) | u(i + 1));
  return char16_t(u(i));
}

}  // namespace

std::vector<std::u16string> ParseHintFields(std::u16string_view s) {
  std::vector<std::u16string> fields;
  std::size_t p = 0;
  const std::size_t n = s.size();
  while (p < n && IsBlank(s[p])) ++p;
  while (p < n) {
    std::u16string field;
    if (s[p] == u'"') {
      ++p;
      while (p < n) {
        if (s[p] == u'"') {
          if (p + 1 < n && s[p + 1] == u'"') {
            field += u'"';
            p += 2;
            continue;
          }
          ++p;
          break;
        }
        field += s[p++];
      }
    } else {
      std::size_t start = p;
      while (p < n && !IsBlank(s[p]) && s[p] != u',') ++p;
      field.assign(s.substr(start, p - start));
    }
    fields.push_back(std::move(field));
    while (p < n && IsBlank(s[p])) ++p;
    if (p < n && s[p] == u',') {
      if (p + 1 == n) fields.emplace_back();
      ++p;
      while (p < n && IsBlank(s[p])) ++p;
    }
  }
  return fields;
}

std::u16string HintKeyOfName(std::u16string_view fileName) { return UpperCase16(WithoutExtension(fileName)); }

std::optional<std::u16string> FindHintDescription(const std::vector<std::u16string>& lines, std::u16string_view key) {
  const std::u16string k = UpperCase16(key);
  for (const auto& line : lines) {
    auto fields = ParseHintFields(line);
    if (fields.size() >= 2 && UpperCase16(fields[0]) == k) return fields[1];
  }
  return std::nullopt;
}

std::vector<std::u16string> HintFile::Texts() const {
  std::vector<std::u16string> out;
  out.reserve(lines.size());
  for (const auto& l : lines) out.push_back(l.text);
  return out;
}

HintFile ParseHintFile(std::string_view bytes) {
  HintFile f;
  const ByteOrderMark bom = DetectTextEncoding(bytes);
  f.encoding = bom.encoding, f.bom = bom.mark;
  bytes.remove_prefix(f.bom.size());

  const std::size_t unit = UnitSize(f.encoding);
  const std::size_t whole = bytes.size() - bytes.size() % unit;
  std::size_t start = 0, i = 0;
  auto add = [&](std::size_t endAt, std::size_t next) {
    HintFile::Line line;
    line.raw.assign(bytes.substr(start, endAt - start));
    line.end.assign(bytes.substr(endAt, next - endAt));
    line.text = DecodeText(line.raw, f.encoding);
    f.lines.push_back(std::move(line));
    start = next;
  };
  while (i < whole) {
    char16_t c = UnitAt(bytes, i, f.encoding);
    if (c == u'\r' || c == u'\n') {
      std::size_t next = i + unit;
      if (c == u'\r' && next < whole && UnitAt(bytes, next, f.encoding) == u'\n') next += unit;
      add(i, next);
      i = next;
    } else {
      i += unit;
    }
  }
  if (start < bytes.size()) add(bytes.size(), bytes.size());  // last line without an end (an odd byte included)
  return f;
}

std::string FormatHintFile(const HintFile& f) {
  std::string out = f.bom;
  for (const auto& l : f.lines) out += l.raw + l.end;
  return out;
}

namespace {

// An ANSI file that is to get a line the code page cannot hold becomes UTF-8 with a mark;
// its lines keep their text. A file with bytes that do not decode stays as it is.
void MakeRoomFor(HintFile& f, std::u16string_view text) {
  if (f.encoding != TextEncoding::Ansi || FitsAnsiCodePage(text)) return;
  for (const auto& line : f.lines)
    if (EncodeText(line.text, TextEncoding::Ansi) != line.raw) return;
  f.encoding = TextEncoding::Utf8;
  f.bom = ByteOrderMarkOf(TextEncoding::Utf8);
  for (auto& line : f.lines) {
    line.raw = EncodeText(line.text, TextEncoding::Utf8);
    line.end = EncodeText(DecodeText(line.end, TextEncoding::Ansi), TextEncoding::Utf8);
  }
}

void AppendLine(HintFile& f, std::u16string text) {
  MakeRoomFor(f, text);
  std::string end;
  for (auto it = f.lines.rbegin(); it != f.lines.rend() && end.empty(); ++it) end = it->end;
  if (end.empty()) end = EncodeText(u"\r\n", f.encoding);
  if (!f.lines.empty() && f.lines.back().end.empty()) f.lines.back().end = end;
  HintFile::Line line;
  line.raw = EncodeText(text, f.encoding);
  line.end = end;
  line.text = std::move(text);
  f.lines.push_back(std::move(line));
}

}  // namespace

std::u16string HintLineFor(std::u16string_view drawingName) {
  // The name as the user sees it: keys match in either case.
  const std::u16string key(WithoutExtension(drawingName));
  bool quote = !key.empty() && (IsBlank(key.front()) || IsBlank(key.back()));
  for (char16_t c : key) quote = quote || IsBlank(c) || c == u',' || c == u'"';
  if (!quote) return key + u",";
  std::u16string line = u"\"";
  for (char16_t c : key) {
    if (c == u'"') line += u'"';
    line += c;
  }
  return line + u"\",";
}

HintFile NewHintFile(const std::vector<std::u16string>& names) {
  HintFile f;
  for (const auto& name : names) AppendLine(f, HintLineFor(name));
  return f;
}

void UpdateHintFile(HintFile& f, const std::vector<std::u16string>& names) {
  std::vector<std::u16string> keys;
  keys.reserve(names.size());
  for (const auto& name : names) {
    // A name with blanks round it is listed by its trimmed key (below); that line belongs to
    // the drawing too, or each run would comment it out and add it again.
    keys.push_back(HintKeyOfName(name));
    keys.push_back(std::u16string(TrimBlanks(keys.back())));
  }
  auto isDrawing = [&](const std::u16string& key) {
    for (const auto& k : keys)
      if (k == key) return true;
    return false;
  };

  const std::string comment = EncodeText(u"//", f.encoding);
  for (auto& line : f.lines) {
    auto key = KeyOfLine(line.text);
    if (!key || isDrawing(*key) || (!line.text.empty() && line.text[0] == u'/')) continue;
    line.raw = comment + line.raw;
    line.text = u"//" + line.text;
  }

  for (const auto& name : names) {
    // A line keyed by the name as it is, or by the name without its surrounding blanks (as
    // earlier updates wrote it), is the drawing's line.
    const std::u16string whole = HintKeyOfName(name), trimmed(TrimBlanks(whole));
    if (trimmed.empty()) continue;
    bool present = false;
    for (const auto& line : f.lines) {
      auto key = KeyOfLine(line.text);
      if (key && (*key == whole || *key == trimmed)) {
        present = true;
        break;
      }
    }
    if (!present) AppendLine(f, HintLineFor(name));
  }
}

namespace {

using Clock = std::chrono::steady_clock;

void Pause() { std::this_thread::sleep_for(std::chrono::milliseconds(50)); }

// The hint file's bytes; false when there is no file. A file that another program holds open
// for writing is waited for until the deadline.
bool ReadHintBytes(const std::filesystem::path& path, std::string& bytes, Clock::time_point deadline) {
  for (;;) {
    ReadOnlyFile file;
    switch (file.Open(path)) {
      case FileOpenResult::NotFound: return false;
      case FileOpenResult::Ok: {
        bytes.clear();
        char buffer[16384];
        std::size_t got = 0;
        while (file.Read(buffer, sizeof buffer, got) && got) bytes.append(buffer, got);
        if (got == 0) return true;
        throw FileWriteError(WriteFailure::Other, "cannot read " + PathText(path));
      }
      case FileOpenResult::Busy:
        if (Clock::now() >= deadline) throw FileWriteError(WriteFailure::InUse, "cannot read " + PathText(path));
        Pause();
        break;
      case FileOpenResult::Failed: throw FileWriteError(WriteFailure::Other, "cannot read " + PathText(path));
    }
  }
}

std::string UpdatedHintBytes(const std::string* current, const std::vector<std::u16string>& names) {
  if (!current) return FormatHintFile(NewHintFile(names));
  HintFile f = ParseHintFile(*current);
  UpdateHintFile(f, names);
  return FormatHintFile(f);
}

}  // namespace

bool SaveHintFile(const std::filesystem::path& path, const std::vector<std::u16string>& names,
                  std::chrono::milliseconds retryFor) {
  const Clock::time_point deadline = Clock::now() + retryFor;
  auto retryOrThrow = [&](const FileWriteError& e) {
    if (e.failure != WriteFailure::InUse || Clock::now() >= deadline) throw e;
    Pause();
  };
  std::string bytes;
  bool exists = ReadHintBytes(path, bytes, deadline);
  // A file that is up to date is left alone (a read-only folder is no hindrance then).
  if (exists && UpdatedHintBytes(&bytes, names) == bytes) return false;

  FileLock lock;
  while (!lock.TryLock(path)) retryOrThrow(FileWriteError(WriteFailure::InUse, "cannot lock " + PathText(path)));
  for (int round = 0;; ++round) {
    if (round > 0) retryOrThrow(FileWriteError(WriteFailure::InUse, "cannot save " + PathText(path)));
    // What another palette or Notepad saved meanwhile is what the update applies to.
    exists = ReadHintBytes(path, bytes, deadline);
    const std::string out = UpdatedHintBytes(exists ? &bytes : nullptr, names);
    if (exists && out == bytes) return false;
    if (!exists) {
      bool taken = false;
      try {
        CreateNewFile(path, out, &taken);
        return true;
      } catch (const FileWriteError&) {
        if (!taken) throw;
      }
      continue;  // saved by Notepad just now: update that
    }
    std::filesystem::path tmp;
    for (bool taken = true; taken;) {
      tmp = TemporaryFileBeside(path);
      try {
        CreateNewFile(tmp, out, &taken);
        taken = false;
      } catch (const FileWriteError&) {
        if (!taken) throw;
      }
    }
    struct RemoveTmp {
      std::filesystem::path p;
      ~RemoveTmp() {
        std::error_code ec;
        std::filesystem::remove(p, ec);
      }
    } cleanup{tmp};
    std::string now;
    if (!ReadHintBytes(path, now, deadline) || now != bytes) continue;  // changed again: update anew
    for (;;) {
      try {
        ReplaceFileWith(tmp, path);
        return true;
      } catch (const FileWriteError& e) {
        retryOrThrow(e);
      }
    }
  }
}

std::u16string HintSaveFailureText(const FileWriteError& error, const std::u16string& hintPath) {
  std::u16string folder = hintPath.substr(0, hintPath.size() - FileNamePart(hintPath, u"\\/").size());
  if (folder.size() > 1 && (folder.back() == u'\\' || folder.back() == u'/')) folder.pop_back();
  switch (error.failure) {
    case WriteFailure::FolderReadOnly:
      return u"フォルダ " + folder + u" は読み取り専用のため、説明ファイル " + kHintFileName +
             u" を保存できません。\nこのフォルダに書き込む権限があるか、フォルダの管理者に確認してください。";
    case WriteFailure::FileReadOnly:
      return u"説明ファイル " + hintPath +
             u" は読み取り専用のため、保存できません。\nファイルのプロパティで「読み取り専用」を外してから、もう一度実行してください。";
    case WriteFailure::InUse:
      return u"説明ファイル " + hintPath +
             u" は他のユーザーまたはプログラムが使用中のため、保存できませんでした。\nしばらくしてから、もう一度実行してください。";
    case WriteFailure::Other: break;
  }
  std::u16string text = u"説明ファイル " + hintPath + u" を保存できませんでした。";
  if (!error.systemText.empty()) text += u"\n" + error.systemText;
  return text;
}

std::u16string FormatHoverDate(const LocalTimeParts& t, std::u16string_view ds, std::u16string_view ts,
                               std::u16string_view name) {
  auto two = [](int v) {
    std::u16string s = IntToStr16(v);
    return s.size() < 2 ? u"0" + s : s;
  };
  std::u16string year = IntToStr16(t.year);
  while (year.size() < 4) year = u"0" + year;
  std::u16string out = u"[" + year;
  out += ds;
  out += two(t.month);
  out += ds;
  out += two(t.day) + u" " + two(t.hour);
  out += ts;
  out += two(t.minute);
  out += ts;
  out += two(t.second) + u"] ";
  out += name;
  return out;
}

}  // namespace tesmar
