#include "dxf/probe.h"

#include "base/readonly_file.h"
#include "base/strings.h"
#include "dxf/pair_scanner.h"

namespace tesmar {

bool ReadDxfSignature(std::u16string_view fileName, std::u16string& signature) {
  signature.clear();
  const auto path = PathFromU16(fileName);
  if (!IsExistingFile(path)) return true;
  ReadOnlyFile file;
  if (file.Open(path) != FileOpenResult::Ok) return false;
  char buf[7] = {};
  std::size_t total = 0;
  while (total < sizeof buf) {
    std::size_t got = 0;
    if (!file.Read(buf + total, sizeof buf - total, got)) return false;
    if (got == 0) break;
    total += got;
  }
  buf[6] = 0;
  if (total > 5) signature = AnsiToUtf16(std::string_view(buf));
  return true;
}

bool ReadDxfVersion(std::u16string_view fileName, std::u16string& version) {
  version.clear();
  const auto path = PathFromU16(fileName);
  if (!IsExistingFile(path)) return true;
  ReadOnlyFile file;
  if (file.Open(path) != FileOpenResult::Ok) return false;
  DxfPairScanner scanner(file, 1 << 16);
  DxfPair pair;
  bool inHeader = false;
  while (scanner.Next(pair) == DxfPairScanner::Result::Pair) {
    if (!pair.numeric) break;
    if (inHeader && pair.value == "$ACADVER") {
      if (scanner.Next(pair) == DxfPairScanner::Result::Pair && pair.numeric && pair.number == 1)
        version = AnsiToUtf16(pair.value);
      break;
    }
    if (pair.number == 2) {
      if (pair.value == "HEADER") inHeader = true;
      else if (pair.value == "ENTITIES" || pair.value == "BLOCKS") break;
    }
  }
  return true;
}

bool IsReadableDxfSignature(bool signatureRead, std::u16string_view signature) {
  if (!signatureRead) return true;
  const bool binary = signature.find(u"Auto") != std::u16string_view::npos;
  if (signature.size() == 6) return !(signature.substr(0, 3) == u"AC1" || binary);
  return !binary;
}

TextEncoding DxfEncodingForVersion(std::u16string_view version) {
  return version < std::u16string_view(u"AC1021") ? TextEncoding::Ansi : TextEncoding::Utf8;
}

TDxfProbe ProbeDxfFile(std::u16string_view fileName) {
  TDxfProbe probe;
  const bool signatureRead = ReadDxfSignature(fileName, probe.signature);
  probe.readable = IsReadableDxfSignature(signatureRead, probe.signature);
  if (!probe.readable) return probe;
  probe.versionRead = ReadDxfVersion(fileName, probe.acadver);
  probe.encoding = DxfEncodingForVersion(probe.acadver);
  return probe;
}

}  // namespace tesmar
