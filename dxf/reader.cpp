// The reader is a flat state machine over group-code/value pairs: a few section flags, the
// record of the entity being read and a group-code map per entity kind. Values are converted
// only where a state takes them, and text is decoded to UTF-16 only where it is stored.
#include "dxf/reader.h"

#include <exception>
#include <climits>
#include <deque>
#include <unordered_map>
#include <vector>

#include "base/readonly_file.h"
#include "base/strings.h"
#include "dxf/pair_scanner.h"
#include "dxf/record_table.h"
#include "dxf/text_decode.h"
#include "dxf/values.h"

namespace tesmar {
namespace {

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
    return encoding_ == TextEncoding::Utf8 ? Utf8ToUtf16(bytes) : AnsiToUtf16(bytes);
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

Word WordOf(std::string_view v) {
  struct Entry {
    std::string_view text;
    Word word;
  };
  static constexpr Entry kWords[] = {
      {"LINE", Word::Line},       {"VERTEX", Word::Vertex},   {"LWPOLYLINE", Word::LwPolyline}, {"TEXT", Word::Text},
      {"CIRCLE", Word::Circle},   {"ARC", Word::Arc},         {"INSERT", Word::Insert},         {"SEQEND", Word::SeqEnd},
      {"MTEXT", Word::MText},     {"ATTRIB", Word::Attrib},   {"POLYLINE", Word::Polyline},     {"DIMENSION", Word::Dimension},
      {"ELLIPSE", Word::Ellipse}, {"SPLINE", Word::Spline},   {"SOLID", Word::Solid},           {"LEADER", Word::Leader},
      {"3DFACE", Word::Face},     {"TABLE", Word::Table},     {"ENDTAB", Word::EndTab},         {"LAYER", Word::Layer},
      {"VIEW", Word::View},       {"BLOCK", Word::Block},     {"ENDBLK", Word::EndBlk},         {"ENDSEC", Word::EndSec},
  };
  if (v.size() < 3 || v.size() > 10 || v[0] < '3' || v[0] > 'Z') return Word::Other;
  for (const Entry& e : kWords)
    if (e.text.size() == v.size() && e.text[0] == v[0] && e.text == v) return e.word;
  return Word::Other;
}

Kind KindOf(Word w) {
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
bool AllowedInBlock(Kind k) {
  return k != Kind::Face && k != Kind::Leader && k != Kind::Spline && k != Kind::Dimension;
}

double& Coord(TAcadPoint& p, int axis) { return axis == 0 ? p.x : axis == 1 ? p.y : p.z; }

class Reader {
 public:
  Reader(TDrawingModel& model, TextEncoding encoding) : m_(model), decode_(encoding) {}

  const std::u16string& Version() const { return version_; }
  const TextDecoder& Decode() const { return decode_; }

  void Pair(int code, std::string_view value);
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

  std::int16_t LayerColor(std::size_t layer);
  // BYLAYER takes the layer's colour; inside a block, so do entities on layer "0" and BYBLOCK.
  void Resolve(std::int16_t& color) {
    if (color == 256) color = LayerColor(entLayer_);
    if (curInBlock_ && (entLayer_ == zeroLayer_ || color == 0)) color = LayerColor(entLayer_);
  }

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
  static constexpr std::int32_t kUnknownColor = INT32_MIN;
  std::vector<std::int32_t> layerColors_;  // by layer name number; emptied when the LAYER table changes

  // Section flags.
  bool headerSeen_ = false, versionArmed_ = false;
  bool afterTable_ = false, inLayerTable_ = false, inLayerRecord_ = false;
  bool inViewTable_ = false, inViewRecord_ = false;
  bool inBlocks_ = false, inBlockHeader_ = false, inBlockBody_ = false, inEntities_ = false;

  std::u16string version_;
  std::int32_t curLayer_ = -1;
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

std::int16_t Reader::LayerColor(std::size_t layer) {
  if (layer >= layerColors_.size()) layerColors_.resize(layer + 1, kUnknownColor);
  if (layerColors_[layer] == kUnknownColor) layerColors_[layer] = GetLayerColor(m_, layers_.Text(layer));
  return static_cast<std::int16_t>(layerColors_[layer]);
}

void Reader::Pair(int code, std::string_view value) {
  v_ = value;
  w_ = code == 0 ? WordOf(value) : Word::Other;
  // Header variables: only $ACADVER is read.
  if (headerSeen_) {
    if (version_.empty()) {
      if (versionArmed_ && code == 1) {
        decode_.Assign(version_, value);
        versionArmed_ = false;
      } else if (code == 9 && value == "$ACADVER") {
        versionArmed_ = true;
      }
    }
  } else if (code == 2 && value == "HEADER") {
    headerSeen_ = true;
  }

  if (inLayerTable_) LayerTablePair(code, value);
  if (inViewTable_) ViewTablePair(code, value);
  if (afterTable_ && code == 2) {
    if (value == "LAYER") inLayerTable_ = true;
    else if (value == "VIEW") inViewTable_ = true;
  }

  bool sectionEnd = false;
  if (w_ == Word::Table) {
    afterTable_ = true;
  } else if (w_ == Word::EndBlk || w_ == Word::EndSec) {
    // The current entity ends first, while it still stands where it was read.
    if (cur_ != Kind::None) TakeEntityPair(code, value);
    EndVertexMode();
    if (w_ == Word::EndBlk) {
      inBlockBody_ = false;
    } else {
      inBlocks_ = inViewRecord_ = inViewTable_ = inBlockBody_ = inEntities_ = false;
    }
    sectionEnd = true;
  }

  if (inBlocks_ && inBlockHeader_) BlockHeaderPair(code);
  if (!sectionEnd && (inBlockBody_ || inEntities_)) EntityPair(code, value);

  if (w_ == Word::Block && inBlocks_) {
    m_.BlockAry.emplace_back();
    inBlockHeader_ = true;
  }
  if (code == 2) {
    if (value == "BLOCKS" && !inBlocks_) {
      inBlocks_ = true;
      inBlockHeader_ = false;
    } else if (value == "ENTITIES" && !inEntities_) {
      inEntities_ = true;
    }
  }
}

void Reader::LayerTablePair(int code, std::string_view value) {
  if (inLayerRecord_ && curLayer_ >= 0 && static_cast<std::size_t>(curLayer_) < m_.LayerAry.size()) {
    TLayer& layer = m_.LayerAry[static_cast<std::size_t>(curLayer_)];
    switch (code) {
      case 2: decode_.Assign(layer.Name, value); break;
      case 6: layer.ltype = Ltype(); break;
      case 70:
        layer.code70 = Int();
        if (layer.code70 & 1) layer.visible = false;  // frozen
        break;
      case 62:
        layer.color = Int();
        if (layer.color < 0) layer.visible = false;  // off
        break;
      case 0: inLayerRecord_ = false; break;
      default: break;
    }
    layerColors_.clear();
  }
  if (w_ == Word::EndTab) {
    inLayerTable_ = inLayerRecord_ = afterTable_ = false;
  } else if (w_ == Word::Layer) {
    m_.LayerAry.emplace_back();
    curLayer_ = static_cast<std::int32_t>(m_.LayerAry.size() - 1);
    inLayerRecord_ = true;
    layerColors_.clear();
  }
}

void Reader::ViewTablePair(int code, std::string_view value) {
  if (w_ == Word::View) {
    m_.ViewAry.emplace_back();
    inViewRecord_ = true;
    return;
  }
  if (w_ == Word::EndTab) {  // later tables have groups of the same numbers
    inViewTable_ = inViewRecord_ = false;
    return;
  }
  if (!inViewRecord_ || m_.ViewAry.empty()) return;
  TViewTbl& view = m_.ViewAry.back();
  switch (code) {
    case 2: decode_.Assign(view.name, value); break;
    case 10: view.center.x = Real(); break;
    case 20: view.center.y = Real(); break;
    case 40: view.height = Real(); break;
    case 41: view.width = Real(); break;
    case 70: view.code70 = Int(); break;
    default: break;
  }
}

void Reader::BlockHeaderPair(int code) {
  if (m_.BlockAry.empty()) return;
  TBlockBlk& block = m_.BlockAry.back();
  switch (code) {
    case 2:
      decode_.Assign(block.name, v_);
      curBlockName_ = block.name;
      break;
    case 8: block.layer = Layer(); break;
    case 6: block.ltype = Ltype(); break;
    case 0:
      inBlockHeader_ = false;
      inBlockBody_ = true;
      break;
    default: Point(block.base, code, 10); break;
  }
}

void Reader::EntityPair(int code, std::string_view value) {
  if (cur_ != Kind::None) TakeEntityPair(code, value);
  if (vertexMode_) VertexModePair(code, value);
  if (code == 0) {
    const Kind kind = KindOf(w_);
    if (kind != Kind::None && (!inBlockBody_ || AllowedInBlock(kind))) Start(kind, value);
  }
}

void Reader::VertexModePair(int code, std::string_view value) {
  if (code == 0) {
    // VERTEX entities continue the polyline; SEQEND (or any other entity) ends it.
    if (w_ != Word::Vertex) EndVertexMode();
    return;
  }
  RecordTable<TLwpVer>& table = vertexInBlock_ ? blkVer_ : ver_;
  if (code == 10) {
    TLwpVer& v = table.Add();
    v.ihand = vertexIhand_;
    v.code10.x = Real();
    ++polyVertices_;
    return;
  }
  if (polyVertices_ == 0) return;
  TLwpVer& v = table.Back();
  switch (code) {
    case 20: v.code10.y = Real(); break;
    case 30: v.code10.z = Real(); break;
    case 42: v.code42 = Real(); break;
    default: break;
  }
}

void Reader::Start(Kind kind, std::string_view value) {
  const bool inBlock = inBlockBody_ && !m_.BlockAry.empty();
  const std::u16string* bname = inBlock ? &m_.BlockAry.back().name : nullptr;
  auto tag = [&](auto& r) -> auto& {
    if (bname) r.bname = *bname;
    return r;
  };
  cur_ = kind;
  curInBlock_ = inBlock;
  entLayer_ = kind == Kind::Text ? emptyLayer_ : zeroLayer_;
  switch (kind) {
    case Kind::Line: rec_ = &tag(inBlock ? blkLine_.Add() : line_.Add()); break;
    case Kind::Circle: rec_ = &tag(inBlock ? blkCircle_.Add() : circle_.Add()); break;
    case Kind::Arc: rec_ = &tag(inBlock ? blkArc_.Add() : arc_.Add()); break;
    case Kind::LwPolyline:
    case Kind::Polyline: {
      RecordTable<TLwpBlk>& table = inBlock ? blkLwp_ : lwp_;
      const auto index = static_cast<std::int32_t>(table.Size());
      TLwpBlk& r = tag(table.Add());
      r.ihand = index;
      rec_ = &r;
      lwpVertices_ = 0;
      break;
    }
    case Kind::Text: {
      TTextBlk& r = tag(inBlock ? blkText_.Add() : text_.Add());
      r.mtflag = w_ == Word::MText;
      r.atflag = w_ == Word::Attrib;
      rec_ = &r;
      break;
    }
    case Kind::Insert: {
      TInsertBlk& r = inBlock ? m_.BlockAry.back().InsertAry.emplace_back() : entInsert_.Add();
      r.dimBlkName = curBlockName_;
      rec_ = &r;
      break;
    }
    case Kind::Face: rec_ = &face_.Add(); break;
    case Kind::Ellipse: rec_ = &tag(inBlock ? blkEllipse_.Add() : ellipse_.Add()); break;
    case Kind::Solid: rec_ = &tag(inBlock ? blkSolid_.Add() : solid_.Add()); break;
    case Kind::Leader:
      rec_ = &leader_.Add();
      leaderVertex_ = -1;
      break;
    case Kind::Spline: rec_ = &spline_.Add(); break;
    case Kind::Dimension: rec_ = &dimension_.Add(); break;
    case Kind::None: cur_ = Kind::None; break;
  }
}

bool Reader::TakeEntityPair(int code, std::string_view value) {
  switch (cur_) {
    case Kind::None: return false;

    case Kind::Line: {
      auto& r = Rec<TAcadLineBlk>();
      switch (code) {
        case 0: Resolve(r.color); EndEntity(); return false;
        case 8: r.layer = Layer(); break;
        case 6: r.ltype = Ltype(); break;
        case 62: r.color = Int(); break;
        case 60: r.code60 = Int(); break;
        default: Point(r.st, code, 10) || Point(r.ed, code, 11); break;
      }
      return true;
    }

    case Kind::Circle:
    case Kind::Arc: {
      // An ARC is a CIRCLE with start and end angles.
      auto take = [&](auto& r) {
        switch (code) {
          case 0: Resolve(r.color); EndEntity(); return false;
          case 8: r.layer = Layer(); break;
          case 6: r.ltype = Ltype(); break;
          case 40: r.hankei = Real(); break;
          case 62: r.color = Int(); break;
          case 67: r.code67 = Int(); break;
          case 60: r.code60 = Int(); break;
          default: Point(r.center, code, 10) || Point(r.code210, code, 210); break;
        }
        return true;
      };
      if (cur_ == Kind::Circle) return take(Rec<TCircleBlk>());
      auto& r = Rec<TArcBlk>();
      if (code == 50) r.st = Real();
      else if (code == 51) r.ed = Real();
      else return take(r);
      return true;
    }

    case Kind::LwPolyline:
    case Kind::Polyline: {
      auto& r = Rec<TLwpBlk>();
      const bool lw = cur_ == Kind::LwPolyline;
      switch (code) {
        case 0:
          if (lw) {  // colour was settled with the first vertex
            EndEntity();
            return false;
          }
          Resolve(r.color);
          if (w_ == Word::Vertex) {
            vertexMode_ = true;
            vertexInBlock_ = curInBlock_;
            vertexIhand_ = r.ihand;
            polyVertices_ = 0;
          }
          // Any other entity ends the header too, so that its groups are not taken by it.
          EndEntity();
          return false;
        case 8: r.layer = Layer(); break;
        case 6: r.ltype = Ltype(); break;
        case 38: r.code38 = Real(); break;
        case 70: r.code70 = Int(); break;
        case 71: r.code71 = Int(); break;
        case 72: r.code72 = Int(); break;
        case 73: r.code73 = Int(); break;
        case 74: r.code74 = Int(); break;
        case 62: r.color = Int(); break;
        case 67: r.code67 = Int(); break;
        case 60: r.code60 = Int(); break;
        case 10:
        case 20:
        case 42: {
          if (!lw) break;  // the header's own point is not a vertex
          RecordTable<TLwpVer>& table = curInBlock_ ? blkVer_ : ver_;
          if (code == 10) {
            Resolve(r.color);
            TLwpVer& v = table.Add();
            v.ihand = r.ihand;
            v.code10 = {Real(), 0, r.code38};
            ++lwpVertices_;
          } else if (lwpVertices_ > 0) {
            (code == 20 ? table.Back().code10.y : table.Back().code42) = Real();
          }
          break;
        }
        default: Point(r.code210, code, 210); break;
      }
      return true;
    }

    case Kind::Text: {
      auto& r = Rec<TTextBlk>();
      switch (code) {
        case 0:
          if (r.str.empty()) {
            (curInBlock_ ? blkText_ : text_).PopBack();
          } else {
            Resolve(r.color);
          }
          EndEntity();
          return false;
        case 8: r.layer = Layer(); break;
        case 1:
        case 3: decode_.Append(r.str, value); break;
        case 72: r.code72 = Int(); break;
        case 73:
          if (!r.atflag) r.code73 = Int();
          break;
        case 74:
          if (r.atflag) r.code73 = Int();
          break;
        case 70: r.code70 = Int(); break;
        case 71: r.code71 = Int(); break;
        case 40: r.code40 = Real(); break;
        case 41: r.code41 = Real(); break;
        case 44: r.code44 = Real(); break;
        case 50: r.code50 = Real(); break;
        case 62: r.color = Int(); break;
        case 67: r.code67 = Int(); break;
        case 60: r.code60 = Int(); break;
        default: Point(r.pt10, code, 10) || Point(r.pt11, code, 11) || Point(r.code210, code, 210); break;
      }
      return true;
    }

    case Kind::Insert: {
      auto& r = Rec<TInsertBlk>();
      switch (code) {
        case 0: Resolve(r.color); EndEntity(); return false;
        case 8: r.layer = Layer(); break;
        case 6: r.ltype = Ltype(); break;
        case 2: decode_.Assign(r.name, value); break;
        case 41: r.scale.x = Real(); break;
        case 42: r.scale.y = Real(); break;
        case 43: r.scale.z = Real(); break;
        case 50: r.rotate = Real(); break;
        case 62: r.color = Int(); break;
        case 67: r.code67 = Int(); break;
        case 66: r.code66 = Int(); break;
        case 60: r.code60 = Int(); break;
        default: Point(r.base, code, 10); break;
      }
      return true;
    }

    case Kind::Face: {
      auto& r = Rec<TFaceBlk>();
      switch (code) {
        case 0: Resolve(r.color); EndEntity(); return false;
        case 8: r.layer = Layer(); break;
        case 6: r.ltype = Ltype(); break;
        case 62: r.color = Int(); break;
        case 70: r.code70 = Int(); break;
        case 67: r.code67 = Int(); break;
        case 60: r.code60 = Int(); break;
        case 13:
          r.pt[3].x = Real();
          r.count = 4;
          break;
        default:
          Point(r.pt[0], code, 10) || Point(r.pt[1], code, 11) || Point(r.pt[2], code, 12) || Point(r.pt[3], code, 13);
          break;
      }
      return true;
    }

    case Kind::Ellipse: {
      auto& r = Rec<TEllipseBlk>();
      switch (code) {
        case 0: Resolve(r.color); EndEntity(); return false;
        case 8: r.layer = Layer(); break;
        case 6: r.ltype = Ltype(); break;
        case 40: r.henpei = Real(); break;
        case 41: r.kaisi = Real(); break;
        case 42: r.owari = Real(); break;
        case 62: r.color = Int(); break;
        case 60: r.code60 = Int(); break;
        default: Point(r.center, code, 10) || Point(r.endpoint, code, 11) || Point(r.code210, code, 210); break;
      }
      return true;
    }

    case Kind::Solid: {
      auto& r = Rec<TSolidBlk>();
      switch (code) {
        case 0: Resolve(r.color); EndEntity(); return false;
        case 8: r.layer = Layer(); break;
        case 6: r.ltype = Ltype(); break;
        case 60: r.code60 = Int(); break;
        default:
          Point(r.p1, code, 10) || Point(r.p2, code, 11) || Point(r.p3, code, 12) || Point(r.p4, code, 13);
          break;
      }
      return true;
    }

    case Kind::Leader: {
      auto& r = Rec<TLeaderBlk>();
      switch (code) {
        case 0: Resolve(r.color); EndEntity(); return false;
        case 8: r.layer = Layer(); return true;
        case 6: r.ltype = Ltype(); return true;
        case 41: r.code41 = Real(); return true;
        case 60: r.code60 = Int(); return true;
        case 76:
          r.code76 = Int();
          leaderVertex_ = 0;
          return true;
        default: break;
      }
      if (leaderVertex_ >= r.code76) {  // every vertex read: the next other group ends it
        Resolve(r.color);
        EndEntity();
        return false;
      }
      if (code == 10 || code == 20 || code == 30) {
        const double d = Real();
        TAcadPoint* p = leaderVertex_ == 0 ? &r.p1 : leaderVertex_ == 1 ? &r.p2 : leaderVertex_ == 2 ? &r.p3 : nullptr;
        if (p) Coord(*p, code / 10 - 1) = d;
        if (code == 30) ++leaderVertex_;
      }
      return true;
    }

    case Kind::Spline: {
      auto& r = Rec<TSplineBlk>();
      switch (code) {
        case 0: Resolve(r.color); EndEntity(); return false;
        case 8: r.layer = Layer(); break;
        case 6: r.ltype = Ltype(); break;
        case 70: r.code70 = Int(); break;
        case 71: r.code71 = Int(); break;
        case 72: r.code72 = Int(); break;
        case 73: r.code73 = Int(); break;
        case 74: r.code74 = Int(); break;
        case 60: r.code60 = Int(); break;
        case 10: r.code10Ary.push_back({Real(), 0, 0}); break;
        case 20:
          if (!r.code10Ary.empty()) r.code10Ary.back().y = Real();
          break;
        case 30:
          if (!r.code10Ary.empty()) r.code10Ary.back().z = Real();
          break;
        case 40: r.code40Ary.push_back(Real()); break;
        case 41: r.code41Ary.push_back(Real()); break;
        default: break;
      }
      return true;
    }

    case Kind::Dimension: {
      auto& r = Rec<TDimensionBlk>();
      switch (code) {
        case 0: Resolve(r.color); EndEntity(); return false;
        case 8: r.layer = Layer(); break;
        case 6: r.ltype = Ltype(); break;
        case 2: decode_.Assign(r.dimblkName, value); break;
        case 40: r.code40 = Real(); break;
        case 50: r.code50 = Real(); break;
        case 51: r.code51 = Real(); break;
        case 70: r.dimtype = Int(); break;
        case 62: r.color = Int(); break;
        case 60: r.code60 = Int(); break;
        default:
          Point(r.p0, code, 10) || Point(r.p1, code, 11) || Point(r.p2, code, 12) || Point(r.p3, code, 13) ||
              Point(r.p4, code, 14) || Point(r.P5, code, 15) || Point(r.P6, code, 16) ||
              Point(r.code210, code, 210);
          break;
      }
      return true;
    }
  }
  return false;
}

void Reader::Finish() {
  if (m_.LayerAry.empty()) {
    TLayer zero;
    zero.Name = u"0";
    m_.LayerAry.push_back(std::move(zero));
  }
  blkLine_.MoveTo(m_.BlkLineAry);
  line_.MoveTo(m_.LineAry);
  blkCircle_.MoveTo(m_.BlkCircleAry);
  circle_.MoveTo(m_.CircleAry);
  blkArc_.MoveTo(m_.BlkArcAry);
  arc_.MoveTo(m_.ArcAry);
  blkLwp_.MoveTo(m_.BlkLwpAry);
  lwp_.MoveTo(m_.LwpAry);
  blkVer_.MoveTo(m_.BlkVerAry);
  ver_.MoveTo(m_.VerAry);
  blkText_.MoveTo(m_.BlkTextAry);
  text_.MoveTo(m_.TextAry);
  blkSolid_.MoveTo(m_.BlkSolidAry);
  solid_.MoveTo(m_.SolidAry);
  blkEllipse_.MoveTo(m_.BlkEllipseAry);
  ellipse_.MoveTo(m_.EllipseAry);
  entInsert_.MoveTo(m_.EntInsertAry);
  face_.MoveTo(m_.FaceAry);
  leader_.MoveTo(m_.LeaderAry);
  spline_.MoveTo(m_.SplineAry);
  dimension_.MoveTo(m_.DimensionAry);
  m_.LayerAry.shrink_to_fit();
  m_.BlockAry.shrink_to_fit();
  m_.ViewAry.shrink_to_fit();
  if (!m_.BlkTextAry.empty()) DecodeUnicodeEscapes(m_.BlkTextAry);
  if (!m_.TextAry.empty()) DecodeUnicodeEscapes(m_.TextAry);
}

std::u16string FileNameOnly(std::u16string_view path) {
  const std::size_t slash = path.find_last_of(u"/\\");
  return std::u16string(slash == std::u16string_view::npos ? path : path.substr(slash + 1));
}

void ReportFileFailure(IDxfReport* report, std::u16string_view message) {
  if (report && report->HasParentWindow()) report->ShowMessage(message, kDxfReportCaption);
}

}  // namespace

long long DxfProgressStep(unsigned long long fileSize) {
  const unsigned long long pairs = fileSize / 1024 * 65 + fileSize % 1024 * 65 / 1024;  // S*65 div 1024
  return static_cast<long long>(pairs / 50 + 1);
}

std::u16string ReadDxfFile(TDrawingModel& model, std::u16string_view fileName, IDxfProgress* progress,
                           IDxfReport* report, std::u16string& status, TextEncoding encoding) {
  status.clear();
  ClearAll(model);
  Reader reader(model, encoding);
  const std::filesystem::path path = PathFromU16(fileName);
  ReadOnlyFile file;
  std::uint64_t size = 0;
  const FileOpenResult opened = IsExistingFile(path) ? file.Open(path) : FileOpenResult::NotFound;
  if (opened == FileOpenResult::Busy) {
    status = kDxfBusyStatus;
    ReportFileFailure(report, kDxfBusyMessage);
  } else if (opened == FileOpenResult::Failed || (opened == FileOpenResult::Ok && !file.Size(size))) {
    status = kDxfErrorStatus;
    ReportFileFailure(report, kDxfFailedMessage);
  } else if (opened == FileOpenResult::Ok) {
    if (progress) {
      progress->SetPosition(0);
      progress->SetMax(50);
    }
    const long long step = DxfProgressStep(size);
    long long t = 0;
    DxfPair pair;  // views into the scanner's buffer
    DxfPairScanner scanner(file);
    try {
      for (;;) {
        const auto r = scanner.Next(pair);
        if (r == DxfPairScanner::Result::End) break;
        ++t;
        if (r == DxfPairScanner::Result::ReadError) {
          pair.code = pair.value = {};
          throw BadValue{};
        }
        if (progress && t % step == 0) progress->SetPosition(progress->Position() + 1);
        reader.Pair(pair.numeric ? pair.number : -999, pair.value);
      }
    } catch (const BadValue&) {
      const std::u16string code = reader.Decode()(pair.code), value = reader.Decode()(pair.value);
      const std::u16string first = IntToStr16(2 * t - 1), second = IntToStr16(2 * t);
      status = first + u":" + code + u"/" + second + u":" + value;
      if (report)
        report->ShowMessage(FileNameOnly(fileName) + u"\n" + first + u" 行=" + code + u"\n" + second + u" 行=" + value,
                            kDxfReportCaption);
    } catch (const std::exception&) {  // out of memory: the file cannot be read as a whole
      status = kDxfErrorStatus;
      ReportFileFailure(report, kDxfFailedMessage);
    }
    file.Close();
  }
  reader.Finish();
  if (progress) progress->SetPosition(0);
  return reader.Version();
}

}  // namespace tesmar
