#pragma once
// Small DXF fixtures for the reader's tests: pairs written one per line as "code value" become
// the two-line form of a DXF file, written to a temporary folder and read into a model.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/strings.h"
#include "dxf/reader.h"
#include "tests/support/testdata.h"

namespace tesmar::test {

// "0 LINE\n8 A\n10 1.5" -> "0\nLINE\n8\nA\n10\n1.5\n"; the value is everything after the first
// space of a line (empty when there is none).
inline std::string DxfPairs(std::string_view lines, std::string_view eol = "\n") {
  std::string out;
  std::size_t start = 0;
  while (start < lines.size()) {
    std::size_t end = lines.find('\n', start);
    if (end == std::string_view::npos) end = lines.size();
    std::string_view line = lines.substr(start, end - start);
    start = end + 1;
    while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
    if (line.empty()) continue;
    const std::size_t space = line.find(' ');
    out.append(line.substr(0, space)).append(eol);
    out.append(space == std::string_view::npos ? std::string_view() : line.substr(space + 1)).append(eol);
  }
  return out;
}

// Wraps entity pairs into an ENTITIES section.
inline std::string EntitiesSection(std::string_view pairs) {
  return DxfPairs("0 SECTION\n2 ENTITIES\n") + DxfPairs(pairs) + DxfPairs("0 ENDSEC\n0 EOF\n");
}

struct RecordingReport : IDxfReport {
  bool parent = true;
  std::vector<std::pair<std::u16string, std::u16string>> messages;  // text, caption
  bool HasParentWindow() const override { return parent; }
  void ShowMessage(std::u16string_view text, std::u16string_view caption) override {
    messages.emplace_back(text, caption);
  }
};

struct RecordingProgress : IDxfProgress {
  int max = -1, position = 0, steps = 0;
  std::vector<int> positions;
  void SetMax(int m) override { max = m; }
  int Position() const override { return position; }
  void SetPosition(int p) override {
    position = p;
    positions.push_back(p);
  }
};

// Reads `bytes` as a DXF file in the given encoding.
struct DxfRead {
  TempDir dir;
  TDrawingModel model;
  RecordingReport report;
  std::u16string status, version;

  explicit DxfRead(std::string_view bytes, TextEncoding encoding = TextEncoding::Ansi, std::string name = "t.dxf") {
    const auto file = dir / name;
    WriteFile(file, bytes);
    version = ReadDxfFile(model, U16FromPath(file), nullptr, &report, status, encoding);
  }
};

// Reads a file that cannot be read as a whole, with and without a parent window: the status
// is `status` both times, the message is shown (captioned "DxfReport") only with the window.
void ExpectFileLevelFailure(const std::filesystem::path& file, std::u16string_view status, std::u16string_view message);

}  // namespace tesmar::test
