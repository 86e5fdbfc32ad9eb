#pragma once
// The drawing model: the in-memory form of one DXF drawing. One struct holds every table as
// a std::vector of plain records. Every opening of a drawing builds a model of its own; a read
// of a DXF file replaces the whole content of the model it is given.
//
// Record conventions:
//  - `color` is an AutoCAD Color Index number: 256 BYLAYER, 0 BYBLOCK, 1..255 colours; in a
//    layer record a negative number means the layer is off. After reading, an entity's
//    `color` holds the resolved number.
//  - A field `codeN` holds the value of DXF group code N.
//  - Angles are degrees as in the file; distances are drawing units.
//  - `PenColor` (0x00BBGGRR), `PenStyle` and `layindex` are derived after all other
//    processing; the reader leaves them zero.
//  - `bname` names the BLOCK definition that holds the entity; empty for the ENTITIES section.
//  - Default member initialisers are the values a record has when the reader creates it.
//  - The fields of the drawable records are ordered to leave no padding (millions of them are
//    made for a large drawing): set fields by name, not by position. Lines, circles, arcs and
//    texts hold their extrusion as a TExtrusion and their pen style in a byte.
//
// How names are held: the layer, linetype and block names of entity, INSERT, BLOCK and
// DIMENSION records (`layer`, `ltype`, `bname`, `name`, `dimBlkName`, `dimblkName`) are TName
// handles (dxf/name.h): copying one copies a pointer, and `==` between two of them compares
// handles. Read the text with `.str()` or use the name where a const std::u16string& or a
// std::u16string_view is expected; assign a string or a literal to set it. Text contents (`str`)
// are TSharedText (dxf/shared_text.h), shared by the copies that block expansion makes. Layer
// table rows (TLayer) and view names stay plain std::u16string.
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/colour.h"
#include "dxf/name.h"
#include "dxf/shared_text.h"

namespace tesmar {

// 3-D point or vector.
struct TAcadPoint {
  double x = 0;
  double y = 0;
  double z = 0;
};

inline bool operator==(const TAcadPoint& a, const TAcadPoint& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

inline constexpr TAcadPoint kDefaultExtrusion{0, 0, 1};

// A pen style (psSolid .. psDashDotDot of base/colour.h) as the large tables hold it.
using TPenStyleByte = std::uint8_t;

// A colour 0x00BBGGRR (base/colour.h) in three bytes, as the large tables hold it.
class TColour24 {
 public:
  constexpr TColour24(Colour c = 0) noexcept  // NOLINT: set as a Colour
      : b_{static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8), static_cast<std::uint8_t>(c >> 16)} {}
  constexpr operator Colour() const noexcept { return Colour(b_[0]) | (Colour(b_[1]) << 8) | (Colour(b_[2]) << 16); }

 private:
  std::uint8_t b_[3];
};

// An extrusion direction (group 210) of the records that a drawing has millions of, in 8 bytes:
// nearly every record has one of a few common directions, held as a pointer to a shared
// constant; any other direction is a copy of its own. Read it where a const TAcadPoint& is
// expected (or through value()); assign a point to set it.
class TExtrusion {
 public:
  TExtrusion() noexcept = default;
  TExtrusion(const TAcadPoint& v) : p_(Common(v)) {  // NOLINT: a direction is written as its point
    if (!p_) p_ = new TAcadPoint(v);
  }
  TExtrusion(const TExtrusion& o) : p_(o.Owned() ? new TAcadPoint(*o.p_) : o.p_) {}
  TExtrusion(TExtrusion&& o) noexcept : p_(o.p_) { o.p_ = &kCommon[0]; }
  TExtrusion& operator=(const TExtrusion& o) {
    if (o.Owned()) return *this = *o.p_;
    const TAcadPoint* shared = o.p_;  // before Release(), which may be o's own
    Release();
    p_ = shared;
    return *this;
  }
  TExtrusion& operator=(TExtrusion&& o) noexcept {
    std::swap(p_, o.p_);
    return *this;
  }
  TExtrusion& operator=(const TAcadPoint& v) {
    if (const TAcadPoint* c = Common(v)) {
      Release();
      p_ = c;
    } else if (Owned()) {
      *const_cast<TAcadPoint*>(p_) = v;
    } else {
      p_ = new TAcadPoint(v);
    }
    return *this;
  }
  ~TExtrusion() { Release(); }

  const TAcadPoint& value() const noexcept { return *p_; }
  operator const TAcadPoint&() const noexcept { return *p_; }

  friend bool operator==(const TExtrusion& a, const TExtrusion& b) noexcept { return a.value() == b.value(); }
  friend bool operator==(const TExtrusion& a, const TAcadPoint& b) noexcept { return a.value() == b; }

 private:
  // (0, 0, 1), (0, 0, -1) and zero, compared bit for bit (a negative zero is a direction of its own).
  static constexpr TAcadPoint kCommon[3] = {{0, 0, 1}, {0, 0, -1}, {0, 0, 0}};
  static const TAcadPoint* Common(const TAcadPoint& v) noexcept {
    for (const TAcadPoint& c : kCommon)
      if (std::bit_cast<std::uint64_t>(c.x) == std::bit_cast<std::uint64_t>(v.x) &&
          std::bit_cast<std::uint64_t>(c.y) == std::bit_cast<std::uint64_t>(v.y) &&
          std::bit_cast<std::uint64_t>(c.z) == std::bit_cast<std::uint64_t>(v.z))
        return &c;
    return nullptr;
  }
  bool Owned() const noexcept { return p_ != &kCommon[0] && p_ != &kCommon[1] && p_ != &kCommon[2]; }
  void Release() noexcept {
    if (Owned()) delete p_;
    p_ = &kCommon[0];
  }
  const TAcadPoint* p_ = &kCommon[0];
};

struct TLayer {
  std::u16string Name;
  std::int16_t color = 7;  // negative: layer off
  std::int16_t code70 = 0;  // bit value 1: frozen
  std::u16string ltype = u"CONTINUOUS";
  bool visible = true;
  std::u16string Comment;
};

struct TAcadLineBlk {
  TAcadPoint st;
  TAcadPoint ed;
  TExtrusion code210;
  TName bname;
  TName layer = NameZero();
  TName ltype = NameByLayer();
  TColour24 PenColor = 0;
  TPenStyleByte PenStyle = 0;
  std::int16_t color = 256;
  std::int16_t code67 = 0;
  std::int16_t layindex = 0;
  std::int16_t code60 = 0;
};

struct TCircleBlk {
  TAcadPoint center;
  TExtrusion code210;
  double hankei = 0;  // radius
  TName bname;
  TName layer = NameZero();
  TName ltype = NameByLayer();
  TColour24 PenColor = 0;
  TPenStyleByte PenStyle = 0;
  std::int16_t color = 256;
  std::int16_t code67 = 0;
  std::int16_t layindex = 0;
  std::int16_t code60 = 0;
};

struct TArcBlk {
  TAcadPoint center;
  TExtrusion code210;
  double hankei = 0;  // radius
  double st = 0;      // start angle, degrees
  double ed = 0;      // end angle, degrees
  TName bname;
  TName layer = NameZero();
  TName ltype = NameByLayer();
  TColour24 PenColor = 0;
  TPenStyleByte PenStyle = 0;
  std::int16_t color = 256;
  std::int16_t code67 = 0;
  std::int16_t layindex = 0;
  std::int16_t code60 = 0;
};

struct TInsertBlk {
  TName name;  // inserted block
  TName layer = NameZero();
  TName ltype = NameByLayer();
  TAcadPoint base;
  TAcadPoint scale{1, 1, 1};
  std::int16_t color = 256;
  double rotate = 0;  // degrees
  std::int16_t code66 = 0;
  Colour PenColor = 0;
  TPenStyle PenStyle = 0;
  std::int16_t code67 = 0;
  TAcadPoint code210 = kDefaultExtrusion;
  std::int16_t layindex = 0;
  TName dimBlkName;  // the block header read most recently before this INSERT
  std::int16_t code60 = 0;
  // An array of copies (70 columns, 71 rows; 44, 45 their spacing along the insert's own x and
  // y axes, turned with it but not scaled). A count below 1 counts as 1.
  std::int16_t columns = 1, rows = 1;
  double columnSpacing = 0, rowSpacing = 0;
};

struct TBlockBlk {
  TName name;
  TName layer;
  TName ltype;
  TAcadPoint base;
  std::int16_t layindex = 0;
  std::vector<TInsertBlk> InsertAry;  // INSERTs inside this definition, in file order
  std::int16_t code60 = 0;
};

struct TLwpVer {
  std::int32_t ihand = 0;  // index of the owning polyline in its table
  TAcadPoint code10;
  double code42 = 0;  // bulge of the segment that starts here
  float code40 = 0;   // width at this vertex; 0: the polyline's own width
  float code41 = 0;   // width at the next vertex; 0: the polyline's own width
};

struct TLwpBlk {
  TName bname;
  TName layer = NameZero();
  TName ltype = NameByLayer();
  std::int32_t ihand = 0;  // own index in its table
  std::int16_t color = 256;
  double code38 = 0;  // elevation
  std::int16_t code67 = 0;
  std::int16_t code70 = 0;  // bit value 1: closed
  std::int16_t code71 = 0;
  std::int16_t code72 = 0;
  std::int16_t code73 = 0;
  std::int16_t code74 = 0;
  TAcadPoint code210 = kDefaultExtrusion;
  Colour PenColor = 0;
  TPenStyle PenStyle = 0;
  std::int16_t layindex = 0;
  double code43 = 0;  // width of the segments (LWPOLYLINE 43; POLYLINE 40, at their starts)
  double code41 = 0;  // POLYLINE 41: width at the ends of the segments; 0: as at their starts
  std::vector<TLwpVer> verAry;  // not filled by the reader: vertices live in VerAry / BlkVerAry
  std::int16_t code60 = 0;
};

// TEXT, MTEXT or ATTRIB.
struct TTextBlk {
  TAcadPoint pt10;
  TAcadPoint pt11;
  double code40 = 0;  // height
  double code41 = 1;  // width factor (MTEXT: reference width, 0 when the file gives none)
  double code44 = 1;  // line spacing factor
  double code50 = 0;  // rotation, degrees
  TSharedText str;  // groups 3 and 1 joined in file order
  TExtrusion code210;
  TName bname;
  TName layer;
  TColour24 PenColor = 0;
  bool mtflag = false;
  std::int16_t color = 256;
  std::int16_t code72 = 0;
  std::int16_t code73 = 0;  // group 73; for ATTRIB group 74
  std::int16_t code70 = 0;
  std::int16_t code71 = 0;
  std::int16_t code67 = 0;
  std::int16_t layindex = 0;
  std::int16_t code60 = 0;
  bool atflag = false;
};

struct TFaceBlk {
  TName bname;
  TName layer = NameZero();
  TName ltype = NameByLayer();
  std::int16_t color = 256;
  std::array<TAcadPoint, 4> pt{};
  Colour PenColor = 0;
  TPenStyle PenStyle = 0;
  std::int16_t code67 = 0;
  std::int16_t code70 = 0;  // invisible-edge flags
  std::int16_t count = 3;   // corners given; 4 once group 13 is read
  std::int16_t layindex = 0;
  std::int16_t code60 = 0;
};

struct TEllipseBlk {
  TName bname;
  TName layer = NameZero();
  TName ltype = NameByLayer();
  std::int16_t color = 256;
  TAcadPoint center;
  TAcadPoint endpoint;  // end of the major axis, relative to the centre
  double henpei = 0;    // minor / major axis ratio
  double kaisi = 0;     // start parameter
  double owari = 0;     // end parameter
  TAcadPoint code210 = kDefaultExtrusion;
  std::int16_t layindex = 0;
  std::int16_t code60 = 0;
};

// SOLID or TRACE: corners p1, p2, p4, p3 in that order around; three corners when p4 was not
// given (it is then p3).
struct TSolidBlk {
  TName bname;
  TName layer = NameZero();
  TName ltype = NameByLayer();
  std::int16_t color = 256;
  TAcadPoint p1;
  TAcadPoint p2;
  TAcadPoint p3;
  TAcadPoint p4;
  std::int16_t code60 = 0;
  std::int16_t code67 = 0;
  bool p4Given = false;
  TAcadPoint code210 = kDefaultExtrusion;
};

struct TLeaderBlk {
  TName bname;
  TName layer = NameZero();
  TName ltype = NameByLayer();
  std::int16_t color = 256;
  double code41 = 0;
  std::int16_t code76 = 0;  // number of vertices
  TAcadPoint p1;
  TAcadPoint p2;
  TAcadPoint p3;
  std::int16_t code60 = 0;
  std::int16_t code72 = 0;  // path: 0 straight, 1 spline
  std::vector<TAcadPoint> vertices;  // every vertex, p1, p2, p3 included
};

struct TDimensionBlk {
  TName bname;
  TName layer = NameZero();
  TName ltype = NameByLayer();
  std::int16_t color = 256;
  TName dimblkName;  // block holding the dimension's graphics
  TAcadPoint p0;
  TAcadPoint p1;
  TAcadPoint p2;
  TAcadPoint p3;
  TAcadPoint p4;
  TAcadPoint P5;
  TAcadPoint P6;
  std::int16_t dimtype = 0;
  double code40 = 0;
  double code50 = 0;
  double code51 = 0;
  TAcadPoint code210 = kDefaultExtrusion;
  std::int16_t code60 = 0;
};

struct TViewTbl {
  std::u16string name;
  TAcadPoint center;
  double height = 0;
  double width = 0;
  std::int16_t code70 = 0;
};

struct TSplineBlk {
  TName bname;
  TName layer = NameZero();
  TName ltype = NameByLayer();
  std::int32_t ihand = 0;
  std::int16_t color = 256;
  std::int16_t code70 = 0;  // flags
  std::int16_t code71 = 0;  // degree
  std::int16_t code72 = 0;  // number of knots
  std::int16_t code73 = 0;  // number of control points
  std::int16_t code74 = 0;  // number of fit points
  TAcadPoint code210;       // not read; stays zero
  Colour PenColor = 0;
  TPenStyle PenStyle = 0;
  std::int16_t layindex = 0;
  std::vector<TAcadPoint> code10Ary;  // control points
  std::vector<double> code40Ary;      // knots
  std::vector<double> code41Ary;      // weights
  std::int16_t code60 = 0;
  std::vector<TAcadPoint> code11Ary;  // fit points
};

// A filled area, drawn from the decomposition of solids, traces, hatches and wide polylines:
// closed rings one after another in `pts`, ring i of counts[i] points; a point lies inside when
// an odd number of rings surround it, so a ring inside another is a hole. World coordinates in
// FillAry, block coordinates in BlkFillAry.
struct TFillBlk {
  TName bname;
  TName layer = NameZero();
  TName ltype = NameByLayer();
  std::vector<TAcadPoint> pts;
  std::vector<std::uint32_t> counts;
  Colour PenColor = 0;
  TPenStyle PenStyle = 0;
  std::int16_t color = 256;
  std::int16_t code67 = 0;
  std::int16_t layindex = 0;
  std::int16_t code60 = 0;
};

// RAY (from `base` along `dir`) or XLINE (through `base` both ways): infinite, so it is cut to
// the view when it is drawn.
struct TXlineBlk {
  TName bname;
  TName layer = NameZero();
  TName ltype = NameByLayer();
  TAcadPoint base;
  TAcadPoint dir;
  Colour PenColor = 0;
  TPenStyle PenStyle = 0;
  std::int16_t color = 256;
  std::int16_t code67 = 0;
  std::int16_t layindex = 0;
  std::int16_t code60 = 0;
  bool ray = false;
};

// One edge of a hatch boundary: type 0 a polyline vertex (p1, bulge to the next vertex of its
// path), 1 a line p1-p2, 2 an arc (centre p1, radius r, angles a0 to a1 in degrees), 3 an
// elliptic arc (centre p1, major axis end p2 relative to it, ratio r, angles a0 to a1), 4 a
// spline (degree, knots, control points, weights, fit points). `ccw` false turns arcs clockwise.
struct THatchEdge {
  std::int16_t type = 0;
  bool ccw = true;
  std::int16_t degree = 3;
  TAcadPoint p1;
  TAcadPoint p2;
  double r = 0;
  double a0 = 0;
  double a1 = 0;
  double bulge = 0;
  std::vector<double> knots, weights;
  std::vector<TAcadPoint> control, fit;
};

struct THatchPath {
  std::int16_t flags = 0;  // group 92; bit value 2: a polyline path
  bool closed = true;      // polyline paths: group 73
  std::vector<THatchEdge> edges;
};

// A pattern line of a hatch: through `base` at `angle` degrees, repeated by `offset`, dashed
// by `dashes` (positive drawn, negative gaps, none a solid line).
struct THatchLine {
  double angle = 0;
  TAcadPoint base;
  TAcadPoint offset;
  std::vector<double> dashes;
};

// HATCH, in the drawing or (tagged by `bname`) in a block.
struct THatchBlk {
  TName bname;
  TName layer = NameZero();
  TName ltype = NameByLayer();
  std::int16_t color = 256;
  std::int16_t code60 = 0;
  std::int16_t code67 = 0;
  std::int16_t code70 = 0;  // bit value 1: solid fill
  TAcadPoint code210 = kDefaultExtrusion;
  double elevation = 0;
  std::vector<THatchPath> paths;
  std::vector<THatchLine> lines;
};

// MLINE: the element lines run from vertex to vertex, each at its own distance along the miter
// of every vertex (offsets[vertex * elements + element]).
struct TMlineBlk {
  TName bname;
  TName layer = NameZero();
  TName ltype = NameByLayer();
  std::int16_t color = 256;
  std::int16_t code60 = 0;
  std::int16_t code67 = 0;
  std::int16_t code71 = 0;  // bit value 2: closed
  std::int16_t code73 = 0;  // elements
  std::vector<TAcadPoint> vertices, miters;
  std::vector<double> offsets;
};

// An object drawn by its proxy graphics (MULTILEADER, ACAD_PROXY_ENTITY): the binary
// graphics stream as the file holds it (group 92, or 160 in newer files, bytes of groups 310).
struct TProxyBlk {
  TName bname;
  TName layer = NameZero();
  TName ltype = NameByLayer();
  std::int16_t color = 256;
  std::int16_t code60 = 0;
  std::int16_t code67 = 0;
  std::int32_t code92 = -1;  // size of the graphics; -1 before group 92 or 160
  std::vector<std::uint8_t> graphics;
};

// MESH: vertices and faces (each face its vertex count and then the vertex indices).
struct TMeshBlk {
  TName bname;
  TName layer = NameZero();
  TName ltype = NameByLayer();
  std::int16_t color = 256;
  std::int16_t code60 = 0;
  std::int16_t code67 = 0;
  std::vector<TAcadPoint> vertices;
  std::vector<std::int32_t> faces;
};

// Every table of the model. Tables whose names begin with Blk hold the entities of BLOCK
// definitions, tagged by `bname`; the others hold the drawing itself.
struct TDrawingModel {
  std::vector<TLayer> LayerAry;
  std::vector<TBlockBlk> BlockAry;
  std::vector<TAcadLineBlk> BlkLineAry;
  std::vector<TCircleBlk> BlkCircleAry;
  std::vector<TArcBlk> BlkArcAry;
  std::vector<TLwpBlk> BlkLwpAry;
  std::vector<TLwpVer> BlkVerAry;
  std::vector<TTextBlk> BlkTextAry;
  std::vector<TSolidBlk> BlkSolidAry;
  std::vector<TEllipseBlk> BlkEllipseAry;
  std::vector<TAcadLineBlk> LineAry;
  std::vector<TCircleBlk> CircleAry;
  std::vector<TArcBlk> ArcAry;
  std::vector<TTextBlk> TextAry;
  std::vector<TInsertBlk> EntInsertAry;
  std::vector<TInsertBlk> NestInsertAry;
  std::vector<TLwpBlk> LwpAry;
  std::vector<TLwpVer> VerAry;
  std::vector<TFaceBlk> FaceAry;
  std::vector<TEllipseBlk> EllipseAry;
  std::vector<TSolidBlk> SolidAry;
  std::vector<TLeaderBlk> LeaderAry;
  std::vector<TSplineBlk> SplineAry;
  std::vector<TDimensionBlk> DimensionAry;
  std::vector<TViewTbl> ViewAry;
  // Kinds beyond lines, circles, arcs and texts. Hatches, multilines and meshes of blocks are
  // tagged by `bname` in the one table; their decomposition sorts them into the Blk tables.
  std::vector<TFillBlk> BlkFillAry;
  std::vector<TFillBlk> FillAry;
  std::vector<TXlineBlk> BlkXlineAry;
  std::vector<TXlineBlk> XlineAry;
  std::vector<THatchBlk> HatchAry;
  std::vector<TMlineBlk> MlineAry;
  std::vector<TMeshBlk> MeshAry;
  std::vector<TProxyBlk> ProxyAry;
  // Set by the post-processing when the block expansion or the hatch patterns stopped at the
  // drawing's work budget: the drawing is drawn in part.
  bool expansionCut = false;
};

// Calls f(name, table) for every table of the model, in declaration order.
template <class Model, class F>
void ForEachTable(Model& m, F&& f) {
  f("LayerAry", m.LayerAry);
  f("BlockAry", m.BlockAry);
  f("BlkLineAry", m.BlkLineAry);
  f("BlkCircleAry", m.BlkCircleAry);
  f("BlkArcAry", m.BlkArcAry);
  f("BlkLwpAry", m.BlkLwpAry);
  f("BlkVerAry", m.BlkVerAry);
  f("BlkTextAry", m.BlkTextAry);
  f("BlkSolidAry", m.BlkSolidAry);
  f("BlkEllipseAry", m.BlkEllipseAry);
  f("LineAry", m.LineAry);
  f("CircleAry", m.CircleAry);
  f("ArcAry", m.ArcAry);
  f("TextAry", m.TextAry);
  f("EntInsertAry", m.EntInsertAry);
  f("NestInsertAry", m.NestInsertAry);
  f("LwpAry", m.LwpAry);
  f("VerAry", m.VerAry);
  f("FaceAry", m.FaceAry);
  f("EllipseAry", m.EllipseAry);
  f("SolidAry", m.SolidAry);
  f("LeaderAry", m.LeaderAry);
  f("SplineAry", m.SplineAry);
  f("DimensionAry", m.DimensionAry);
  f("ViewAry", m.ViewAry);
  f("BlkFillAry", m.BlkFillAry);
  f("FillAry", m.FillAry);
  f("BlkXlineAry", m.BlkXlineAry);
  f("XlineAry", m.XlineAry);
  f("HatchAry", m.HatchAry);
  f("MlineAry", m.MlineAry);
  f("MeshAry", m.MeshAry);
  f("ProxyAry", m.ProxyAry);
}

// Empties every table and releases its memory.
void ClearAll(TDrawingModel& m);

// Name and record count of every table, in declaration order (for reports and tools).
struct TTableCount {
  const char* name;
  std::size_t count;
};
std::vector<TTableCount> TableCounts(const TDrawingModel& m);

// The point (x, y, z); the arithmetic on points is in render/geometry.h.
TAcadPoint MakeAcadPoint(double x, double y, double z);

// Layer operations on LayerAry. Names compare exactly (case-sensitive); the first match wins.
// The colour of the named layer; an unknown name appends a layer of that name (colour 7,
// "CONTINUOUS", visible) and gives 7.
std::int16_t GetLayerColor(TDrawingModel& m, std::u16string_view name);
// Index of the named layer, or -1.
std::int32_t GetLayerIndex(const TDrawingModel& m, std::u16string_view name);
// `visible` of the layer at index; true for an index outside the table.
bool LayerVisibleAt(const TDrawingModel& m, std::int32_t index);
// `visible` of the named layer; true when there is none.
bool LayerVisible(const TDrawingModel& m, std::u16string_view name);
// Sets `visible` of the named layer; nothing when there is none.
void SetLayerVisible(TDrawingModel& m, std::u16string_view name, bool value);

}  // namespace tesmar
