#pragma once
// Standard error for the tool's commands: UTF-8 lines, and the DXF reader's message boxes
// written there as "caption: text".
#include <cstdio>
#include <string>
#include <string_view>

#include "base/codepage.h"
#include "dxf/reader.h"

namespace tesmar::cli {

inline void PrintUtf8Line(std::FILE* f, std::u16string_view text) {
  const std::string s = Utf16ToUtf8(text);
  std::fwrite(s.data(), 1, s.size(), f);
  std::fputc('\n', f);
}

class StderrReport : public IDxfReport {
 public:
  bool HasParentWindow() const override { return true; }
  void ShowMessage(std::u16string_view text, std::u16string_view caption) override {
    PrintUtf8Line(stderr, std::u16string(caption) + u": " + std::u16string(text));
  }
};

}  // namespace tesmar::cli
