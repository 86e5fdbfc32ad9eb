#pragma once
// The hint file of a drawing folder ("TesmarHint.txt"): one line per drawing, the key (the
// file name without extension) and a description, comma-separated. Lines are kept byte for
// byte: an update only puts "//" in front of lines of drawings that have left and appends
// lines for new ones, in the file's own encoding and byte-order mark.
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/codepage.h"
#include "base/textfile.h"
#include "base/texts.h"

namespace tesmar {

extern const char16_t kHintFileName[];   // "TesmarHint.txt"

// Splits a line into fields: leading blanks and control characters (codes 1 to 32) are
// skipped; a field ends at a comma or, outside double quotes, at a blank or control
// character; a field that starts with a double quote runs to the matching one, two double
// quotes inside standing for one; blanks after a field are skipped; a comma that is the last
// character of the line adds an empty field.
std::vector<std::u16string> ParseHintFields(std::u16string_view line);

// A file name without its extension, with the letters a to z upper-cased: the form in which
// keys are compared.
std::u16string HintKeyOfName(std::u16string_view fileName);

// Field 2 of the first line that has at least two fields and whose upper-cased key equals
// `key`; nothing when no line matches.
std::optional<std::u16string> FindHintDescription(const std::vector<std::u16string>& lines,
                                                  std::u16string_view key);

struct HintFile {
  struct Line {
    std::string raw;   // the line's bytes as they stand in the file
    std::string end;   // its line end as it stands ("" for a last line without one)
    std::u16string text;
  };
  TextEncoding encoding = TextEncoding::Ansi;
  std::string bom;     // the byte-order mark as read, empty when none
  std::vector<Line> lines;

  std::vector<std::u16string> Texts() const;
};

HintFile ParseHintFile(std::string_view bytes);
std::string FormatHintFile(const HintFile& file);

// The line added for a drawing: its name without extension, letter case as it is, and ",".
// A key that would not read back as itself
// (a blank, a comma or a double quote in it, blanks at its ends) is put in double quotes,
// inner double quotes doubled.
std::u16string HintLineFor(std::u16string_view drawingName);

// The lines of a new file: for each drawing its line (HintLineFor). A file of the ANSI code
// page that would get a character the code page cannot hold is written as UTF-8 with a
// byte-order mark instead.
HintFile NewHintFile(const std::vector<std::u16string>& drawingNames);

// Brings the file up to date with the folder's drawings: a line that has a key, does not
// start with "/" and names no drawing gets "//" in front; each drawing without a line gets its
// line (HintLineFor) at the end. Every other byte stays as it was, unless a new line holds a
// character outside the ANSI code page of an ANSI file: the file then becomes UTF-8 with a
// byte-order mark (its lines read the same), or stays ANSI when it holds bytes that do not
// decode, which are the user's and are kept.
void UpdateHintFile(HintFile& file, const std::vector<std::u16string>& drawingNames);

// Creates the hint file with the drawings' lines, or brings it up to date with them, so that
// several palettes (several users on one shared folder) can do so at the same moment without
// losing a line: when the file wants changing, the folder's hint lock is taken (another
// holder is waited for), the file is read again and the update applied to what is there now,
// written to a temporary file beside it, and the file replaced in one step. A file that
// another program holds open is tried again until `retryFor` has passed. Throws
// FileWriteError (base/textfile.h) when the file cannot be read or written; the file is then
// as it was. True when the file was written, false when it was already up to date.
bool SaveHintFile(const std::filesystem::path& path, const std::vector<std::u16string>& drawingNames,
                  std::chrono::milliseconds retryFor = std::chrono::milliseconds(3000));

// The message for a hint file that could not be saved, in the user's words: what stands in the
// way and what to do about it.
std::u16string HintSaveFailureText(const FileWriteError& error, const std::u16string& hintPath);

struct LocalTimeParts {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
// "[yyyy/mm/dd hh:nn:ss] " followed by the name, with the given separators in place of the
// slash and the colon.
std::u16string FormatHoverDate(const LocalTimeParts& t, std::u16string_view dateSeparator,
                               std::u16string_view timeSeparator, std::u16string_view name);

}  // namespace tesmar
