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

// Layer and linetype names repeat from entity to entity: each distinct name is decoded once
// and known by a number from then on.
class NameTable {
 public:
  explicit NameTable(bool upper) : upper_(upper) {}
  std::size_t Id(const TextDecoder& decode, std::string_view bytes) {
    if (last_ < keys_.size() && keys_[last_] == bytes) return last_;
    auto it = ids_.find(bytes);
    if (it == ids_.end()) {
      keys_.emplace_back(bytes);
      std::u16string text = decode(bytes);
      texts_.push_back(upper_ ? UpperCase16(text) : std::move(text));
      it = ids_.emplace(keys_.back(), keys_.size() - 1).first;
    }
    return last_ = it->second;
  }
  const std::u16string& Text(std::size_t id) const { return texts_[id]; }

 private:
  bool upper_;
  std::deque<std::string> keys_;  // never moves, so the map's views stay valid
  std::vector<std::u16string> texts_;
  std::unordered_map<std::string_view, std::size_t> ids_;
  std::size_t last_ = static_cast<std::size_t>(-1);
};

// Entity kinds, in the order in which their maps are tried.
enum class Kind { None, Line, Circle, Arc, LwPolyline, Polyline, Text, Insert, Face, Ellipse, Solid, Leader, Spline, Dimension };

// The values of code-0 pairs that the reader acts on, recognised once per pair.
enum class Word : std::uint8_t {
  Other, Table, EndTab, Layer, View, Block, EndBlk, EndSec, Vertex, SeqEnd,
  Line, Circle, Arc, LwPolyline, Polyline, Text, Attrib, MText, Insert, Face, Ellipse, Solid, Leader, Spline, Dimension
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
    case Word::MText: return Kind::Text;
    case Word::Insert: return Kind::Insert;
    case Word::Face: return Kind::Face;
    case Word::Ellipse: return Kind::Ellipse;
    case Word::Solid: return Kind::Solid;
    case Word::Leader: return Kind::Leader;
    case Word::Spline: return Kind::Spline;
    case Word::Dimension: return Kind::Dimension;
    default: return Kind::None;
  }
}

// Kinds that BLOCK definitions keep; 3DFACE, LEADER, SPLINE and DIMENSION are read only from
// the ENTITIES section.
inline bool AllowedInBlock(Kind k) {
  return k != Kind::Face && k != Kind::Leader && k != Kind::Spline && k != Kind::Dimension;
}

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
  // Groups first, first+10, first+20 set x, y, z.
  bool Point(TAcadPoint& p, int code, int first) const {
    if (code == first) p.x = Real();
    else if (code == first + 10) p.y = Real();
    else if (code == first + 20) p.z = Real();
    else return false;
    return true;
  }
  // The layer named by the value; it becomes the current entity's layer.
  const std::u16string& Layer() {
    entLayer_ = layers_.Id(decode_, v_);
    return layers_.Text(entLayer_);
  }
  const std::u16string& Ltype() { return ltypes_.Text(ltypes_.Id(decode_, v_)); }

  std::int16_t LayerColour(std::size_t layer);
  // BYLAYER takes the layer's colour; inside a block, so do entities on layer "0" and BYBLOCK.
  void Resolve(std::int16_t& color) {
    if (color == 256) color = LayerColour(entLayer_);
    if (curInBlock_ && (entLayer_ == zeroLayer_ || color == 0)) color = LayerColour(entLayer_);
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
  std::u16string curBlockName_;  // last group-2 value of a block header

  // The current entity.
  Kind cur_ = Kind::None;
  void* rec_ = nullptr;
  bool curInBlock_ = false;
  std::size_t lwpVertices_ = 0;  // vertices of the current LWPOLYLINE
  int leaderVertex_ = -1;

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
};

}  // namespace tesmar::dxfread
