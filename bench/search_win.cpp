// The search across the library, measured under Wine: a library of 20 000 drawings in 2 000
// folders (20 groups of 100), each folder with a hint file, searched through the main window
// itself. Prints the first search made at once (it waits for the reading of the library that
// the window starts aside; the system's file cache is warm from writing them), the first
// search made once that reading ended, later ones that reuse it, one after a folder changed,
// and the walk alone in its parts. Figures only; nothing is asserted.
#include <windows.h>
#include <objbase.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/main_form_win.h"
#include "base/codepage.h"
#include "base/strings.h"
#include "library/demo_library.h"
#include "library/folder_entries.h"
#include "library/search_index.h"
#include "library/search_text.h"
#include "base/textfile.h"

using namespace tesmar;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

constexpr int kGroups = 20, kFoldersPerGroup = 100, kDrawingsPerFolder = 10;

void MakeLibrary(const std::filesystem::path& lib) {
  // Ten demo drawings with their previews, copied into every folder under other names.
  const std::filesystem::path samples = lib.parent_path() / "samples";
  WriteDemoFolder(samples, kDrawingsPerFolder);
  std::vector<std::string> bytes;
  for (const auto& e : std::filesystem::directory_iterator(samples)) {
    std::ifstream in(e.path(), std::ios::binary);
    bytes.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  const char* kinds[] = {"GV", "CV", "BV", "P", "M", "T", "F", "S", "R", "X"};
  // Descriptions in code page 932: ゲートバルブ, チャッキバルブ, ボールバルブ, ポンプ, then plain ones.
  const char* texts[] = {"\x83\x51\x81\x5b\x83\x67\x83\x6f\x83\x8b\x83\x75", "\x83\x60\x83\x83\x83\x62\x83\x4c\x83\x6f\x83\x8b\x83\x75",
                         "\x83\x7b\x81\x5b\x83\x8b\x83\x6f\x83\x8b\x83\x75", "\x83\x7c\x83\x93\x83\x76", "motor",
                         "tank", "filter", "strainer", "reducer", "misc"};
  for (int g = 0; g < kGroups; ++g) {
    for (int k = 0; k < kFoldersPerGroup; ++k) {
      const auto folder = lib / ("group" + std::to_string(g)) / ("unit" + std::to_string(k));
      std::filesystem::create_directories(folder);
      std::ofstream hint(folder / "TesmarHint.txt", std::ios::binary);
      for (int d = 0; d < kDrawingsPerFolder; ++d) {
        const std::string name = std::string(kinds[d]) + "-" + std::to_string(g * 1000 + k * 10 + d) + "A";
        std::ofstream(folder / (name + ".dwg"), std::ios::binary) << bytes[d % bytes.size()];
        hint << name << "," << texts[d] << " " << g << "-" << k << "\r\n";
      }
    }
  }
}

void PrintWalk(const char* what, double ms, const IndexWalk& w, int found) {
  std::printf("%-46s %8.1f ms  (%d folders walked, %d read, %d drawings, %d found)\n", what, ms, w.folders,
              w.foldersRead, w.drawings, found);
}

}  // namespace

int main(int argc, char** argv) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  std::filesystem::path base = std::filesystem::temp_directory_path() / "tesmar-bench-search";
  if (argc > 1) base = argv[1];
  const std::filesystem::path lib = base / "library";
  auto t0 = Clock::now();
  if (!std::filesystem::exists(base / "done")) {
    MakeLibrary(lib);
    std::ofstream(base / "done") << "ok";
  }
  std::printf("library of %d drawings in %d folders ready in %.0f ms (%s)\n", kGroups * kFoldersPerGroup * kDrawingsPerFolder,
              kGroups * kFoldersPerGroup, Ms(Clock::now() - t0), lib.string().c_str());

  const std::filesystem::path program = base / "program";
  std::filesystem::create_directories(program);
  std::ofstream(program / "TesmarTopDirs.txt", std::ios::binary) << Utf16ToAnsi(U16FromPath(lib)) << "\r\n";
  auto s0 = Clock::now();
  TTesmarMainForm form(U16FromPath(program / "Tesmar.exe"));
  form.Create();
  ShowWindow(form.hwnd(), SW_SHOWNA);
  std::printf("main window up (its own catalogue walk included): %.1f ms\n", Ms(Clock::now() - s0));

  auto search = [&](TTesmarMainForm& f, const char* what, const std::u16string& text) {
    auto q0 = Clock::now();
    f.SearchDrawings(text);
    UpdateWindow(f.hwnd());
    PrintWalk(what, Ms(Clock::now() - q0), f.LastIndexWalk(), f.grid.Count());
  };
  search(form, "first search at once, waiting for the reading aside", u"バルブ");
  DestroyWindow(form.hwnd());

  // A user who searches a moment after the window came up: the library was read aside.
  TTesmarMainForm again(U16FromPath(program / "Tesmar.exe"));
  s0 = Clock::now();
  again.Create();
  ShowWindow(again.hwnd(), SW_SHOWNA);
  while (!again.SearchIndexWalk().Finished()) Sleep(5);
  std::printf("second window up and the library read aside:     %.1f ms\n", Ms(Clock::now() - s0));
  search(again, "first search after the reading aside (\"バルブ\")", u"バルブ");
  search(again, "second search, reusing (\"gv-1*a\")", u"gv-1*a");
  search(again, "third search, reusing (\"ﾎﾟﾝﾌﾟ 7\")", u"ﾎﾟﾝﾌﾟ 7");
  std::ofstream(lib / "group3" / "unit7" / "NEW-1.dwg", std::ios::binary) << "AC1015";
  search(again, "after a drawing was added to one folder", u"new");
  std::filesystem::remove(lib / "group3" / "unit7" / "NEW-1.dwg");

  // The walk alone, without the window: a fresh index, then one reusing it.
  SearchIndex index;
  for (const char* what : {"walk alone, fresh index", "walk alone, reusing"}) {
    auto w0 = Clock::now();
    IndexWalk w = index.Refresh(U16FromPath(lib), u".dwg", nullptr);
    const double walkMs = Ms(Clock::now() - w0);
    auto f0 = Clock::now();
    const int found = static_cast<int>(index.Find(u"バルブ").size());
    PrintWalk(what, walkMs, w, found);
    std::printf("%-46s %8.1f ms\n", "  matching all drawings (\"バルブ\")", Ms(Clock::now() - f0));
  }
  // The parts of a fresh walk: listing the folders, reading the hint files, folding the texts.
  {
    std::vector<FolderEntry> entries;
    auto l0 = Clock::now();
    int listed = 0;
    for (const auto& group : std::filesystem::directory_iterator(lib))
      for (const auto& unit : std::filesystem::directory_iterator(group.path())) {
        ListFolderEntries(U16FromPath(unit.path()), entries);
        WriteStampOf(U16FromPath(unit.path()));
        WriteStampOf(U16FromPath(unit.path() / "TesmarHint.txt"));
        ++listed;
      }
    std::printf("%-46s %8.1f ms  (%d folders)\n", "  listing and write times alone", Ms(Clock::now() - l0), listed);
    auto h0 = Clock::now();
    std::string bytes;
    for (const auto& group : std::filesystem::directory_iterator(lib))
      for (const auto& unit : std::filesystem::directory_iterator(group.path()))
        ReadFileBytes(unit.path() / "TesmarHint.txt", bytes);
    std::printf("%-46s %8.1f ms\n", "  reading the hint files alone", Ms(Clock::now() - h0));
    auto f0 = Clock::now();
    std::size_t folded = 0;
    for (int i = 0; i < kGroups * kFoldersPerGroup * kDrawingsPerFolder; ++i)
      folded += FoldForSearch(u"GV-" + IntToStr16(i) + u"A").size() + FoldForSearch(u"ゲートバルブ 3-7").size();
    std::printf("%-46s %8.1f ms  (%zu characters)\n", "  folding names and descriptions alone", Ms(Clock::now() - f0), folded);
  }
  DestroyWindow(again.hwnd());
  return 0;
}
