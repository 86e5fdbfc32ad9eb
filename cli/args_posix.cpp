#include "cli/command.h"

namespace tesmar::cli {

std::vector<std::string> Utf8Arguments(int argc, char** argv) { return {argv, argv + argc}; }

}  // namespace tesmar::cli
