#pragma once
// Sub-commands of tesmar-tool register themselves with TESMAR_TOOL_COMMAND in their own
// source file; tesmar_tool.cpp dispatches on the first argument.
#include <string>
#include <vector>

namespace tesmar::cli {

// args excludes the program name and the command word. Returns the exit code.
using CommandMain = int (*)(const std::vector<std::string>& args);

struct CommandRegistration {
  CommandRegistration(const char* name, const char* usage, CommandMain main);
};

}  // namespace tesmar::cli

#define TESMAR_TOOL_COMMAND(name, usage, fn) \
  static ::tesmar::cli::CommandRegistration tesmar_command_##fn(name, usage, fn)
