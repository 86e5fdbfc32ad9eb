// tesmar-tool: the program's portable pieces from the command line, for checks and scripts.
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "base/codepage.h"
#include "base/strings.h"
#include "cli/command.h"
#include "tesmar_version.h"

namespace tesmar::cli {
namespace {

struct Entry {
  const char* usage;
  CommandMain main;
};

std::map<std::string, Entry>& Registry() {
  static std::map<std::string, Entry> registry;
  return registry;
}

}  // namespace

CommandRegistration::CommandRegistration(const char* name, const char* usage, CommandMain main) {
  Registry()[name] = Entry{usage, main};
}

std::filesystem::path PathArg(const std::string& utf8) { return PathFromU16(Utf8ToUtf16(utf8)); }

}  // namespace tesmar::cli

int main(int argc, char** argv) {
  using namespace tesmar::cli;
  std::vector<std::string> utf8 = Utf8Arguments(argc, argv);
  if (utf8.size() == 2 && utf8[1] == "--version") {
    std::printf("tesmar-tool %s\n", TESMAR_VERSION_STRING);
    return 0;
  }
  if (utf8.size() >= 2) {
    auto it = Registry().find(utf8[1]);
    if (it != Registry().end()) {
      std::vector<std::string> args(utf8.begin() + 2, utf8.end());
      try {
        return it->second.main(args);
      } catch (const std::exception& e) {
        std::fprintf(stderr, "tesmar-tool %s: %s\n", utf8[1].c_str(), e.what());
        return 1;
      }
    }
  }
  std::fprintf(stderr, "usage:\n  tesmar-tool --version\n");
  for (const auto& [name, entry] : Registry()) std::fprintf(stderr, "  tesmar-tool %s %s\n", name.c_str(), entry.usage);
  return 2;
}
