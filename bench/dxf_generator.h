#pragma once
// Writes large, realistic DXF files for the reading benchmark: the layout a CAD program writes
// (right-aligned group codes, CR LF, handles, owners and subclass markers), R2000 in code page
// 932 or R2018 in UTF-8, with layers, many blocks placed by many INSERTs (some with
// attributes), dimension blocks, lines, circles, arcs, polylines with bulges, old-style
// polylines, Japanese TEXT and MTEXT, ellipses, splines, solids, leaders and 3D faces. A fixed
// seed gives the same file every time; the generator counts what each model table must hold
// after reading.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "base/codepage.h"

namespace tesmar::bench {

struct DxfGenOptions {
  std::size_t targetBytes = 10u << 20;
  bool utf8 = false;  // R2018 in UTF-8; otherwise R2000 in code page 932
  std::uint64_t seed = 20261210;
};

class DxfGenerator {
 public:
  explicit DxfGenerator(const DxfGenOptions& o) : o_(o), rng_(o.seed) {}

  // The whole file; `expected` receives the record count of every table after reading.
  std::string Generate(std::map<std::string, std::size_t>& expected) {
    const std::vector<std::u16string> layerNames = MakeLayers();
    std::string header = Header();
    std::string tables = Tables(layerNames);
    blocks_.reserve(o_.targetBytes / 8);
    entities_.reserve(o_.targetBytes + (1u << 20));
    BeginBlocks();
    for (int i = 0; i < kUserBlocks; ++i) UserBlock(i);
    const std::size_t fixed = header.size() + tables.size() + 64;
    while (fixed + blocks_.size() + entities_.size() < o_.targetBytes) Entity();
    std::string out;
    out.reserve(fixed + blocks_.size() + entities_.size() + 256);
    out += header;
    out += tables;
    out += blocks_;
    Pair(out, 0, "ENDSEC");
    Pair(out, 0, "SECTION");
    Pair(out, 2, "ENTITIES");
    out += entities_;
    Pair(out, 0, "ENDSEC");
    Pair(out, 0, "SECTION");
    Pair(out, 2, "OBJECTS");
    Pair(out, 0, "DICTIONARY");
    Pair(out, 5, "C");
    Pair(out, 330, "0");
    Pair(out, 100, "AcDbDictionary");
    Pair(out, 0, "ENDSEC");
    Pair(out, 0, "EOF");
    expected = counts_;
    expected["LayerAry"] = layerNames.size();
    expected["ViewAry"] = 1;
    for (const char* t : {"LayerAry", "BlockAry", "BlkLineAry", "BlkCircleAry", "BlkArcAry", "BlkLwpAry", "BlkVerAry",
                          "BlkTextAry", "BlkSolidAry", "BlkEllipseAry", "LineAry", "CircleAry", "ArcAry", "TextAry",
                          "EntInsertAry", "NestInsertAry", "LwpAry", "VerAry", "FaceAry", "EllipseAry", "SolidAry",
                          "LeaderAry", "SplineAry", "DimensionAry", "ViewAry"})
      expected[t] += 0;
    return out;
  }

 private:
  static constexpr int kUserBlocks = 400;

  // ---- output helpers ----
  static void Code(std::string& out, int code) {
    char buf[16];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, code);
    const std::size_t n = static_cast<std::size_t>(end - buf);
    if (n < 3) out.append(3 - n, ' ');
    out.append(buf, end);
    out += "\r\n";
  }
  static void Pair(std::string& out, int code, std::string_view value) {
    Code(out, code);
    out += value;
    out += "\r\n";
  }
  static void Int(std::string& out, int code, long long v) {
    Code(out, code);
    char buf[24];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, end);
    out += "\r\n";
  }
  static void Real(std::string& out, int code, double v) {
    Code(out, code);
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    std::string_view s(buf, static_cast<std::size_t>(end - buf));
    out += s;
    if (s.find_first_of(".e") == std::string_view::npos) out += ".0";
    out += "\r\n";
  }
  void Point(std::string& out, int code, double x, double y, double z = 0) {
    Real(out, code, x);
    Real(out, code + 10, y);
    Real(out, code + 20, z);
  }
  void Handle(std::string& out, std::string_view owner) {
    char buf[20];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, ++handle_, 16);
    for (char* p = buf; p != end; ++p)
      if (*p >= 'a') *p = static_cast<char>(*p - 'a' + 'A');
    Pair(out, 5, std::string_view(buf, static_cast<std::size_t>(end - buf)));
    Pair(out, 330, owner);
  }
  std::string Text(std::u16string_view s) const { return o_.utf8 ? Utf16ToUtf8(s) : Utf16ToAnsi(s); }

  // ---- random values ----
  double Uniform(double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng_); }
  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  // Coordinates: mostly as drawn (four decimals), some as computed (full precision).
  double Coord() {
    const double v = Uniform(-50000, 150000);
    return Pick(10) < 6 ? std::round(v * 1e4) / 1e4 : v;
  }
  double Size() { return std::round(Uniform(1, 5000) * 1e4) / 1e4; }

  // ---- sections ----
  std::vector<std::u16string> MakeLayers() {
    std::vector<std::u16string> names = {u"0", u"Defpoints", u"壁", u"寸法線", u"文字", u"中心線", u"破線", u"通り芯",
                                         u"家具", u"設備-給水", u"設備-排水", u"建具", u"ハッチング", u"仕上げ"};
    for (int i = 0; names.size() < 40; ++i) {
      std::string n = "A-LAYER-" + std::to_string(i);
      names.emplace_back(n.begin(), n.end());
    }
    for (const auto& n : names) layerBytes_.push_back(Text(n));
    return names;
  }

  std::string Header() {
    std::string out;
    Pair(out, 999, "benchmark drawing");
    Pair(out, 0, "SECTION");
    Pair(out, 2, "HEADER");
    Pair(out, 9, "$ACADVER");
    Pair(out, 1, o_.utf8 ? "AC1032" : "AC1015");
    Pair(out, 9, "$ACADMAINTVER");
    Int(out, 70, 6);
    Pair(out, 9, "$DWGCODEPAGE");
    Pair(out, 3, "ANSI_932");
    Pair(out, 9, "$INSBASE");
    Point(out, 10, 0, 0, 0);
    Pair(out, 9, "$EXTMIN");
    Point(out, 10, -50000, -50000, 0);
    Pair(out, 9, "$EXTMAX");
    Point(out, 10, 150000, 150000, 0);
    Pair(out, 9, "$LTSCALE");
    Real(out, 40, 1);
    Pair(out, 9, "$TEXTSTYLE");
    Pair(out, 7, "Standard");
    Pair(out, 9, "$CLAYER");
    Pair(out, 8, "0");
    Pair(out, 9, "$DIMSCALE");
    Real(out, 40, 100);
    Pair(out, 0, "ENDSEC");
    return out;
  }

  // The head of a symbol table, and the head of one of its records.
  void TableHead(std::string& out, const char* name, long long count) {
    Pair(out, 0, "TABLE");
    Pair(out, 2, name);
    Handle(out, "0");
    Pair(out, 100, "AcDbSymbolTable");
    Int(out, 70, count);
  }
  void RecordHead(std::string& out, const char* kind, const char* owner, const char* subclass) {
    Pair(out, 0, kind);
    Handle(out, owner);
    Pair(out, 100, "AcDbSymbolTableRecord");
    Pair(out, 100, subclass);
  }

  std::string Tables(const std::vector<std::u16string>& layers) {
    std::string out;
    Pair(out, 0, "SECTION");
    Pair(out, 2, "TABLES");
    TableHead(out, "VIEW", 1);
    RecordHead(out, "VIEW", "6", "AcDbViewTableRecord");
    Pair(out, 2, Text(u"全体"));
    Int(out, 70, 0);
    Real(out, 40, 60000);
    Real(out, 10, 50000);
    Real(out, 20, 50000);
    Real(out, 41, 90000);
    Pair(out, 0, "ENDTAB");
    TableHead(out, "LTYPE", 2);
    for (const char* lt : {"CONTINUOUS", "DASHED"}) {
      RecordHead(out, "LTYPE", "5", "AcDbLinetypeTableRecord");
      Pair(out, 2, lt);
      Int(out, 70, 0);
      Pair(out, 3, "");
      Int(out, 72, 65);
      Int(out, 73, 0);
      Real(out, 40, 0);
    }
    Pair(out, 0, "ENDTAB");
    TableHead(out, "LAYER", static_cast<long long>(layers.size()));
    for (std::size_t i = 0; i < layers.size(); ++i) {
      RecordHead(out, "LAYER", "2", "AcDbLayerTableRecord");
      Pair(out, 2, layerBytes_[i]);
      Int(out, 70, i % 17 == 16 ? 1 : 0);
      const int colour = i == 0 ? 7 : 1 + Pick(255);
      Int(out, 62, i % 13 == 12 ? -colour : colour);
      Pair(out, 6, i % 5 == 4 ? "DASHED" : "Continuous");
      Int(out, 370, -3);
      Pair(out, 390, "F");
    }
    Pair(out, 0, "ENDTAB");
    TableHead(out, "STYLE", 1);
    RecordHead(out, "STYLE", "3", "AcDbTextStyleTableRecord");
    Pair(out, 2, "Standard");
    Int(out, 70, 0);
    Real(out, 40, 0);
    Real(out, 41, 1);
    Pair(out, 3, Text(u"ＭＳ ゴシック"));
    Pair(out, 0, "ENDTAB");
    Pair(out, 0, "ENDSEC");
    return out;
  }

  const std::string& Layer() { return layerBytes_[static_cast<std::size_t>(Pick(static_cast<int>(layerBytes_.size())))]; }

  void Common(std::string& out, bool inBlock, const char* kind, const char* subclass) {
    Pair(out, 0, kind);
    Handle(out, inBlock ? "1F" : "1A");
    Pair(out, 100, "AcDbEntity");
    if (inBlock) {
      Pair(out, 8, Pick(4) == 0 ? Layer() : layerBytes_[0]);
    } else {
      Pair(out, 8, Layer());
    }
    if (Pick(5) == 0) Int(out, 62, 1 + Pick(255));
    if (Pick(8) == 0) Pair(out, 6, "DASHED");
    Pair(out, 100, subclass);
  }

  std::u16string JapaneseText() {
    static const char16_t* const kWords[] = {u"寸法", u"壁芯", u"通り芯", u"仕上げ", u"モルタル金ゴテ", u"コンクリート",
                                            u"天井高", u"床", u"排水管", u"給水", u"窓", u"扉", u"鉄骨", u"基礎",
                                            u"図面番号", u"縮尺", u"設計", u"確認"};
    std::u16string s = kWords[Pick(18)];
    const int extra = Pick(3);
    for (int i = 0; i < extra; ++i) s += kWords[Pick(18)];
    const std::string n = std::to_string(Pick(100000));
    s += u" ";
    s.append(n.begin(), n.end());
    if (Pick(6) == 0) s += Pick(2) ? u"\\U+00B1" : u"%%c";  // escapes as CAD programs write them
    s += u"mm";
    return s;
  }

  void Line(std::string& out, bool inBlock) {
    Common(out, inBlock, "LINE", "AcDbLine");
    const double x = Coord(), y = Coord();
    Point(out, 10, x, y);
    Point(out, 11, x + Uniform(-3000, 3000), y + Uniform(-3000, 3000));
    Count(inBlock ? "BlkLineAry" : "LineAry");
  }
  void Circle(std::string& out, bool inBlock, bool arc) {
    Common(out, inBlock, arc ? "ARC" : "CIRCLE", "AcDbCircle");
    Point(out, 10, Coord(), Coord());
    Real(out, 40, Size());
    if (arc) {
      Pair(out, 100, "AcDbArc");
      Real(out, 50, std::round(Uniform(0, 360) * 1e6) / 1e6);
      Real(out, 51, std::round(Uniform(0, 360) * 1e6) / 1e6);
    }
    Count(inBlock ? (arc ? "BlkArcAry" : "BlkCircleAry") : (arc ? "ArcAry" : "CircleAry"));
  }
  void LwPolyline(std::string& out, bool inBlock) {
    Common(out, inBlock, "LWPOLYLINE", "AcDbPolyline");
    const int n = 2 + Pick(23);
    Int(out, 90, n);
    Int(out, 70, Pick(3) == 0 ? 1 : 0);
    Real(out, 43, 0);
    if (Pick(4) == 0) Real(out, 38, Size());
    double x = Coord(), y = Coord();
    for (int i = 0; i < n; ++i) {
      Real(out, 10, x);
      Real(out, 20, y);
      if (Pick(10) < 3) Real(out, 42, std::round(Uniform(-1, 1) * 1e8) / 1e8);
      x += std::round(Uniform(-2000, 2000) * 1e4) / 1e4;
      y += std::round(Uniform(-2000, 2000) * 1e4) / 1e4;
    }
    Count(inBlock ? "BlkLwpAry" : "LwpAry");
    Count(inBlock ? "BlkVerAry" : "VerAry", static_cast<std::size_t>(n));
  }
  void TextEntity(std::string& out, bool inBlock) {
    Common(out, inBlock, "TEXT", "AcDbText");
    Point(out, 10, Coord(), Coord());
    Real(out, 40, std::round(Uniform(100, 500)));
    Pair(out, 1, Text(JapaneseText()));
    if (Pick(3) == 0) Real(out, 50, std::round(Uniform(0, 360)));
    Pair(out, 7, "Standard");
    if (Pick(3) == 0) {
      Int(out, 72, 1);
      Point(out, 11, Coord(), Coord());
    }
    Pair(out, 100, "AcDbText");
    if (Pick(3) == 0) Int(out, 73, 2);
    Count(inBlock ? "BlkTextAry" : "TextAry");
  }
  void MText(std::string& out, bool inBlock) {
    Common(out, inBlock, "MTEXT", "AcDbMText");
    Point(out, 10, Coord(), Coord());
    Real(out, 40, 250);
    Real(out, 41, std::round(Uniform(2000, 9000)));
    Int(out, 71, 1 + Pick(9));
    Int(out, 72, 5);
    std::u16string s = u"{\\fＭＳ ゴシック|b0|i0|c128|p49;";
    const int lines = 1 + Pick(12);
    for (int i = 0; i < lines; ++i) {
      if (i) s += u"\\P";
      s += JapaneseText();
    }
    s += u"}";
    // Groups 3 carry 250-character pieces, the last piece goes in group 1.
    std::size_t at = 0;
    while (s.size() - at > 250) {
      Pair(out, 3, Text(std::u16string_view(s).substr(at, 250)));
      at += 250;
    }
    Pair(out, 1, Text(std::u16string_view(s).substr(at)));
    Pair(out, 7, "Standard");
    Real(out, 50, 0);
    Count(inBlock ? "BlkTextAry" : "TextAry");
  }
  void Solid(std::string& out, bool inBlock) {
    Common(out, inBlock, "SOLID", "AcDbTrace");
    const double x = Coord(), y = Coord();
    Point(out, 10, x, y);
    Point(out, 11, x + 100, y);
    Point(out, 12, x, y + 100);
    Point(out, 13, x + 100, y + 100);
    Count(inBlock ? "BlkSolidAry" : "SolidAry");
  }
  void Insert(std::string& out, int block, bool inBlock) {
    Common(out, inBlock, "INSERT", "AcDbBlockReference");
    const bool attribs = !inBlock && Pick(5) == 0;
    if (attribs) Int(out, 66, 1);
    Pair(out, 2, "PART_" + std::to_string(block));
    Point(out, 10, Coord(), Coord());
    if (Pick(2)) {
      const double s = std::round(Uniform(0.1, 5) * 100) / 100;
      Real(out, 41, s);
      Real(out, 42, s);
      Real(out, 43, s);
    }
    if (Pick(2)) Real(out, 50, std::round(Uniform(0, 360) * 1e4) / 1e4);
    if (!inBlock) Count("EntInsertAry");
    if (!attribs) return;
    for (int i = 0; i < 2; ++i) {
      Common(out, false, "ATTRIB", "AcDbText");
      Point(out, 10, Coord(), Coord());
      Real(out, 40, 200);
      Pair(out, 1, Text(JapaneseText()));
      Pair(out, 100, "AcDbAttribute");
      Pair(out, 2, i ? "NO" : "NAME");
      Int(out, 70, 0);
      Int(out, 74, 2);
      Count("TextAry");
    }
    Pair(out, 0, "SEQEND");
    Handle(out, "1A");
    Pair(out, 100, "AcDbEntity");
    Pair(out, 8, layerBytes_[0]);
  }

  void BeginBlocks() {
    Pair(blocks_, 0, "SECTION");
    Pair(blocks_, 2, "BLOCKS");
    for (const char* name : {"*Model_Space", "*Paper_Space"}) {
      BlockHeader(name);
      EndBlock();
    }
  }
  void BlockHeader(const std::string& name) {
    Pair(blocks_, 0, "BLOCK");
    Handle(blocks_, "1F");
    Pair(blocks_, 100, "AcDbEntity");
    Pair(blocks_, 8, "0");
    Pair(blocks_, 100, "AcDbBlockBegin");
    Pair(blocks_, 2, name);
    Int(blocks_, 70, name[0] == '*' && name[1] == 'D' ? 1 : 0);
    Point(blocks_, 10, 0, 0, 0);
    Pair(blocks_, 3, name);
    Pair(blocks_, 1, "");
  }
  void EndBlock() {
    Pair(blocks_, 0, "ENDBLK");
    Handle(blocks_, "1F");
    Pair(blocks_, 100, "AcDbEntity");
    Pair(blocks_, 8, "0");
    Pair(blocks_, 100, "AcDbBlockEnd");
    Count("BlockAry");
  }
  void UserBlock(int i) {
    BlockHeader("PART_" + std::to_string(i));
    const int n = 5 + Pick(11);
    for (int k = 0; k < n; ++k) {
      switch (Pick(6)) {
        case 0:
        case 1: Line(blocks_, true); break;
        case 2: Circle(blocks_, true, false); break;
        case 3: Circle(blocks_, true, true); break;
        case 4: LwPolyline(blocks_, true); break;
        default: TextEntity(blocks_, true); break;
      }
    }
    if (i > 0 && Pick(5) == 0) Insert(blocks_, Pick(i), true);
    EndBlock();
  }
  // A dimension and the anonymous block that holds its graphics.
  void Dimension() {
    const std::string name = "*D" + std::to_string(++dimensions_);
    BlockHeader(name);
    for (int k = 0; k < 3; ++k) Line(blocks_, true);
    Solid(blocks_, true);
    Solid(blocks_, true);
    MText(blocks_, true);
    EndBlock();
    Common(entities_, false, "DIMENSION", "AcDbDimension");
    Pair(entities_, 2, name);
    Point(entities_, 10, Coord(), Coord());
    Point(entities_, 11, Coord(), Coord());
    Int(entities_, 70, 32);
    Pair(entities_, 3, "Standard");
    Pair(entities_, 100, "AcDbAlignedDimension");
    Point(entities_, 13, Coord(), Coord());
    Point(entities_, 14, Coord(), Coord());
    Pair(entities_, 100, "AcDbRotatedDimension");
    Count("DimensionAry");
  }
  void Polyline() {
    Common(entities_, false, "POLYLINE", "AcDb2dPolyline");
    Int(entities_, 66, 1);
    Point(entities_, 10, 0, 0, 0);
    Int(entities_, 70, Pick(2));
    const int n = 3 + Pick(8);
    for (int i = 0; i < n; ++i) {
      Common(entities_, false, "VERTEX", "AcDbVertex");
      Pair(entities_, 100, "AcDb2dVertex");
      Point(entities_, 10, Coord(), Coord());
      if (Pick(4) == 0) Real(entities_, 42, std::round(Uniform(-1, 1) * 1e6) / 1e6);
      Int(entities_, 70, 0);
    }
    Pair(entities_, 0, "SEQEND");
    Handle(entities_, "1A");
    Pair(entities_, 100, "AcDbEntity");
    Pair(entities_, 8, layerBytes_[0]);
    Count("LwpAry");
    Count("VerAry", static_cast<std::size_t>(n));
  }
  void Ellipse() {
    Common(entities_, false, "ELLIPSE", "AcDbEllipse");
    Point(entities_, 10, Coord(), Coord());
    Point(entities_, 11, Size(), Size());
    Real(entities_, 40, std::round(Uniform(0.1, 1) * 1e6) / 1e6);
    Real(entities_, 41, 0);
    Real(entities_, 42, 6.283185307179586);
    Count("EllipseAry");
  }
  void Spline() {
    Common(entities_, false, "SPLINE", "AcDbSpline");
    const int n = 4 + Pick(8);
    Int(entities_, 70, 8);
    Int(entities_, 71, 3);
    Int(entities_, 72, n + 4);
    Int(entities_, 73, n);
    Int(entities_, 74, 0);
    for (int i = 0; i < n + 4; ++i) Real(entities_, 40, i < 4 ? 0 : i >= n ? n - 3 : i - 3);
    const bool weights = Pick(3) == 0;
    double x = Coord(), y = Coord();
    for (int i = 0; i < n; ++i) {
      Point(entities_, 10, x, y);
      if (weights) Real(entities_, 41, 1);
      x += Uniform(10, 500);
      y += Uniform(-500, 500);
    }
    Count("SplineAry");
  }
  void Leader() {
    Common(entities_, false, "LEADER", "AcDbLeader");
    Pair(entities_, 3, "Standard");
    Int(entities_, 71, 1);
    Int(entities_, 72, 0);
    Int(entities_, 73, 3);
    Int(entities_, 74, 1);
    Int(entities_, 75, 0);
    Real(entities_, 40, 0);
    Real(entities_, 41, 0);
    Int(entities_, 76, 3);
    for (int i = 0; i < 3; ++i) Point(entities_, 10, Coord(), Coord());
    Point(entities_, 210, 0, 0, 1);
    Point(entities_, 211, 1, 0, 0);
    Count("LeaderAry");
  }
  void Face() {
    Common(entities_, false, "3DFACE", "AcDbFace");
    for (int c = 10; c <= 13; ++c) Point(entities_, c, Coord(), Coord(), Size());
    Count("FaceAry");
  }

  void Entity() {
    const int r = Pick(100);
    if (r < 28) Line(entities_, false);
    else if (r < 42) LwPolyline(entities_, false);
    else if (r < 50) Circle(entities_, false, false);
    else if (r < 58) Circle(entities_, false, true);
    else if (r < 67) TextEntity(entities_, false);
    else if (r < 71) MText(entities_, false);
    else if (r < 81) Insert(entities_, Pick(kUserBlocks), false);
    else if (r < 84) Polyline();
    else if (r < 87) Ellipse();
    else if (r < 90) Spline();
    else if (r < 93) Dimension();
    else if (r < 95) Solid(entities_, false);
    else if (r < 97) Leader();
    else Face();
  }

  void Count(const char* table, std::size_t n = 1) { counts_[table] += n; }

  DxfGenOptions o_;
  std::mt19937_64 rng_;
  std::uint64_t handle_ = 0x100;
  int dimensions_ = 0;
  std::vector<std::string> layerBytes_;
  std::string blocks_, entities_;
  std::map<std::string, std::size_t> counts_;
};

}  // namespace tesmar::bench
