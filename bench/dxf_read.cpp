// Reading speed of ReadDxfFile on large generated drawings, against a floor that only splits
// the file into lines and converts the group codes, and against dxflib reading the same file
// into a minimal adapter. Prints MB/s, the ratios, the peak memory of a read in a process of
// its own, and whether the model's record counts match what the generator wrote.
// Then the same for opening a drawing as the viewer does (read plus the whole post-processing):
// its processor time against the floor's and its peak memory against the file size, each
// with its goal, and a fingerprint of the drawable tables (counts, extents and a hash of every
// field the render pass reads) that must stay the same when the code gets faster.
//
//   bench_dxf_read [--dir DIR] [--sizes 10,100] [--runs N] [--dxflib 0]
//   bench_dxf_read --fingerprint FILE.dxf...   (the drawable tables of each file, nothing timed)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "base/readonly_file.h"
#include "base/strings.h"
#include "bench/dxf_generator.h"
#include "dxf/probe.h"
#include "dxf/reader.h"
#include "dxf/values.h"
#include "render/postprocess.h"


#ifdef TESMAR_HAVE_DXFLIB
#include <dl_creationadapter.h>
#include <dl_dxf.h>
#endif

namespace fs = std::filesystem;
using namespace tesmar;

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Processor time of this process: the machine may be shared, and time spent waiting for a core
// says nothing about the code.
double CpuSeconds() {
#ifndef _WIN32
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
#else
  return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
#endif
}

// Runs f `runs` times; the best wall-clock and processor times.
template <class F>
std::pair<double, double> Best(int runs, F&& f) {
  double wall = 1e9, cpu = 1e9;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const double c0 = CpuSeconds();
    f();
    cpu = std::min(cpu, CpuSeconds() - c0);
    wall = std::min(wall, Seconds(start));
  }
  return {wall, cpu};
}

// The floor: the file in 1 MiB blocks, split into lines (CR LF, LF or CR), every other line
// converted as a group code. Returns the sum of the codes so that nothing is optimised away.
long long Floor(const fs::path& file) {
  ReadOnlyFile f;
  if (f.Open(file) != FileOpenResult::Ok) return -1;
  std::vector<char> buf(1 << 20);
  std::size_t have = 0;
  long long sum = 0;
  bool codeLine = true;
  for (;;) {
    std::size_t got = 0;
    if (!f.Read(buf.data() + have, buf.size() - have, got)) return -1;
    const bool eof = got == 0;
    have += got;
    std::size_t p = 0;
    for (;;) {
      const char* b = buf.data();
      const void* lf = std::memchr(b + p, '\n', have - p);
      if (!lf) break;
      const std::size_t e = static_cast<std::size_t>(static_cast<const char*>(lf) - b);
      if (codeLine) {
        std::size_t s = p, t = e;
        while (s < t && static_cast<unsigned char>(b[s]) <= ' ') ++s;
        while (t > s && static_cast<unsigned char>(b[t - 1]) <= ' ') --t;
        std::int32_t code = 0;
        ParseDxfInt(std::string_view(b + s, t - s), code);
        sum += code;
      }
      codeLine = !codeLine;
      p = e + 1;
    }
    std::memmove(buf.data(), buf.data() + p, have - p);
    have -= p;
    if (eof) break;
    if (have == buf.size()) buf.resize(buf.size() * 2);
  }
  return sum;
}

#ifdef TESMAR_HAVE_DXFLIB
// A minimal adapter: it counts what dxflib hands over.
struct CountingAdapter : DL_CreationAdapter {
  std::size_t entities = 0, vertices = 0, layers = 0, blocks = 0;
  void addLayer(const DL_LayerData&) override { ++layers; }
  void addBlock(const DL_BlockData&) override { ++blocks; }
  void addLine(const DL_LineData&) override { ++entities; }
  void addArc(const DL_ArcData&) override { ++entities; }
  void addCircle(const DL_CircleData&) override { ++entities; }
  void addEllipse(const DL_EllipseData&) override { ++entities; }
  void addPolyline(const DL_PolylineData&) override { ++entities; }
  void addVertex(const DL_VertexData&) override { ++vertices; }
  void addSpline(const DL_SplineData&) override { ++entities; }
  void addControlPoint(const DL_ControlPointData&) override { ++vertices; }
  void addInsert(const DL_InsertData&) override { ++entities; }
  void addText(const DL_TextData&) override { ++entities; }
  void addMText(const DL_MTextData&) override { ++entities; }
  void addAttribute(const DL_AttributeData&) override { ++entities; }
  void addSolid(const DL_SolidData&) override { ++entities; }
  void add3dFace(const DL_3dFaceData&) override { ++entities; }
  void addLeader(const DL_LeaderData&) override { ++entities; }
  void addDimLinear(const DL_DimensionData&, const DL_DimLinearData&) override { ++entities; }
  void addDimAlign(const DL_DimensionData&, const DL_DimAlignedData&) override { ++entities; }
};

std::size_t DxflibRead(const fs::path& file) {
  CountingAdapter adapter;
  DL_Dxf dxf;
  if (!dxf.in(file.string(), &adapter)) return 0;
  return adapter.entities + adapter.vertices;
}
#endif

std::map<std::string, std::size_t> ReadCounts(const fs::path& file) {
  std::map<std::string, std::size_t> counts;
  std::ifstream in(file);
  std::string name;
  std::size_t n;
  while (in >> name >> n) counts[name] = n;
  return counts;
}

// Generates the file (and the list of its expected table counts) unless it is there already.
void EnsureFile(const fs::path& file, std::size_t megabytes, bool utf8) {
  const fs::path counts = fs::path(file).concat(".counts");
  if (fs::exists(file) && fs::exists(counts)) return;
  const auto start = std::chrono::steady_clock::now();
  bench::DxfGenOptions o;
  o.targetBytes = megabytes << 20;
  o.utf8 = utf8;
  std::map<std::string, std::size_t> expected;
  const std::string bytes = bench::DxfGenerator(o).Generate(expected);
  std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  std::ofstream c(counts);
  for (const auto& [name, n] : expected) c << name << ' ' << n << '\n';
  std::printf("generated %s (%.1f MB) in %.1f s\n", file.filename().string().c_str(), bytes.size() / 1e6, Seconds(start));
}

struct ReadResult {
  double seconds = 0;
  std::u16string status;
  std::map<std::string, std::size_t> counts;
};

ReadResult ReadOnce(const fs::path& file, TextEncoding enc) {
  ReadResult r;
  auto model = std::make_unique<TDrawingModel>();
  const auto start = std::chrono::steady_clock::now();
  ReadDxfFile(*model, U16FromPath(file), nullptr, nullptr, r.status, enc);
  r.seconds = Seconds(start);
  for (const TTableCount& t : TableCounts(*model)) r.counts[t.name] = t.count;
  return r;
}

// Hash of what the render pass and the viewer read from the drawable tables.
class Fingerprint {
 public:
  void Add(double v) { Bytes(&v, sizeof v); }
  void Add(std::int64_t v) { Bytes(&v, sizeof v); }
  void Add(const TAcadPoint& p) { Add(p.x), Add(p.y), Add(p.z); }
  void Add(const std::u16string& s) {
    Add(static_cast<std::int64_t>(s.size()));
    Bytes(s.data(), s.size() * sizeof(char16_t));
  }
  std::uint64_t Value() const { return h_; }

 private:
  void Bytes(const void* p, std::size_t n) {
    const auto* b = static_cast<const unsigned char*>(p);
    for (std::size_t i = 0; i < n; ++i) h_ = (h_ ^ b[i]) * 1099511628211ull;
  }
  std::uint64_t h_ = 14695981039346656037ull;
};

template <class Record>
void AddCommon(Fingerprint& f, const Record& r) {
  const std::u16string& layer = r.layer;
  f.Add(layer);
  if constexpr (requires { r.ltype; }) {
    const std::u16string& ltype = r.ltype;
    f.Add(ltype);
  }
  if constexpr (requires { r.PenStyle; }) f.Add(std::int64_t{r.PenStyle});
  f.Add(std::int64_t{r.color}), f.Add(std::int64_t{r.PenColor}), f.Add(std::int64_t{r.layindex});
  f.Add(std::int64_t{r.code60}), f.Add(std::int64_t{r.code67}), f.Add(r.code210);
}

std::uint64_t DrawableHash(const TDrawingModel& m) {
  Fingerprint f;
  for (const auto& r : m.LineAry) AddCommon(f, r), f.Add(r.st), f.Add(r.ed);
  for (const auto& r : m.CircleAry) AddCommon(f, r), f.Add(r.center), f.Add(r.hankei);
  for (const auto& r : m.ArcAry) AddCommon(f, r), f.Add(r.center), f.Add(r.hankei), f.Add(r.st), f.Add(r.ed);
  for (const auto& r : m.TextAry) {
    AddCommon(f, r), f.Add(r.pt10), f.Add(r.pt11), f.Add(r.code40), f.Add(r.code41), f.Add(r.code50);
    f.Add(std::int64_t{r.code72}), f.Add(std::int64_t{r.code73}), f.Add(std::int64_t{r.mtflag}), f.Add(r.str);
  }
  for (const auto& l : m.LayerAry) f.Add(l.Name), f.Add(std::int64_t{l.color}), f.Add(std::int64_t{l.visible});
  return f.Value();
}

struct OpenResult {
  TPostFigures figures;
  std::uint64_t hash = 0;
  double wall = 0, cpu = 0;  // of the read and the post-processing only
};

// Reads the file and post-processes the model as the viewer does when it opens a drawing. The
// times cover what the user waits for: not the figures and fingerprint taken afterwards, nor
// freeing the model (which happens when the next drawing is read).
OpenResult OpenOnce(const fs::path& file, TextEncoding enc, bool fingerprint) {
  auto model = std::make_unique<TDrawingModel>();
  std::u16string status;
  const auto start = std::chrono::steady_clock::now();
  const double c0 = CpuSeconds();
  ReadDxfFile(*model, U16FromPath(file), nullptr, nullptr, status, enc);
  const TBox extents = RunPostProcessing(*model);
  OpenResult r;
  r.cpu = CpuSeconds() - c0;
  r.wall = Seconds(start);
  r.figures = PostFigures(*model, extents, 0);
  if (fingerprint) r.hash = DrawableHash(*model);
  return r;
}

// Peak resident memory (bytes) of this process, as the kernel counts it (VmHWM).
long long PeakResidentBytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::atoll(line.c_str() + 6) * 1024;
  return -1;
}

// Peak resident memory (bytes) of a fresh process that does nothing but this one read: this
// program started again with --peak, so that nothing of this process's memory is counted.
// With `open` set the process reads and post-processes the file.
long long PeakMemoryOfRead(const char* self, const fs::path& file, bool utf8, bool open = false) {
#ifndef _WIN32
  const std::string cmd = std::string("'") + self + (open ? "' --peak-open '" : "' --peak '") + file.string() + "' " +
                          (utf8 ? "utf8" : "ansi");
  std::FILE* p = popen(cmd.c_str(), "r");
  if (!p) return -1;
  long long peak = -1;
  if (std::fscanf(p, "%lld", &peak) != 1) peak = -1;
  pclose(p);
  return peak;
#else
  return -1;
#endif
}

void Measure(const char* self, const fs::path& file, bool utf8, int runs, bool withDxflib) {
  const double mb = static_cast<double>(fs::file_size(file)) / 1e6;
  const TextEncoding enc = utf8 ? TextEncoding::Utf8 : TextEncoding::Ansi;
  std::printf("\n%s: %.1f MB, %s\n", file.filename().string().c_str(), mb, utf8 ? "R2018 UTF-8" : "R2000 code page 932");

  Floor(file);  // into the page cache
  const auto [floorWall, floorCpu] = Best(runs, [&] {
    if (Floor(file) < 0) std::printf("  floor could not read the file\n");
  });
  ReadResult last;
  const auto [readWall, readCpu] = Best(runs, [&] { last = ReadOnce(file, enc); });
  std::printf("  (seconds of processor time, wall clock in brackets; best of %d)\n", runs);
  std::printf("  floor (split lines, convert codes): %6.3f s (%6.3f)  %6.1f MB/s\n", floorCpu, floorWall, mb / floorCpu);
  std::printf("  ReadDxfFile:                        %6.3f s (%6.3f)  %6.1f MB/s  = %.2f x the floor's speed\n",
              readCpu, readWall, mb / readCpu, floorCpu / readCpu);
#ifdef TESMAR_HAVE_DXFLIB
  if (withDxflib) {
    std::size_t n = 0;
    const auto [wall, cpu] = Best(mb > 50 ? 1 : runs, [&] { n = DxflibRead(file); });
    std::printf("  dxflib (minimal adapter):           %6.3f s (%6.3f)  %6.1f MB/s  -> ReadDxfFile is %.1f x dxflib's speed"
                " (%zu items)\n",
                cpu, wall, mb / cpu, cpu / readCpu, n);
  }
#else
  std::printf("  dxflib: not found at build time\n");
#endif
  const long long peak = PeakMemoryOfRead(self, file, utf8);
  if (peak > 0)
    std::printf("  peak memory of a read: %.1f MB = %.2f x the file size\n", peak / 1e6, peak / 1e6 / mb);

  const auto expected = ReadCounts(fs::path(file).concat(".counts"));
  int mismatches = 0;
  for (const auto& [name, n] : expected) {
    const auto it = last.counts.find(name);
    const std::size_t got = it == last.counts.end() ? 0 : it->second;
    if (got != n) {
      std::printf("  count mismatch %s: generated %zu, read %zu\n", name.c_str(), n, got);
      ++mismatches;
    }
  }
  std::printf("  status \"%s\"; table counts %s the generator's (%zu lines, %zu polylines with %zu vertices, %zu texts, "
              "%zu inserts, %zu blocks)\n",
              Utf16ToUtf8(last.status).c_str(), mismatches ? "DIFFER FROM" : "match", last.counts["LineAry"],
              last.counts["LwpAry"], last.counts["VerAry"], last.counts["TextAry"], last.counts["EntInsertAry"],
              last.counts["BlockAry"]);

  // Opening the drawing as the viewer does.
  constexpr double kTimeGoal = 5, kMemoryGoal = 2.5;
  OpenResult open;
  double openWall = 1e9, openCpu = 1e9;
  for (int i = 0; i < runs; ++i) {
    open = OpenOnce(file, enc, i + 1 == runs);
    openWall = std::min(openWall, open.wall), openCpu = std::min(openCpu, open.cpu);
  }
  const long long openPeak = PeakMemoryOfRead(self, file, utf8, true);
  const TPostFigures& f = open.figures;
  std::printf("  read + post-processing:             %6.3f s (%6.3f)  = %.2f x the floor (goal %.0f x: %s)\n", openCpu,
              openWall, openCpu / floorCpu, kTimeGoal, openCpu / floorCpu <= kTimeGoal ? "met" : "NOT MET");
  if (openPeak > 0)
    std::printf("  peak memory of read + post-processing: %.1f MB = %.2f x the file size (goal %.1f x: %s)\n", openPeak / 1e6,
                openPeak / 1e6 / mb, kMemoryGoal, openPeak / 1e6 / mb <= kMemoryGoal ? "met" : "NOT MET");
  std::printf("  bytes per record: line %zu, arc %zu, circle %zu, text %zu (its string held once for all its copies)\n",
              sizeof(TAcadLineBlk), sizeof(TArcBlk), sizeof(TCircleBlk), sizeof(TTextBlk));
  std::printf("  drawn: LineAry %zu, CircleAry %zu, ArcAry %zu, TextAry %zu, drawable %zu, extents %.6g %.6g %.6g %.6g, "
              "fingerprint %016llx\n",
              f.lines, f.circles, f.arcs, f.texts, f.drawable, f.extents.min.x, f.extents.min.y, f.extents.max.x,
              f.extents.max.y, static_cast<unsigned long long>(open.hash));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && (std::string(argv[1]) == "--peak" || std::string(argv[1]) == "--peak-open")) {
    const TextEncoding enc = std::string(argv[3]) == "utf8" ? TextEncoding::Utf8 : TextEncoding::Ansi;
    if (std::string(argv[1]) == "--peak") ReadOnce(argv[2], enc);
    else OpenOnce(argv[2], enc, false);
    std::printf("%lld\n", PeakResidentBytes());
    return 0;
  }
  if (argc >= 2 && std::string(argv[1]) == "--fingerprint") {
    for (int i = 2; i < argc; ++i) {
      const TDxfProbe probe = ProbeDxfFile(U16FromPath(argv[i]));
      const OpenResult r = OpenOnce(argv[i], probe.encoding, true);
      const TPostFigures& f = r.figures;
      std::printf("%s: %zu %zu %zu %zu %zu, extents %.17g %.17g %.17g %.17g, fingerprint %016llx\n",
                  fs::path(argv[i]).filename().string().c_str(), f.lines, f.circles, f.arcs, f.texts, f.drawable,
                  f.extents.min.x, f.extents.min.y, f.extents.max.x, f.extents.max.y,
                  static_cast<unsigned long long>(r.hash));
    }
    return 0;
  }
  fs::path dir = fs::temp_directory_path() / "tesmar-bench-dxf";
  std::vector<std::size_t> sizes = {10, 100};
  int runs = 3;
  bool withDxflib = true;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string a = argv[i];
    if (a == "--dir") dir = argv[i + 1];
    else if (a == "--runs") runs = std::max(1, std::atoi(argv[i + 1]));
    else if (a == "--dxflib") withDxflib = std::atoi(argv[i + 1]) != 0;
    else if (a == "--sizes") {
      sizes.clear();
      std::stringstream ss(argv[i + 1]);
      std::string s;
      while (std::getline(ss, s, ',')) sizes.push_back(std::stoul(s));
    }
  }
  fs::create_directories(dir);
  for (std::size_t mb : sizes) {
    for (bool utf8 : {false, true}) {
      const fs::path file = dir / ("bench_" + std::to_string(mb) + (utf8 ? "mb_r2018.dxf" : "mb_r2000.dxf"));
      EnsureFile(file, mb, utf8);
      Measure(argv[0], file, utf8, runs, withDxflib);
    }
  }
  return 0;
}
