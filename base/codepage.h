#pragma once
// Code-page conversion. The ANSI code page is GetACP() on Windows and 932 (Shift_JIS as
// Windows extends it) in the native build.
#include <cstddef>
#include <string>
#include <string_view>

namespace tesmar {

enum class TextEncoding { Ansi, Utf8, Utf16LE, Utf16BE };

unsigned AnsiCodePage();

// Invalid input never throws: undecodable bytes become U+FFFD (or the platform's default
// character), unencodable characters become '?'.
std::u16string AnsiToUtf16(std::string_view bytes);
std::string Utf16ToAnsi(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view bytes);
std::string Utf16ToUtf8(std::u16string_view text);

// True when every character of `text` survives the trip through the ANSI code page (no '?',
// no best-fit look-alike such as u for ü).
bool FitsAnsiCodePage(std::u16string_view text);

// Byte length of text in code page 932 (two bytes for a double-byte character).
std::size_t Cp932ByteLength(std::u16string_view text);

// Decodes or encodes a whole text in the given encoding (no byte-order mark involved).
std::u16string DecodeText(std::string_view bytes, TextEncoding enc);
std::string EncodeText(std::u16string_view text, TextEncoding enc);

}  // namespace tesmar
