#pragma once
// Inside the DXF reader: its state machine and the helpers it shares between reader.cpp (the
// sections and the loop) and entity_maps.cpp (the group-code map of every entity kind).
#include <climits>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/codepage.h"
#include "base/strings.h"
#include "dxf/model.h"
#include "dxf/record_table.h"
#include "dxf/values.h"

namespace tesmar::dxfread {

// Raised when a value that a state takes does not convert; ends the read at that pair.
struct BadValue {};

// Text of the file to UTF-16; plain ASCII is widened without a converter.
class TextDecoder {
 public:
  explicit TextDecoder(TextEncoding encoding) : encoding_(encoding) {}

  void Assign(std::u16string& out, std::string_view bytes) const {
    if (IsAscii(bytes)) {
      out.assign(bytes.begin(), bytes.end());
    } else {
      out = Decode(bytes);
    }
  }
  void Append(std::u16string& out, std::string_view bytes) const {
    if (IsAscii(bytes)) {
      out.append(bytes.begin(), bytes.end());
    } else {
      out += Decode(bytes);
    }
  }
  std::u16string operator()(std::string_view bytes) const {
    std::u16string s;
    Assign(s, bytes);
    return s;
  }

 private:
  static bool IsAscii(std::string_view bytes) {
    for (char c : bytes)
      if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
  }
  std::u16string Decode(std::string_view bytes) const {
    return DecodeText(bytes, encoding_);
  }
  TextEncoding encoding_;
};

// Layer, linetype and block names repeat from entity to entity: each distinct name is decoded
// once and known by a number from then on.
class NameTable {
 public:
  explicit NameTable(bool upper) : upper_(upper) {}
  std::size_t Id(const TextDecoder& decode, std::string_view bytes) {
    // A drawing's entities use a few names over and over: a small cache by length and last
    // bytes answers most of them without hashing the whole name.
    std::size_t& cached = cache_[Slot(bytes)];
    if (cached < keys_.size() && keys_[cached] == bytes) return cached;
    auto it = ids_.find(bytes);
    if (it == ids_.end()) {
      keys_.emplace_back(bytes);
      std::u16string text = decode(bytes);
      texts_.emplace_back(upper_ ? UpperCase16(text) : text);
      it = ids_.emplace(keys_.back(), keys_.size() - 1).first;
    }
    return cached = it->second;
  }
  const TName& Text(std::size_t id) const { return texts_[id]; }

 private:
  bool upper_;
  std::deque<std::string> keys_;  // never moves, so the map's views stay valid
  std::vector<TName> texts_;
  std::unordered_map<std::string_view, std::size_t> ids_;
  static std::size_t Slot(std::string_view b) {
    std::uint64_t h = b.size();
    for (std::size_t i = b.size() > 4 ? b.size() - 4 : 0; i < b.size(); ++i) h = h * 131 + static_cast<unsigned char>(b[i]);
    return static_cast<std::size_t>((h * 0x9E3779B97F4A7C15ull) >> 56);
  }
  static constexpr std::size_t kCacheSlots = 256;
  std::size_t cache_[kCacheSlots] = {};  // ids; an id that does not hold the key is a miss
};

// Entity kinds, in the order in which their maps are tried.
enum class Kind {
  None, Line, Circle, Arc, LwPolyline, Polyline, Text, Insert, Face, Ellipse, Solid, Leader, Spline, Dimension,
  Point, Xline, Hatch, Mline, Mesh, Proxy
};

// The values of code-0 pairs that the reader acts on, recognised once per pair.
enum class Word : std::uint8_t {
  Other, Table, EndTab, Layer, View, Block, EndBlk, EndSec, Vertex, SeqEnd,
  Line, Circle, Arc, LwPolyline, Polyline, Text, Attrib, MText, Insert, Face, Ellipse, Solid, Leader, Spline, Dimension,
  Trace, Point, Ray, Xline, Hatch, Mline, Mesh, AcadTable, Attdef, MultiLeader, ProxyEntity
};

Word WordOf(std::string_view v);

inline Kind KindOf(Word w) {
  switch (w) {
    case Word::Line: return Kind::Line;
    case Word::Circle: return Kind::Circle;
    case Word::Arc: return Kind::Arc;
    case Word::LwPolyline: return Kind::LwPolyline;
    case Word::Polyline: return Kind::Polyline;
    case Word::Text:
    case Word::Attrib:
    case Word::Attdef:
    case Word::MText: return Kind::Text;
    case Word::Insert:
    case Word::AcadTable: return Kind::Insert;
    case Word::Face: return Kind::Face;
    case Word::Ellipse: return Kind::Ellipse;
    case Word::Solid:
    case Word::Trace: return Kind::Solid;
    case Word::Point: return Kind::Point;
    case Word::Ray:
    case Word::Xline: return Kind::Xline;
    case Word::Hatch: return Kind::Hatch;
    case Word::Mline: return Kind::Mline;
    case Word::Mesh: return Kind::Mesh;
    case Word::MultiLeader:
    case Word::ProxyEntity: return Kind::Proxy;
    case Word::Leader: return Kind::Leader;
    case Word::Spline: return Kind::Spline;
    case Word::Dimension: return Kind::Dimension;
    default: return Kind::None;
  }
}

// Kinds that BLOCK definitions keep; DIMENSION is read only from the ENTITIES section (its
// graphics are a block of their own).
inline bool AllowedInBlock(Kind k) { return k != Kind::Dimension; }

inline double& Coord(TAcadPoint& p, int axis) { return axis == 0 ? p.x : axis == 1 ? p.y : p.z; }

// The state of one read: section flags, the current entity and the tables being filled.
class Reader {
 public:
  Reader(TDrawingModel& model, TextEncoding encoding) : m_(model), decode_(encoding) {}

  const std::u16string& Version() const { return version_; }
  const TextDecoder& Decode() const { return decode_; }

  void Pair(int code, std::string_view value) {
    v_ = value;
    // Most pairs are groups of the entity being read, in a state where nothing but the entity
    // looks at them: codes 0, 1, 2 and 9 are the ones that the sections, tables and header act
    // on, and the LAYER and VIEW tables and block headers take groups of their own. Those
    // pairs take the full way through the sections.
    if (code > 2 && code != 9 && (inBlockBody_ || inEntities_) && !inLayerTable_ && !inViewTable_ &&
        !(inBlocks_ && inBlockHeader_)) {
      w_ = Word::Other;
      if (cur_ != Kind::None) TakeEntityPair(code, value);
      if (vertexMode_) VertexModePair(code, value);
      return;
    }
    SectionPair(code, value);
  }
  void Finish();

 private:
  double Real() const {
    double d;
    if (!ParseDxfReal(v_, d)) throw BadValue{};
    return d;
  }
  std::int16_t Int() const {
    std::int32_t i;
    if (!ParseDxfInt(v_, i)) throw BadValue{};
    return static_cast<std::int16_t>(i);  // stored in the field's 16 bits
  }
  std::int32_t Int32() const {
    std::int32_t i;
    if (!ParseDxfInt(v_, i)) throw BadValue{};
    return i;
  }
  // Groups first, first+10, first+20 set x, y, z.
  bool Point(TAcadPoint& p, int code, int first) const {
    if (code == first) p.x = Real();
    else if (code == first + 10) p.y = Real();
    else if (code == first + 20) p.z = Real();
    else return false;
    return true;
  }
  bool Point(TExtrusion& e, int code, int first) const {
    if (code != first && code != first + 10 && code != first + 20) return false;
    TAcadPoint p = e;
    Point(p, code, first);
    e = p;
    return true;
  }
  // The layer named by the value; it becomes the current entity's layer.
  const TName& Layer() {
    entLayer_ = layers_.Id(decode_, v_);
    return layers_.Text(entLayer_);
  }
  const TName& Ltype() { return ltypes_.Text(ltypes_.Id(decode_, v_)); }
  const TName& BlockName(std::string_view value) { return blockNames_.Text(blockNames_.Id(decode_, value)); }

  std::int16_t LayerColour(std::size_t layer);
  // BYLAYER takes the layer's colour; inside a block, so do entities on layer "0" and BYBLOCK.
  void Resolve(std::int16_t& color) {
    if (color == 256) color = LayerColour(entLayer_);
    if (curInBlock_ && (entLayer_ == zeroLayer_ || color == 0)) color = LayerColour(entLayer_);
  }

  // The groups that most kinds share: the end (0), layer, linetype, colour, space and
  // visibility; true when the pair was one of them.
  template <class Record>
  bool CommonPair(Record& r, int code) {
    switch (code) {
      case 0: Resolve(r.color); EndEntity(); return true;
      case 8: r.layer = Layer(); return true;
      case 6: r.ltype = Ltype(); return true;
      case 62: r.color = Int(); return true;
      case 67: r.code67 = Int(); return true;
      case 60: r.code60 = Int(); return true;
      default: return false;
    }
  }

  void SectionPair(int code, std::string_view value);
  void LayerTablePair(int code, std::string_view value);
  void ViewTablePair(int code, std::string_view value);
  void BlockHeaderPair(int code);
  void EntityPair(int code, std::string_view value);
  bool TakeEntityPair(int code, std::string_view value);  // false: the pair ended the entity
  void VertexModePair(int code, std::string_view value);
  void Start(Kind kind, std::string_view value);
  void EndEntity() { cur_ = Kind::None; rec_ = nullptr; }
  void EndVertexMode() { vertexMode_ = false; }

  template <class T>
  T& Rec() const { return *static_cast<T*>(rec_); }

  TDrawingModel& m_;
  TextDecoder decode_;
  std::string_view v_;  // value of the pair being processed
  Word w_ = Word::Other;  // what that value says when the code is 0
  NameTable layers_{false};
  NameTable ltypes_{true};
  NameTable blockNames_{false};
  const std::size_t zeroLayer_ = layers_.Id(decode_, "0");
  const std::size_t emptyLayer_ = layers_.Id(decode_, "");
  std::size_t entLayer_ = zeroLayer_;  // layer of the current entity
  static constexpr std::int32_t kUnknownColour = INT32_MIN;
  std::vector<std::int32_t> layerColours_;  // by layer name number; emptied when the LAYER table changes

  // Section flags.
  bool headerSeen_ = false, versionArmed_ = false;
  bool afterTable_ = false, inLayerTable_ = false, inLayerRecord_ = false;
  bool inViewTable_ = false, inViewRecord_ = false;
  bool inBlocks_ = false, inBlockHeader_ = false, inBlockBody_ = false, inEntities_ = false;

  std::u16string version_;
  std::int32_t layerRecord_ = -1;  // index in LayerAry of the LAYER record being read
  TName curBlockName_;  // last group-2 value of a block header

  // The current entity.
  Kind cur_ = Kind::None;
  void* rec_ = nullptr;
  bool curInBlock_ = false;
  std::size_t lwpVertices_ = 0;  // vertices of the current LWPOLYLINE
  int leaderVertex_ = -1;
  bool tableBody_ = false;  // ACAD_TABLE past its block-reference groups
  bool attdef_ = false;     // the text being read is an ATTDEF
  int hatchState_ = 0;      // HATCH: where the groups being read belong (see the map)
  int hatchPathEdges_ = 0;  // HATCH: edges or vertices of the current path still to come
  int mlineElement_ = -1;   // MLINE: element of the current vertex whose parameters are read
  bool mlineFirstParam_ = false;
  int meshState_ = 0;       // MESH: 1 vertices, 2 faces, 0 anything else
  std::int32_t meshLeft_ = 0;

  // POLYLINE vertex mode: VERTEX entities append to the polyline until SEQEND.
  bool vertexMode_ = false;
  bool vertexInBlock_ = false;
  std::int32_t vertexIhand_ = 0;
  std::size_t polyVertices_ = 0;

  RecordTable<TAcadLineBlk> blkLine_, line_;
  RecordTable<TCircleBlk> blkCircle_, circle_;
  RecordTable<TArcBlk> blkArc_, arc_;
  RecordTable<TLwpBlk> blkLwp_, lwp_;
  RecordTable<TLwpVer> blkVer_, ver_;
  RecordTable<TTextBlk> blkText_, text_;
  RecordTable<TSolidBlk> blkSolid_, solid_;
  RecordTable<TEllipseBlk> blkEllipse_, ellipse_;
  RecordTable<TInsertBlk> entInsert_;
  RecordTable<TFaceBlk> face_;
  RecordTable<TLeaderBlk> leader_;
  RecordTable<TSplineBlk> spline_;
  RecordTable<TDimensionBlk> dimension_;
  RecordTable<TXlineBlk> blkXline_, xline_;
  RecordTable<THatchBlk> hatch_;
  RecordTable<TMlineBlk> mline_;
  RecordTable<TMeshBlk> mesh_;
  RecordTable<TProxyBlk> proxy_;

  bool HatchPair(THatchBlk& r, int code);
  bool MlinePair(TMlineBlk& r, int code);
  bool MeshPair(TMeshBlk& r, int code);
};

}  // namespace tesmar::dxfread
