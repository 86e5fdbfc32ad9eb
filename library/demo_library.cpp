#include "library/demo_library.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

#include "base/codepage.h"
#include "base/strings.h"
#include "base/textfile.h"
#include "dwg/dwg_writer.h"
#include "dwg/embedded_drawing.h"
#include "library/preview_fit.h"
#include "render/geometry.h"

namespace tesmar {
namespace {

// A symbol in drawing units: x to the right, y up, roughly within [-1, 1].
struct Sketch {
  struct Seg { double x0, y0, x1, y1; int colour; };
  struct Circ { double x, y, r, a0, a1; int colour; };
  std::vector<Seg> segs;
  std::vector<Circ> circs;
  void Line(double x0, double y0, double x1, double y1, int c = 0) { segs.push_back({x0, y0, x1, y1, c}); }
  void Poly(std::initializer_list<std::pair<double, double>> pts, bool closed, int c = 0) {
    std::vector<std::pair<double, double>> v(pts);
    for (std::size_t i = 0; i + 1 < v.size(); ++i) Line(v[i].first, v[i].second, v[i + 1].first, v[i + 1].second, c);
    if (closed && v.size() > 2) Line(v.back().first, v.back().second, v[0].first, v[0].second, c);
  }
  void Circle(double x, double y, double r, int c = 0) { circs.push_back({x, y, r, 0, 2 * kPi, c}); }
  void Arc(double x, double y, double r, double a0, double a1, int c = 0) { circs.push_back({x, y, r, a0, a1, c}); }
};

void BowTie(Sketch& s) { s.Poly({{-0.8, 0.4}, {0.8, -0.4}, {0.8, 0.4}, {-0.8, -0.4}}, true); }
void Pipes(Sketch& s) { s.Line(-1.2, 0, -0.8, 0, 1), s.Line(0.8, 0, 1.2, 0, 1); }

struct Symbol {
  const char* name;
  const char16_t* description;
  std::function<void(Sketch&)> draw;
};

const std::vector<Symbol>& Symbols() {
  static const std::vector<Symbol> all = {
      {"GATE-VALVE", u"仕切弁", [](Sketch& s) { BowTie(s), Pipes(s), s.Line(0, 0, 0, 0.8), s.Line(-0.3, 0.8, 0.3, 0.8); }},
      {"GLOBE-VALVE", u"玉形弁", [](Sketch& s) { BowTie(s), Pipes(s), s.Circle(0, 0, 0.18, 2); }},
      {"CHECK-VALVE", u"逆止弁", [](Sketch& s) { BowTie(s), Pipes(s), s.Line(-0.8, -0.6, 0.8, 0.6, 2); }},
      {"BALL-VALVE", u"ボール弁", [](Sketch& s) { BowTie(s), Pipes(s), s.Circle(0, 0, 0.3); }},
      {"BUTTERFLY-VALVE", u"バタフライ弁", [](Sketch& s) { s.Line(-0.8, -0.6, -0.8, 0.6), s.Line(0.8, -0.6, 0.8, 0.6), s.Line(-0.4, -0.5, 0.4, 0.5, 2), Pipes(s); }},
      {"SAFETY-VALVE", u"安全弁", [](Sketch& s) { s.Poly({{-0.5, -0.8}, {0.5, -0.8}, {0, 0}}, true), s.Poly({{0, 0}, {0.8, -0.5}, {0.8, 0.5}}, true), s.Line(0, 0, 0, 0.8), s.Poly({{-0.2, 0.3}, {0.2, 0.45}, {-0.2, 0.6}, {0.2, 0.75}}, false, 2); }},
      {"PUMP", u"渦巻ポンプ", [](Sketch& s) { s.Circle(0, 0, 0.7), s.Line(0, 0.7, 0.9, 0.7), s.Line(-1.2, 0, -0.7, 0, 1), s.Poly({{-0.5, -0.5}, {0.5, -0.5}, {0, 0.35}}, true, 2); }},
      {"GEAR-PUMP", u"歯車ポンプ", [](Sketch& s) { s.Circle(-0.3, 0, 0.35), s.Circle(0.3, 0, 0.35), s.Poly({{-0.9, -0.6}, {0.9, -0.6}, {0.9, 0.6}, {-0.9, 0.6}}, true); }},
      {"ELBOW-90", u"90度エルボ", [](Sketch& s) { s.Arc(-0.8, -0.8, 1.2, 0, kPi / 2), s.Arc(-0.8, -0.8, 0.8, 0, kPi / 2), s.Line(0.0, -0.8, 0.4, -0.8, 1), s.Line(-0.8, 0.0, -0.8, 0.4, 1); }},
      {"TEE", u"チーズ", [](Sketch& s) { s.Poly({{-1, 0.2}, {-0.2, 0.2}, {-0.2, 0.9}, {0.2, 0.9}, {0.2, 0.2}, {1, 0.2}, {1, -0.2}, {-1, -0.2}}, true), s.Line(-1.1, 0, 1.1, 0, 1); }},
      {"REDUCER", u"レジューサ", [](Sketch& s) { s.Poly({{-0.9, 0.5}, {-0.3, 0.5}, {0.3, 0.25}, {0.9, 0.25}, {0.9, -0.25}, {0.3, -0.25}, {-0.3, -0.5}, {-0.9, -0.5}}, true), s.Line(-1.1, 0, 1.1, 0, 1); }},
      {"FLANGE", u"フランジ", [](Sketch& s) { s.Circle(0, 0, 0.9), s.Circle(0, 0, 0.35); for (int i = 0; i < 8; ++i) s.Circle(0.65 * std::cos(i * kPi / 4), 0.65 * std::sin(i * kPi / 4), 0.08, 2); }},
      {"MOTOR", u"電動機", [](Sketch& s) { s.Circle(0, 0, 0.7), s.Poly({{-0.3, -0.3}, {-0.3, 0.3}, {0, 0}, {0.3, 0.3}, {0.3, -0.3}}, false, 2), s.Line(-1.1, 0, -0.7, 0), s.Line(0.7, 0, 1.1, 0); }},
      {"SWITCH", u"スイッチ", [](Sketch& s) { s.Line(-1, 0, -0.4, 0), s.Line(-0.4, 0, 0.4, 0.45, 2), s.Line(0.4, 0, 1, 0), s.Circle(-0.4, 0, 0.06), s.Circle(0.4, 0, 0.06); }},
      {"LAMP", u"表示灯", [](Sketch& s) { s.Circle(0, 0, 0.6), s.Line(-0.42, -0.42, 0.42, 0.42, 2), s.Line(-0.42, 0.42, 0.42, -0.42, 2), s.Line(-1, 0, -0.6, 0), s.Line(0.6, 0, 1, 0); }},
      {"TRANSFORMER", u"変圧器", [](Sketch& s) { s.Circle(-0.3, 0, 0.5), s.Circle(0.3, 0, 0.5, 2), s.Line(-1.1, 0, -0.8, 0), s.Line(0.8, 0, 1.1, 0); }},
      {"GROUND", u"接地", [](Sketch& s) { s.Line(0, 0.8, 0, 0), s.Line(-0.6, 0, 0.6, 0), s.Line(-0.4, -0.2, 0.4, -0.2), s.Line(-0.2, -0.4, 0.2, -0.4); }},
      {"NORTH-ARROW", u"方位記号", [](Sketch& s) { s.Circle(0, 0, 0.8), s.Poly({{0, 0.95}, {0.25, -0.5}, {0, -0.3}, {-0.25, -0.5}}, true, 2), s.Line(-0.1, 0.3, -0.1, 0.55), s.Line(-0.1, 0.55, 0.1, 0.3), s.Line(0.1, 0.3, 0.1, 0.55); }},
      {"TANK", u"タンク", [](Sketch& s) { s.Line(-0.6, -0.7, -0.6, 0.5), s.Line(0.6, -0.7, 0.6, 0.5), s.Arc(0, 0.5, 0.6, 0, kPi), s.Line(-0.6, -0.7, 0.6, -0.7), s.Line(-0.6, -0.2, 0.6, -0.2, 1); }},
      {"TITLE-BLOCK", u"図枠 A3", [](Sketch& s) { s.Poly({{-1.4, -1}, {1.4, -1}, {1.4, 1}, {-1.4, 1}}, true), s.Poly({{0.4, -1}, {0.4, -0.6}, {1.4, -0.6}}, false), s.Line(0.4, -0.8, 1.4, -0.8, 2), s.Line(0.9, -1, 0.9, -0.6, 2); }},
  };
  return all;
}

Rgb InkColour(int c, bool onWhite) {
  switch (c) {
    case 1: return MakeRgb(255, 0, 0);   // centre lines
    case 2: return onWhite ? MakeRgb(0, 0, 255) : MakeRgb(255, 255, 0);
    default: return onWhite ? kRgbBlack : kRgbWhite;
  }
}

}  // namespace

std::string DemoSymbolName(int index) {
  const auto& all = Symbols();
  static const int sizes[] = {25, 50, 80, 100, 150, 200};
  const auto& sym = all[std::size_t(index) % all.size()];
  int size = sizes[(std::size_t(index) / all.size()) % 6];
  std::string name = sym.name;
  if (index >= int(all.size())) name += "-" + std::to_string(size) + "A";
  if (index >= int(all.size()) * 6) name += "-" + std::to_string(index / (int(all.size()) * 6));
  return name;
}

RgbImage DrawDemoSymbol(int index, int w, int h, bool onWhite) {
  const auto& sym = Symbols()[std::size_t(index) % Symbols().size()];
  Sketch s;
  sym.draw(s);
  RgbImage img(w, h, onWhite ? kRgbWhite : kRgbBlack);
  // Drawing units to pixels: the symbol fills about two thirds of the shorter side, set a
  // little off-centre the way a CAD program's last view leaves it.
  const double scale = std::min(w, h) * 0.33 * (1.0 + 0.15 * ((index / int(Symbols().size())) % 3));
  const double cx = w * (0.5 + 0.05 * ((index % 3) - 1)), cy = h * 0.5;
  auto px = [&](double x) { return int(std::lround(cx + x * scale)); };
  auto py = [&](double y) { return int(std::lround(cy - y * scale)); };
  for (const auto& g : s.segs) {
    Rgb c = InkColour(g.colour, onWhite);
    DrawLine(img, px(g.x0), py(g.y0), px(g.x1), py(g.y1), c);
    if (img.Contains(px(g.x1), py(g.y1))) img.At(px(g.x1), py(g.y1)) = c;
  }
  for (const auto& a : s.circs) {
    Rgb c = InkColour(a.colour, onWhite);
    const int steps = std::max(12, int(a.r * scale * (a.a1 - a.a0)));
    for (int i = 0; i < steps; ++i) {
      double t0 = a.a0 + (a.a1 - a.a0) * i / steps, t1 = a.a0 + (a.a1 - a.a0) * (i + 1) / steps;
      DrawLine(img, px(a.x + a.r * std::cos(t0)), py(a.y + a.r * std::sin(t0)), px(a.x + a.r * std::cos(t1)),
               py(a.y + a.r * std::sin(t1)), c);
    }
  }
  return img;
}

namespace {

void Pair(std::string& out, int code, const std::string& value) {
  out += std::to_string(code) + "\r\n" + value + "\r\n";
}

std::string Num(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.6f", v);
  return buf;
}

}  // namespace

std::string DemoSymbolDxf(int index) {
  const auto& sym = Symbols()[std::size_t(index) % Symbols().size()];
  Sketch s;
  sym.draw(s);
  static const int sizes[] = {25, 50, 80, 100, 150, 200};
  const double scale = index >= int(Symbols().size()) ? sizes[(std::size_t(index) / Symbols().size()) % 6] : 100;
  static const char* layers[] = {"OUTLINE", "CENTER", "DETAIL"};
  std::string out;
  Pair(out, 0, "SECTION"), Pair(out, 2, "HEADER"), Pair(out, 9, "$ACADVER"), Pair(out, 1, "AC1015");
  Pair(out, 0, "ENDSEC");
  Pair(out, 0, "SECTION"), Pair(out, 2, "TABLES"), Pair(out, 0, "TABLE"), Pair(out, 2, "LAYER");
  const int colours[] = {7, 1, 2};
  const char* ltypes[] = {"CONTINUOUS", "CENTER", "CONTINUOUS"};
  for (int i = 0; i < 3; ++i) {
    Pair(out, 0, "LAYER"), Pair(out, 2, layers[i]), Pair(out, 70, "0"), Pair(out, 62, std::to_string(colours[i]));
    Pair(out, 6, ltypes[i]);
  }
  Pair(out, 0, "ENDTAB"), Pair(out, 0, "ENDSEC");
  Pair(out, 0, "SECTION"), Pair(out, 2, "ENTITIES");
  for (const auto& g : s.segs) {
    Pair(out, 0, "LINE"), Pair(out, 8, layers[g.colour]);
    Pair(out, 10, Num(g.x0 * scale)), Pair(out, 20, Num(g.y0 * scale)), Pair(out, 30, "0");
    Pair(out, 11, Num(g.x1 * scale)), Pair(out, 21, Num(g.y1 * scale)), Pair(out, 31, "0");
  }
  for (const auto& a : s.circs) {
    const bool full = a.a1 - a.a0 >= 2 * kPi - 1e-9;
    Pair(out, 0, full ? "CIRCLE" : "ARC"), Pair(out, 8, layers[a.colour]);
    Pair(out, 10, Num(a.x * scale)), Pair(out, 20, Num(a.y * scale)), Pair(out, 30, "0");
    Pair(out, 40, Num(a.r * scale));
    if (!full) Pair(out, 50, Num(a.a0 * 180 / kPi)), Pair(out, 51, Num(a.a1 * 180 / kPi));
  }
  Pair(out, 0, "TEXT"), Pair(out, 8, "OUTLINE");
  Pair(out, 10, Num(-1.2 * scale)), Pair(out, 20, Num(-1.35 * scale)), Pair(out, 30, "0");
  Pair(out, 40, Num(0.15 * scale)), Pair(out, 1, DemoSymbolName(index));
  Pair(out, 0, "ENDSEC"), Pair(out, 0, "EOF");
  return out;
}

namespace {

// Throws when the file cannot be written, so a failed library is never reported as written.
void WriteBytes(const std::filesystem::path& file, const std::string& bytes) {
  std::filesystem::create_directories(file.parent_path());
  WriteFileAtomically(file, bytes);
}

// One demo drawing: the image format and the release change from drawing to drawing.
std::string DemoDwg(int index) {
  static const char* versions[] = {"AC1014", "AC1015", "AC1018", "AC1021", "AC1024", "AC1027", "AC1032"};
  const int w = 160 + 24 * (index % 4), h = 100 + 12 * (index % 3);
  const bool onWhite = index % 3 != 1;
  RgbImage img = DrawDemoSymbol(index, w, h, onWhite);
  std::string version = versions[index % 7];
  DwgFileLayout layout;
  switch (index % 5) {
    case 0: layout = DwgWithImage(2, MakeDib8(img, true), version); break;
    case 1: layout = DwgWithImage(6, MakePng(img), version); break;
    case 2: layout = DwgWithImage(2, MakeDib24(img), version); break;
    case 3: layout = DwgWithImage(2, MakeDib8(img, false), version); break;
    default: layout = DwgWithImage(2, MakeDib32Bitfields(img), version); break;
  }
  // The drawing the preview shows, for the stand-in converter.
  layout.drawingData = EmbedDxf(DemoSymbolDxf(index));
  return MakeDwgFile(layout);
}

}  // namespace

int WriteDemoFolder(const std::filesystem::path& folder, int count) {
  for (int i = 0; i < count; ++i) WriteBytes(folder / (DemoSymbolName(i) + ".dwg"), DemoDwg(i));
  return count;
}

int WriteDemoLibrary(const std::filesystem::path& root) {
  int written = 0;
  auto put = [&](const std::filesystem::path& folder, std::initializer_list<int> symbols, bool hints) {
    std::u16string hint;
    for (int i : symbols) {
      std::string name = DemoSymbolName(i);
      WriteBytes(folder / (name + ".dwg"), DemoDwg(i));
      ++written;
      const auto& sym = Symbols()[std::size_t(i) % Symbols().size()];
      hint += Ascii16(name) + u",\"" + sym.description + (i >= int(Symbols().size()) ? u" " + Ascii16(DemoSymbolName(i).substr(std::string(sym.name).size() + 1)) : u"") + u"\"\r\n";
    }
    if (hints) WriteBytes(folder / "TesmarHint.txt", Utf16ToAnsi(hint));
  };
  put(root, {19, 17}, true);
  put(root / "valves", {0, 1, 2, 3, 4, 5, 20, 21, 22, 23, 40, 41}, true);
  put(root / "pumps", {6, 7, 18, 26, 27}, true);
  put(root / "piping" / "fittings", {8, 9, 10, 11, 28, 29, 30, 31}, false);
  put(root / "electrical", {12, 13, 14, 15, 16, 32, 33, 34, 35, 36}, true);
  // A long folder for paging: three pages.
  for (int i = 0; i < 75; ++i) {
    WriteBytes(root / "catalogue" / (DemoSymbolName(i + 20) + ".dwg"), DemoDwg(i + 20));
    ++written;
  }
  // Files that carry no readable preview show the placeholder cross.
  const std::filesystem::path misc = root / "misc";
  RgbImage img = DrawDemoSymbol(0, 160, 100, true);
  WriteBytes(misc / "GOOD-VALVE.dwg", MakeDwgFile(DwgWithImage(2, MakeDib8(img), "AC1015")));
  WriteBytes(misc / "RELEASE-13.dwg", MakeDwgFile(DwgWithImage(2, MakeDib8(img), "AC1012")));
  WriteBytes(misc / "WMF-PREVIEW.dwg", MakeDwgFile(DwgWithImage(3, "WMF data", "AC1015")));
  WriteBytes(misc / "HEADER-ONLY.dwg", MakeDwgFile(DwgWithImage(0, "", "AC1032")));
  std::string cut = MakeDwgFile(DwgWithImage(6, MakePng(img), "AC1027"));
  WriteBytes(misc / "TRUNCATED.dwg", cut.substr(0, cut.size() / 2));
  std::string far = cut;
  far[0x0F] = 0x7F;  // preview address far past the end
  WriteBytes(misc / "BAD-ADDRESS.dwg", far);
  WriteBytes(misc / "GOOD-PUMP.dwg", MakeDwgFile(DwgWithImage(6, MakePng(DrawDemoSymbol(6, 160, 100, false)), "AC1032")));
  written += 7;
  return written;
}

}  // namespace tesmar
