#pragma once
// Text files of the program (top-folder list, target list, hint files): read in the
// encoding their byte-order mark names, else in the ANSI code page; written back in the
// encoding they were read in (ANSI when new). One entry per line, nothing trimmed.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/codepage.h"

namespace tesmar {

struct TextLines {
  TextEncoding encoding = TextEncoding::Ansi;
  bool bom = false;                  // the file began with a byte-order mark
  std::vector<std::u16string> lines;
  // Line ends are written as CR LF after every line, the last one included, unless the file
  // that was read ended without one.
  bool finalLineEnd = true;
};

// The encoding that a byte-order mark at the start of the bytes names, and the mark; ANSI and
// no mark when they begin without one.
struct ByteOrderMark {
  TextEncoding encoding = TextEncoding::Ansi;
  std::string_view mark;
};
ByteOrderMark DetectByteOrderMark(std::string_view bytes);
// The mark of an encoding; empty for ANSI.
std::string_view ByteOrderMarkOf(TextEncoding encoding);

// Splits bytes into lines (CR LF, LF or CR end a line). A final line end adds no empty line.
TextLines ParseTextLines(std::string_view bytes);
// A text in the ANSI code page that holds a character the code page cannot hold is written as
// UTF-8 with a byte-order mark instead, so that nothing is lost; ANSI otherwise.
std::string FormatTextLines(const TextLines& text);

// False when the file does not exist or cannot be opened; `out` is then a new ANSI text.
bool ReadTextLines(const std::filesystem::path& file, TextLines& out);

// Tells a missing file from an unreadable one: false (and a new ANSI text in `out`) when the
// file does not exist; throws std::runtime_error naming the file when it exists but cannot be
// read, so that its contents are not taken for an empty list and written over.
bool ReadExistingTextLines(const std::filesystem::path& file, TextLines& out);

// Writes through a temporary file in the same folder that then replaces `file`, so an
// interrupted write leaves the previous file as it was. Throws std::runtime_error on failure.
void WriteTextLines(const std::filesystem::path& file, const TextLines& text);

// Writes bytes the same way (temporary file, then replace).
void WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes);

// Replaces `target` by `source` in one step (rename over an existing file).
void ReplaceFileWith(const std::filesystem::path& source, const std::filesystem::path& target);

// The whole file as bytes; false when it cannot be opened.
bool ReadFileBytes(const std::filesystem::path& file, std::string& out);

}  // namespace tesmar
