// tesmar-tool: the program's portable pieces from the command line, for checks and scripts.
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "cli/command.h"

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

}  // namespace tesmar::cli

int main(int argc, char** argv) {
  using namespace tesmar::cli;
  if (argc >= 2) {
    auto it = Registry().find(argv[1]);
    if (it != Registry().end()) {
      std::vector<std::string> args(argv + 2, argv + argc);
      try {
        return it->second.main(args);
      } catch (const std::exception& e) {
        std::fprintf(stderr, "tesmar-tool %s: %s\n", argv[1], e.what());
        return 1;
      }
    }
  }
  std::fprintf(stderr, "usage:\n");
  for (const auto& [name, entry] : Registry()) std::fprintf(stderr, "  tesmar-tool %s %s\n", name.c_str(), entry.usage);
  return 2;
}
