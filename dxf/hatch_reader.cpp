// The HATCH reader: the state machine that takes a hatch's boundary paths, pattern lines and
// seed points after its common groups.
#include "dxf/reader_state.h"

namespace tesmar::dxfread {

// The groups of a HATCH after its common ones. Codes repeat with other meanings in each part,
// so the state says where the reader stands: 0 before the paths, 1 between paths, 2 in a
// polyline path, 3 in a path of edges, 4 the pattern, 5 the seed points.
bool Reader::HatchPair(THatchBlk& r, int code) {
  enum { kHead, kPaths, kPolyline, kEdges, kPattern, kSeeds };
  auto edge = [&]() -> THatchEdge* {
    if (r.paths.empty() || r.paths.back().edges.empty()) return nullptr;
    return &r.paths.back().edges.back();
  };
  if (hatchState_ >= kPaths && hatchState_ <= kEdges && (code == 75 || code == 76)) hatchState_ = kPattern;
  switch (hatchState_) {
    case kHead:
      switch (code) {
        case 70: r.code70 = Int(); break;
        case 30: r.elevation = Real(); break;
        case 91: hatchState_ = kPaths; break;
        default: Point(r.code210, code, 210); break;
      }
      return true;
    case kPaths:
    case kPolyline:
    case kEdges:
      if (code == 92) {
        THatchPath& path = r.paths.emplace_back();
        path.flags = Int();
        hatchState_ = (path.flags & 2) ? kPolyline : kEdges;
        return true;
      }
      if (r.paths.empty()) return true;
      if (hatchState_ == kPolyline) {
        THatchPath& path = r.paths.back();
        switch (code) {
          case 73: path.closed = Int() != 0; break;
          case 10: path.edges.emplace_back().p1.x = Real(); break;
          case 20:
            if (THatchEdge* e = edge()) e->p1.y = Real();
            break;
          case 42:
            if (THatchEdge* e = edge()) e->bulge = Real();
            break;
          default: break;
        }
        return true;
      }
      if (hatchState_ == kEdges) {
        if (code == 72) {
          r.paths.back().edges.emplace_back().type = Int();
          return true;
        }
        THatchEdge* e = edge();
        if (!e) return true;
        if (e->type == 4) {
          switch (code) {
            case 94: e->degree = Int(); break;
            case 40: e->knots.push_back(Real()); break;
            case 42: e->weights.push_back(Real()); break;
            case 10: e->control.push_back({Real(), 0, 0}); break;
            case 20:
              if (!e->control.empty()) e->control.back().y = Real();
              break;
            case 11: e->fit.push_back({Real(), 0, 0}); break;
            case 21:
              if (!e->fit.empty()) e->fit.back().y = Real();
              break;
            default: break;
          }
          return true;
        }
        switch (code) {
          case 40: e->r = Real(); break;
          case 50: e->a0 = Real(); break;
          case 51: e->a1 = Real(); break;
          case 73: e->ccw = Int() != 0; break;
          default: Point(e->p1, code, 10) || Point(e->p2, code, 11); break;
        }
      }
      return true;
    case kPattern:
      switch (code) {
        case 53: r.lines.emplace_back().angle = Real(); break;
        case 43:
        case 44:
        case 45:
        case 46:
          if (!r.lines.empty()) {
            THatchLine& l = r.lines.back();
            (code == 43 ? l.base.x : code == 44 ? l.base.y : code == 45 ? l.offset.x : l.offset.y) = Real();
          }
          break;
        case 49:
          if (!r.lines.empty()) r.lines.back().dashes.push_back(Real());
          break;
        case 98: hatchState_ = kSeeds; break;
        default: break;
      }
      return true;
    default: return true;
  }
}

}  // namespace tesmar::dxfread
