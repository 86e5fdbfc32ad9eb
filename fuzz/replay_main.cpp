// Replays every file of the given folders (or the given files) through the fuzz target, so
// the seeds and any saved crash inputs stay regression tests in the ordinary build. A missing
// argument, an unreadable file or a folder without inputs fails the run: a replay that
// replays nothing proves nothing.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

static bool RunOne(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", file.string().c_str());
    return false;
  }
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
  LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  return true;
}

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s corpus-folder-or-file...\n", argv[0]);
    return 2;
  }
  bool ok = true;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path p(argv[i]);
    int count = 0;
    if (std::filesystem::is_directory(p)) {
      for (const auto& e : std::filesystem::recursive_directory_iterator(p))
        if (e.is_regular_file()) ok &= RunOne(e.path()), ++count;
    } else if (std::filesystem::exists(p)) {
      ok &= RunOne(p), ++count;
    }
    if (count == 0) {
      std::fprintf(stderr, "no inputs in %s\n", p.string().c_str());
      ok = false;
    }
    std::printf("replayed %d inputs of %s\n", count, p.string().c_str());
  }
  // An empty input is always worth one run.
  LLVMFuzzerTestOneInput(nullptr, 0);
  return ok ? 0 : 1;
}
