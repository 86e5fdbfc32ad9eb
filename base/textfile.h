#pragma once
// Text files of the program (top-folder list, target list, hint files): read in the
// encoding their byte-order mark names; without a mark as UTF-8 when the bytes are valid UTF-8
// and hold a byte above 127 (Notepad's default today), else in the ANSI code page; written
// back in the encoding they were read in, with or without the mark as read (ANSI when new).
// One entry per line, nothing trimmed.
#include <filesystem>
#include <stdexcept>
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
// The encoding of a text file's bytes: the one its byte-order mark names; without a mark,
// UTF-8 (and an empty mark) when the bytes are well-formed UTF-8 holding at least one byte
// above 127, else ANSI.
ByteOrderMark DetectTextEncoding(std::string_view bytes);
// True when the bytes are well-formed UTF-8 (shortest forms, no surrogates, nothing above
// U+10FFFF, no sequence cut off at the end) and at least one of them is above 127.
bool IsNonAsciiUtf8(std::string_view bytes);
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

// Why a file could not be written, in the terms the user acts on.
enum class WriteFailure {
  Other,           // see the system's text
  FolderReadOnly,  // no file can be created in the folder (permissions, a read-only share or medium)
  FileReadOnly,    // the file itself is marked read-only
  InUse,           // another program or user holds the file open
};

// A failed write: what() names the file (in UTF-8) for the log-style error box; `failure` and
// `systemText` (the system's own words for the cause, empty when it has none) are for a
// message in the user's words.
class FileWriteError : public std::runtime_error {
 public:
  FileWriteError(WriteFailure failure, const std::string& what, std::u16string systemText = {})
      : std::runtime_error(what), failure(failure), systemText(std::move(systemText)) {}
  WriteFailure failure;
  std::u16string systemText;
};

// Creates `file`, which must not exist yet, with the bytes. Throws FileWriteError (also when
// the file exists, as WriteFailure::Other with `exists` set to true).
void CreateNewFile(const std::filesystem::path& file, std::string_view bytes, bool* exists = nullptr);

// Writes through a temporary file in the same folder that then replaces `file`, so an
// interrupted write leaves the previous file as it was. Throws FileWriteError on failure.
void WriteTextLines(const std::filesystem::path& file, const TextLines& text);

// Writes bytes the same way (temporary file, then replace).
void WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes);

// The name of a temporary file beside `file` ("<file>.tmp<number>").
std::filesystem::path TemporaryFileBeside(const std::filesystem::path& file);

// Replaces `target` by `source` in one step (rename over an existing file). Throws
// FileWriteError.
void ReplaceFileWith(const std::filesystem::path& source, const std::filesystem::path& target);

// The whole file as bytes; false when it cannot be opened.
bool ReadFileBytes(const std::filesystem::path& file, std::string& out);

}  // namespace tesmar
