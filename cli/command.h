#pragma once
// Sub-commands of tesmar-tool register themselves with TESMAR_TOOL_COMMAND in their own
// source file; tesmar_tool.cpp dispatches on the first argument.
#include <filesystem>
#include <string>
#include <vector>

namespace tesmar::cli {

// Arguments arrive as UTF-8 on every platform (on Windows they are taken from the wide
// command line). args excludes the program name and the command word. Returns the exit code.
using CommandMain = int (*)(const std::vector<std::string>& args);

struct CommandRegistration {
  CommandRegistration(const char* name, const char* usage, CommandMain main);
};

// The program's arguments, argv[0] included, as UTF-8.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// A path named by a UTF-8 argument.
std::filesystem::path PathArg(const std::string& utf8);

}  // namespace tesmar::cli

#define TESMAR_TOOL_COMMAND(name, usage, fn) \
  static ::tesmar::cli::CommandRegistration tesmar_command_##fn(name, usage, fn)
