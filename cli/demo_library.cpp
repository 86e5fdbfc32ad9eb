// tesmar-tool demo-library OUTDIR [COUNT]: writes the demo library (drawing folders with
// previews the project draws itself) below OUTDIR; with COUNT, writes COUNT drawings straight
// into OUTDIR instead.
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "cli/command.h"
#include "library/demo_library.h"

namespace {

int DemoLibraryMain(const std::vector<std::string>& args) {
  if (args.empty() || args.size() > 2) {
    std::fprintf(stderr, "usage: tesmar-tool demo-library OUTDIR [COUNT]\n");
    return 2;
  }
  try {
    int n = args.size() == 2 ? tesmar::WriteDemoFolder(tesmar::cli::PathArg(args[0]), std::atoi(args[1].c_str()))
                             : tesmar::WriteDemoLibrary(tesmar::cli::PathArg(args[0]));
    std::printf("%d drawings written to %s\n", n, args[0].c_str());
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "demo-library: %s\n", e.what());
    return 1;
  }
}

}  // namespace

TESMAR_TOOL_COMMAND("demo-library", "OUTDIR [COUNT]  write the demo drawing library", DemoLibraryMain);
