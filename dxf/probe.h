#pragma once
// The two cheap questions asked of a DXF file before it is read: is it a text DXF at all (not
// a DWG file or a binary DXF under a .dxf name), and which version wrote it, which decides the
// text encoding.
#include <string>
#include <string_view>

#include "base/codepage.h"
#include "dxf/pair_scanner.h"

namespace tesmar {

// The file's first bytes (at most 6, up to the first zero byte, as ANSI text) when more than
// 5 could be read, else empty. False only when the file exists but cannot be opened or read.
bool ReadDxfSignature(std::u16string_view fileName, std::u16string& signature);

// The value of the header variable $ACADVER, or empty. False only when the file exists but
// cannot be opened; a missing file, a file without $ACADVER and a code line that is not a
// number all give true with an empty version.
bool ReadDxfVersion(std::u16string_view fileName, std::u16string& version);

// Whether a signature marks a file that the reader must not be given: a DWG file ("AC1...")
// or a binary DXF ("AutoCAD Binary DXF").
bool IsReadableDxfSignature(bool signatureRead, std::u16string_view signature);

// "AC1021" and later are written in UTF-8, earlier versions (and files without $ACADVER) in the
// ANSI code page.
TextEncoding DxfEncodingForVersion(std::u16string_view version);

// The decision the viewer takes before reading: readable is false for a DWG or binary DXF;
// versionRead is false when the version probe failed (nothing is read then).
struct TDxfProbe {
  bool readable = true;
  bool versionRead = true;
  std::u16string signature;
  std::u16string acadver;
  TextEncoding encoding = TextEncoding::Ansi;
};
TDxfProbe ProbeDxfFile(std::u16string_view fileName);

// The same probes of a file already opened, from the first block of the scanner that then
// reads it: afterwards the scanner stands at the first pair again. versionRead is false when
// it cannot go back there.
TDxfProbe ProbeDxfFile(DxfPairScanner& scanner);

}  // namespace tesmar
