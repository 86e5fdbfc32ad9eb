// The group-code map of every entity kind: which groups each kind takes into which field, and
// how it ends; the MLINE and MESH state machines. The HATCH one is in hatch_reader.cpp.
#include <algorithm>

#include "dxf/reader_state.h"

namespace tesmar::dxfread {

void Reader::Start(Kind kind, std::string_view value) {
  const bool inBlock = inBlockBody_ && !m_.BlockAry.empty();
  const TName* bname = inBlock ? &m_.BlockAry.back().name : nullptr;
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
      if (r.mtflag) r.code41 = 0;  // an MTEXT without a reference width is not wrapped
      r.atflag = w_ == Word::Attrib || w_ == Word::Attdef;
      attdef_ = w_ == Word::Attdef;
      rec_ = &r;
      break;
    }
    case Kind::Insert: {
      TInsertBlk& r = inBlock ? m_.BlockAry.back().InsertAry.emplace_back() : entInsert_.Add();
      r.dimBlkName = curBlockName_;
      rec_ = &r;
      tableBody_ = false;
      break;
    }
    case Kind::Face: rec_ = &tag(face_.Add()); break;
    case Kind::Ellipse:  // block ellipses are tagged too, as every record of a block table is
      rec_ = &tag(inBlock ? blkEllipse_.Add() : ellipse_.Add());
      break;
    case Kind::Solid: rec_ = &tag(inBlock ? blkSolid_.Add() : solid_.Add()); break;
    case Kind::Leader:
      rec_ = &tag(leader_.Add());
      leaderVertex_ = -1;
      break;
    case Kind::Spline: rec_ = &tag(spline_.Add()); break;
    case Kind::Point: rec_ = &tag(inBlock ? blkCircle_.Add() : circle_.Add()); break;  // a circle of no radius
    case Kind::Xline: {
      TXlineBlk& r = tag(inBlock ? blkXline_.Add() : xline_.Add());
      r.ray = w_ == Word::Ray;
      rec_ = &r;
      break;
    }
    case Kind::Hatch:
      rec_ = &tag(hatch_.Add());
      hatchState_ = 0;
      hatchPathEdges_ = 0;
      break;
    case Kind::Mline:
      rec_ = &tag(mline_.Add());
      mlineElement_ = -1;
      break;
    case Kind::Proxy: rec_ = &tag(proxy_.Add()); break;
    case Kind::Mesh:
      rec_ = &tag(mesh_.Add());
      meshState_ = 0;
      meshLeft_ = 0;
      break;
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
        case 43: r.code43 = Real(); break;
        case 40:
        case 41:
          if (!lw) {  // the header's default widths
            (code == 40 ? r.code43 : r.code41) = Real();
            break;
          }
          [[fallthrough]];
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
            TLwpVer& v = table.Back();
            if (code == 20) v.code10.y = Real();
            else if (code == 42) v.code42 = Real();
            else (code == 40 ? v.code40 : v.code41) = static_cast<float>(Real());
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
        case 3:
          if (!attdef_) decode_.Append(r.str.Mutable(), value);  // a definition's 1 and 3 are its default and prompt
          break;
        case 2:
          if (attdef_) decode_.Assign(r.str.Mutable(), value);  // the tag, which the drawing shows
          break;
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
      if (code == 100 && value == "AcDbTable") tableBody_ = true;  // a table's own groups follow
      if (tableBody_ && code != 0) return true;
      switch (code) {
        case 0: Resolve(r.color); EndEntity(); return false;
        case 8: r.layer = Layer(); break;
        case 6: r.ltype = Ltype(); break;
        case 2: r.name = BlockName(value); break;
        case 41: r.scale.x = Real(); break;
        case 42: r.scale.y = Real(); break;
        case 43: r.scale.z = Real(); break;
        case 50: r.rotate = Real(); break;
        case 62: r.color = Int(); break;
        case 67: r.code67 = Int(); break;
        case 66: r.code66 = Int(); break;
        case 60: r.code60 = Int(); break;
        case 70: r.columns = Int(); break;
        case 71: r.rows = Int(); break;
        case 44: r.columnSpacing = Real(); break;
        case 45: r.rowSpacing = Real(); break;
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
        case 0:
          if (!r.p4Given) r.p4 = r.p3;
          Resolve(r.color);
          EndEntity();
          return false;
        case 8: r.layer = Layer(); break;
        case 6: r.ltype = Ltype(); break;
        case 60: r.code60 = Int(); break;
        case 62: r.color = Int(); break;
        case 67: r.code67 = Int(); break;
        case 13:
        case 23:
        case 33: r.p4Given = true; [[fallthrough]];
        default:
          Point(r.p1, code, 10) || Point(r.p2, code, 11) || Point(r.p3, code, 12) || Point(r.p4, code, 13) ||
              Point(r.code210, code, 210);
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
        case 62: r.color = Int(); return true;
        case 72: r.code72 = Int(); return true;
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
        if (code == 10) r.vertices.emplace_back();
        if (!r.vertices.empty()) Coord(r.vertices.back(), code / 10 - 1) = d;
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
        case 62: r.color = Int(); break;
        case 11: r.code11Ary.push_back({Real(), 0, 0}); break;
        case 21:
          if (!r.code11Ary.empty()) r.code11Ary.back().y = Real();
          break;
        case 31:
          if (!r.code11Ary.empty()) r.code11Ary.back().z = Real();
          break;
        default: break;
      }
      return true;
    }

    case Kind::Point: {
      auto& r = Rec<TCircleBlk>();
      if (CommonPair(r, code)) return code != 0;
      Point(r.center, code, 10);
      return true;
    }

    case Kind::Xline: {
      auto& r = Rec<TXlineBlk>();
      if (CommonPair(r, code)) return code != 0;
      Point(r.base, code, 10) || Point(r.dir, code, 11);
      return true;
    }

    case Kind::Hatch: {
      auto& r = Rec<THatchBlk>();
      if (CommonPair(r, code)) return code != 0;
      return HatchPair(r, code);
    }

    case Kind::Mline: {
      auto& r = Rec<TMlineBlk>();
      if (CommonPair(r, code)) return code != 0;
      return MlinePair(r, code);
    }

    case Kind::Proxy: {
      auto& r = Rec<TProxyBlk>();
      if (CommonPair(r, code)) return code != 0;
      if ((code == 92 || code == 160) && r.code92 < 0) {  // 160 in newer files
        r.code92 = std::max<std::int32_t>(0, Int32());
      } else if (code == 310 && r.code92 > 0 && r.graphics.size() < static_cast<std::size_t>(r.code92)) {
        // Hex digits, two per byte; a pair that is not hex ends the read.
        auto digit = [](char c) -> int {
          if (c >= '0' && c <= '9') return c - '0';
          if (c >= 'A' && c <= 'F') return c - 'A' + 10;
          if (c >= 'a' && c <= 'f') return c - 'a' + 10;
          return -1;
        };
        for (std::size_t i = 0; i + 1 < value.size(); i += 2) {
          const int hi = digit(value[i]), lo = digit(value[i + 1]);
          if (hi < 0 || lo < 0) throw BadValue{};
          r.graphics.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
        }
      }
      return true;
    }

    case Kind::Mesh: {
      auto& r = Rec<TMeshBlk>();
      if (CommonPair(r, code)) return code != 0;
      return MeshPair(r, code);
    }

    case Kind::Dimension: {
      auto& r = Rec<TDimensionBlk>();
      switch (code) {
        case 0: Resolve(r.color); EndEntity(); return false;
        case 8: r.layer = Layer(); break;
        case 6: r.ltype = Ltype(); break;
        case 2: r.dimblkName = BlockName(value); break;
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

// MLINE groups: per vertex 11 (the vertex), 12 (direction), 13 (miter), then per element 74
// parameters in 41 (the first is the distance along the miter) and 75 fill parameters in 42.
bool Reader::MlinePair(TMlineBlk& r, int code) {
  switch (code) {
    case 71: r.code71 = Int(); break;
    case 73: r.code73 = Int(); break;
    case 11:
      r.vertices.push_back({Real(), 0, 0});
      r.miters.emplace_back();
      mlineElement_ = -1;
      break;
    case 21:
    case 31:
      if (!r.vertices.empty()) Coord(r.vertices.back(), code == 21 ? 1 : 2) = Real();
      break;
    case 13:
    case 23:
    case 33:
      if (!r.miters.empty()) Coord(r.miters.back(), code / 10 - 1) = Real();
      break;
    case 74:
      if (r.vertices.empty()) break;
      ++mlineElement_;
      r.offsets.push_back(0);
      mlineFirstParam_ = true;
      break;
    case 41:
      if (mlineFirstParam_ && !r.offsets.empty()) r.offsets.back() = Real();
      mlineFirstParam_ = false;
      break;
    default: break;
  }
  return true;
}

// MESH groups: 92 the vertex count and the vertices in 10, 93 the size of the face list and the
// list in 90; later 90 groups (edges, creases) are not read.
bool Reader::MeshPair(TMeshBlk& r, int code) {
  switch (code) {
    case 92:
      meshState_ = 1;
      break;
    case 10:
      if (meshState_ == 1) r.vertices.push_back({Real(), 0, 0});
      break;
    case 20:
    case 30:
      if (meshState_ == 1 && !r.vertices.empty()) Coord(r.vertices.back(), code / 10 - 1) = Real();
      break;
    case 93:
      meshState_ = 2;
      meshLeft_ = Int32();
      break;
    case 90:
      if (meshState_ == 2 && meshLeft_ > 0) {
        r.faces.push_back(Int32());
        if (--meshLeft_ == 0) meshState_ = 0;
      }
      break;
    case 94: meshState_ = 0; break;
    default: break;
  }
  return true;
}

}  // namespace tesmar::dxfread
