// The group-code map of every entity kind: which groups each kind takes into which field, and
// how it ends.
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
    case Kind::Ellipse:  // block ellipses are tagged too, as every record of a block table is
      rec_ = &tag(inBlock ? blkEllipse_.Add() : ellipse_.Add());
      break;
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
        case 2: r.name = BlockName(value); break;
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
}  // namespace tesmar::dxfread
