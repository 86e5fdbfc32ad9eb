#include "dxf/probe.h"

#include <algorithm>

#include "base/readonly_file.h"
#include "base/strings.h"
#include "dxf/pair_scanner.h"

namespace tesmar {
namespace {

// The signature from the scanner's first bytes; false on a read error.
bool SignatureOf(DxfPairScanner& scanner, std::u16string& signature) {
  signature.clear();
  std::string_view start;
  if (!scanner.PeekStart(7, start)) return false;
  const std::size_t total = std::min<std::size_t>(start.size(), 7);
  const std::string_view first = start.substr(0, std::min<std::size_t>(total, 6));
  if (total > 5) signature = AnsiToUtf16(first.substr(0, first.find('\0')));
  return true;
}

// $ACADVER from the header; a read error ends the scan as the end of the file does.
void VersionOf(DxfPairScanner& scanner, std::u16string& version) {
  version.clear();
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
}

constexpr std::size_t kProbeBlock = 1 << 16;

// Runs `probe` over the file named: true without running it when there is no such file, false
// when the file cannot be opened; else what the probe says.
template <class Probe>
bool ProbeByName(std::u16string_view fileName, Probe probe) {
  const auto path = PathFromU16(fileName);
  if (!IsExistingFile(path)) return true;
  ReadOnlyFile file;
  if (file.Open(path) != FileOpenResult::Ok) return false;
  DxfPairScanner scanner(file, kProbeBlock);
  return probe(scanner);
}

}  // namespace

bool ReadDxfSignature(std::u16string_view fileName, std::u16string& signature) {
  signature.clear();
  return ProbeByName(fileName, [&](DxfPairScanner& scanner) { return SignatureOf(scanner, signature); });
}

bool ReadDxfVersion(std::u16string_view fileName, std::u16string& version) {
  version.clear();
  return ProbeByName(fileName, [&](DxfPairScanner& scanner) {
    VersionOf(scanner, version);
    return true;
  });
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
  // A file that cannot be opened has no signature to refuse, and no version.
  probe.versionRead = ProbeByName(fileName, [&](DxfPairScanner& scanner) {
    probe = ProbeDxfFile(scanner);
    return true;
  });
  return probe;
}

TDxfProbe ProbeDxfFile(DxfPairScanner& scanner) {
  TDxfProbe probe;
  const bool signatureRead = SignatureOf(scanner, probe.signature);
  probe.readable = IsReadableDxfSignature(signatureRead, probe.signature);
  if (!probe.readable) return probe;
  VersionOf(scanner, probe.acadver);
  probe.versionRead = scanner.Restart();
  probe.encoding = DxfEncodingForVersion(probe.acadver);
  return probe;
}

}  // namespace tesmar
