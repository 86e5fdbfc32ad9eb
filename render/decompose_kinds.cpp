// The decomposition of the kinds that are more than lines, circles, arcs and texts: splines,
// leaders, solids and traces, hatches, multilines, meshes and the ellipses of blocks. Records
// of a block (`bname` set) go to the Blk tables, in block coordinates, for the expansion to
// place; the others to the drawing tables.
#include <algorithm>
#include <cmath>
#include <vector>

#include "render/curves.h"
#include "render/decompose.h"
#include "render/geometry.h"

namespace tesmar {

namespace {

// Where the records made from one source go.
struct Sink {
  std::vector<TAcadLineBlk>& lines;
  std::vector<TFillBlk>& fills;
};

Sink SinkFor(TDrawingModel& m, bool block) {
  return block ? Sink{m.BlkLineAry, m.BlkFillAry} : Sink{m.LineAry, m.FillAry};
}

// A line from a to b with the source's layer, linetype, colour, block and space.
template <class Source>
TAcadLineBlk NamedLine(const Source& s, TAcadPoint a, TAcadPoint b) {
  TAcadLineBlk l = SegmentOf(s, a, b);
  l.bname = s.bname;
  if constexpr (requires { s.code67; }) l.code67 = s.code67;
  return l;
}

template <class Source>
void AddLine(const Source& s, TAcadPoint a, TAcadPoint b, std::vector<TAcadLineBlk>& lines) {
  lines.push_back(NamedLine(s, a, b));
}

template <class Source>
void AddPolyline(const Source& s, const std::vector<TAcadPoint>& pts, bool closed, std::vector<TAcadLineBlk>& lines) {
  for (std::size_t i = 0; i + 1 < pts.size(); ++i) AddLine(s, pts[i], pts[i + 1], lines);
  if (closed && pts.size() > 2) AddLine(s, pts.back(), pts.front(), lines);
}

// Which records a pass takes: those of blocks, or those of the drawing.
template <class Record>
bool Takes(const Record& r, bool blocks) {
  return r.code60 == 0 && r.bname.empty() != blocks;
}

TAcadPoint ToWorld(TAcadPoint p, TAcadPoint extrusion) {
  return IsDefaultExtrusion(extrusion) ? p : OcsToWcs(p, extrusion);
}

// Points of the arc about c from a0 to a1 (radians, a1 > a0 counter-clockwise), `step` degrees
// apart at most, ends included.
void ArcPoints(TAcadPoint c, double r, double a0, double a1, double step, std::vector<TAcadPoint>& out) {
  const double sweep = std::clamp(a1 - a0, 0.0, kTwoPi);
  const int n = std::max(1, static_cast<int>(std::ceil(sweep / (step * kDegToRad))));
  for (int i = 0; i <= n; ++i) out.push_back(AcadPointPolar(c, a0 + sweep * i / n, r));
}

}  // namespace

TFillBlk FillFrom(const TAcadLineBlk& style) {
  TFillBlk f;
  CopyStyleFields(style, f);
  return f;
}

void AddFillRing(TFillBlk& f, const std::vector<TAcadPoint>& ring) {
  if (ring.size() < 3) return;
  f.pts.insert(f.pts.end(), ring.begin(), ring.end());
  f.counts.push_back(static_cast<std::uint32_t>(ring.size()));
}

void ExplodeEllipseTable(const std::vector<TEllipseBlk>& table, std::vector<TAcadLineBlk>& lines, double step) {
  const double stepRad = step * kDegToRad;
  if (!(stepRad > 0)) return;
  for (const TEllipseBlk& e : table) {
    if (e.code60 != 0) continue;
    const TAcadPoint& ep = e.endpoint;
    const double R = std::sqrt(ep.x * ep.x + ep.y * ep.y + ep.z * ep.z);
    // A major axis of no length has no direction: nothing to draw.
    if (!(R > 0) || !std::isfinite(R)) continue;
    const TAcadPoint U{ep.x / R, ep.y / R, ep.z / R};
    const TAcadPoint V = AcadPointCross(e.code210, U);
    auto point = [&](double t) {
      const TAcadPoint c = AcadPointPolar({0, 0, 0}, t, R);
      const double v = c.y * e.henpei;
      return TAcadPoint{e.center.x + U.x * c.x + V.x * v, e.center.y + U.y * c.x + V.y * v,
                        e.center.z + U.z * c.x + V.z * v};
    };
    const double t0 = e.kaisi;
    // More than one turn would only retrace the curve; a huge parameter range must not run
    // for ever.
    const double t1 = std::min(e.owari, t0 + kTwoPi);
    TAcadPoint prev = point(t0);
    double t = t0;
    while (t < t1) {
      const double next = t + stepRad;
      if (next <= t) break;  // a parameter so large that the step no longer moves it
      t = next > t1 ? t1 : next;
      const TAcadPoint p = point(t);
      if (!AcadPointSame(prev, p, 1e-5)) {
        TAcadLineBlk line = SegmentOf(e, prev, p);
        line.bname = e.bname;
        line.code210 = kDefaultExtrusion;
        lines.push_back(std::move(line));
      }
      prev = p;
    }
  }
}

void ExplodeSplineRecords(TDrawingModel& m, bool blocks, double step) {
  Sink out = SinkFor(m, blocks);
  for (const TSplineBlk& s : m.SplineAry) {
    if (!Takes(s, blocks)) continue;
    AddPolyline(s, SplinePolyline(s, step), false, out.lines);
  }
}

void ExplodeLeaderRecords(TDrawingModel& m, bool blocks, double step) {
  Sink out = SinkFor(m, blocks);
  for (const TLeaderBlk& l : m.LeaderAry) {
    if (!Takes(l, blocks) || l.code76 < 2) continue;
    std::vector<TAcadPoint> pts = l.vertices;
    if (pts.size() < 2) pts = l.code76 > 2 ? std::vector<TAcadPoint>{l.p1, l.p2, l.p3} : std::vector<TAcadPoint>{l.p1, l.p2};
    if (l.code72 == 1 && pts.size() > 2) pts = FitPolyline(pts, step);
    AddPolyline(l, pts, false, out.lines);
    if (l.code41 != 0) AddLine(l, pts.back(), AcadPointPolar(pts.back(), 0, l.code41), out.lines);
  }
}

void ExplodeSolidRecords(const std::vector<TSolidBlk>& table, bool blocks, std::vector<TAcadLineBlk>& lines,
                         std::vector<TFillBlk>& fills) {
  Sink out{lines, fills};
  for (const TSolidBlk& s : table) {
    if (s.code60 != 0 || s.bname.empty() == blocks) continue;
    std::vector<TAcadPoint> ring;
    for (const TAcadPoint& p : {s.p1, s.p2, s.p4Given ? s.p4 : s.p3, s.p3}) {
      const TAcadPoint w = ToWorld(p, s.code210);
      if (ring.empty() || !(ring.back() == w)) ring.push_back(w);
    }
    if (ring.size() > 1 && ring.back() == ring.front()) ring.pop_back();
    // The outline draws what a fill too thin for a pixel row leaves out, and is what a pick
    // measures.
    for (std::size_t i = 0; i < ring.size() && ring.size() > 1; ++i) {
      if (ring.size() == 2 && i == 1) break;
      AddLine(s, ring[i], ring[(i + 1) % ring.size()], out.lines);
    }
    if (ring.size() < 3) continue;
    TFillBlk f = FillFrom(NamedLine(s, {}, {}));
    AddFillRing(f, ring);
    out.fills.push_back(std::move(f));
  }
}

void ExplodeFaceRecords(TDrawingModel& m, bool blocks) {
  Sink out = SinkFor(m, blocks);
  for (const TFaceBlk& f : m.FaceAry) {
    if (f.code60 != 0 || f.count <= 0 || f.bname.empty() == blocks) continue;
    const int count = std::min<int>(f.count, static_cast<int>(f.pt.size()));
    for (int j = 0; j < count; ++j) {
      TAcadLineBlk line = SegmentOf(f, f.pt[j], f.pt[(j + 1) % count]);
      line.bname = f.bname;
      line.code67 = f.code67;
      out.lines.push_back(std::move(line));
    }
  }
}

namespace {

// The closed rings of a hatch's boundary paths, in world coordinates.
std::vector<std::vector<TAcadPoint>> HatchRings(const THatchBlk& h, double step) {
  std::vector<std::vector<TAcadPoint>> rings;
  for (const THatchPath& path : h.paths) {
    std::vector<TAcadPoint> ring;
    auto add = [&](TAcadPoint p) {
      p.z = h.elevation;
      if (ring.empty() || !AcadPointSame(ring.back(), p, 1e-12)) ring.push_back(p);
    };
    const std::size_t n = path.edges.size();
    for (std::size_t i = 0; i < n; ++i) {
      const THatchEdge& e = path.edges[i];
      switch (e.type) {
        case 0: {  // polyline vertex
          add(e.p1);
          if (e.bulge != 0 && (i + 1 < n || path.closed)) {
            const TAcadPoint next = path.edges[(i + 1) % n].p1;
            const TBulgeArc a = BulgeToArc(e.p1, next, e.bulge);
            std::vector<TAcadPoint> arc;
            double a0 = a.start, a1 = a.end;
            if (a1 < a0) a1 += kTwoPi;
            ArcPoints(a.center, a.radius, a0, a1, step, arc);
            if (e.bulge < 0) std::reverse(arc.begin(), arc.end());
            for (const TAcadPoint& p : arc) add(p);
          }
          break;
        }
        case 1:
          add(e.p1);
          add(e.p2);
          break;
        case 2:
        case 3: {
          // Clockwise edges keep their angles in the mirrored sense.
          double a0 = e.a0, a1 = e.a1;
          if (a1 < a0) a1 += 360;
          if (a1 - a0 > 360) a1 = a0 + 360;
          const double sign = e.ccw ? 1 : -1;
          const double R = e.type == 2 ? e.r : std::hypot(e.p2.x, e.p2.y);
          const double ratio = e.type == 2 ? 1 : e.r;
          const double rot = e.type == 2 ? 0 : std::atan2(e.p2.y, e.p2.x);
          const int pieces = std::max(1, static_cast<int>(std::ceil((a1 - a0) / step)));
          for (int k = 0; k <= pieces; ++k) {
            const double t = sign * (a0 + (a1 - a0) * k / pieces) * kDegToRad;
            const TAcadPoint local{R * std::cos(t), R * ratio * std::sin(t), 0};
            const TAcadPoint r = AcadPointRotateCcw(local, rot);
            add({e.p1.x + r.x, e.p1.y + r.y, 0});
          }
          break;
        }
        case 4: {
          const std::vector<TAcadPoint> pts = e.control.size() >= 2
                                                  ? NurbsPolyline(e.degree, e.knots, e.control, e.weights, step)
                                                  : FitPolyline(e.fit, step);
          for (const TAcadPoint& p : pts) add(p);
          break;
        }
        default: break;
      }
    }
    if (ring.size() > 1 && AcadPointSame(ring.back(), ring.front(), 1e-12)) ring.pop_back();
    if (ring.size() < 3) continue;
    for (TAcadPoint& p : ring) p = ToWorld(p, h.code210);
    rings.push_back(std::move(ring));
  }
  return rings;
}

// Rows numbered beyond this from the pattern's base point are no longer whole numbers apart
// (nor is the base point itself held to better than a row): such rows are counted from the
// corner of the boundary's box instead.
constexpr double kFarthestRow = 1e15;

// The pattern lines of a hatch cut to its rings (even-odd), in object coordinates of the hatch.
// Each row, and each dash, is a step of the budget, and each segment one of its records.
void PatternLines(const THatchBlk& h, const std::vector<std::vector<TAcadPoint>>& ocsRings,
                  std::vector<std::pair<TAcadPoint, TAcadPoint>>& out, TWorkBudget& budget) {
  double minx = INFINITY, miny = INFINITY, maxx = -INFINITY, maxy = -INFINITY;
  std::size_t edges = 0;
  for (const auto& ring : ocsRings) {
    edges += ring.size();
    for (const TAcadPoint& p : ring) minx = std::min(minx, p.x), maxx = std::max(maxx, p.x), miny = std::min(miny, p.y), maxy = std::max(maxy, p.y);
  }
  if (!(minx <= maxx)) return;
  std::vector<double> ts;
  for (const THatchLine& line : h.lines) {
    const double a = line.angle * kDegToRad;
    const TAcadPoint u{std::cos(a), std::sin(a), 0}, n{-std::sin(a), std::cos(a), 0};
    const double spacing = line.offset.x * n.x + line.offset.y * n.y;
    if (!(std::fabs(spacing) > 0) || !std::isfinite(spacing)) continue;
    const double shift = line.offset.x * u.x + line.offset.y * u.y;
    // The rows that can meet the boundary's box.
    TAcadPoint base = line.base;
    double lo = INFINITY, hi = -INFINITY;
    auto rows = [&] {
      lo = INFINITY, hi = -INFINITY;
      for (const TAcadPoint& c : {TAcadPoint{minx, miny, 0}, TAcadPoint{maxx, miny, 0}, TAcadPoint{minx, maxy, 0}, TAcadPoint{maxx, maxy, 0}}) {
        const double d = ((c.x - base.x) * n.x + (c.y - base.y) * n.y) / spacing;
        lo = std::min(lo, d), hi = std::max(hi, d);
      }
    };
    rows();
    if (!(std::fabs(lo) < kFarthestRow && std::fabs(hi) < kFarthestRow)) {
      base = TAcadPoint{minx, miny, 0};
      rows();
      if (!(std::fabs(lo) < kFarthestRow && std::fabs(hi) < kFarthestRow)) continue;
    }
    double dashLength = 0;
    for (double d : line.dashes) dashLength += std::fabs(d);
    const bool dashed = !line.dashes.empty() && dashLength > 0 && std::isfinite(dashLength);
    for (auto k = static_cast<long long>(std::floor(lo)), last = static_cast<long long>(std::ceil(hi)); k <= last; ++k) {
      if (!budget.Step(edges + 1)) return;
      const double row = static_cast<double>(k);
      const TAcadPoint o{base.x + row * line.offset.x, base.y + row * line.offset.y, 0};
      // Crossings of the row with the ring edges, as parameters along u from o.
      ts.clear();
      for (const auto& ring : ocsRings) {
        for (std::size_t i = 0; i < ring.size(); ++i) {
          const TAcadPoint& p = ring[i];
          const TAcadPoint& q = ring[(i + 1) % ring.size()];
          const double dp = (p.x - o.x) * n.x + (p.y - o.y) * n.y, dq = (q.x - o.x) * n.x + (q.y - o.y) * n.y;
          if ((dp > 0) == (dq > 0)) continue;
          const double f = dp / (dp - dq);
          const TAcadPoint x{p.x + (q.x - p.x) * f, p.y + (q.y - p.y) * f, 0};
          ts.push_back((x.x - o.x) * u.x + (x.y - o.y) * u.y);
        }
      }
      std::sort(ts.begin(), ts.end());
      auto at = [&](double t) { return TAcadPoint{o.x + u.x * t, o.y + u.y * t, 0}; };
      auto add = [&](double t0, double t1) {
        if (!budget.TakeRecords(1)) return false;
        out.emplace_back(at(t0), at(t1));
        return true;
      };
      for (std::size_t i = 0; i + 1 < ts.size(); i += 2) {
        const double t0 = ts[i], t1 = ts[i + 1];
        if (!dashed) {
          if (!add(t0, t1)) return;
          continue;
        }
        // The dashes start at the row's origin, moved along the row by `shift` per row.
        const double start = std::fmod(row * shift, dashLength);
        double t = start + std::floor((t0 - start) / dashLength) * dashLength;
        while (t < t1) {
          for (double d : line.dashes) {
            if (!budget.Step()) return;
            const double len = std::fabs(d);
            if (d >= 0) {
              const double a0 = std::max(t, t0), a1 = std::min(t + len, t1);
              if ((a1 > a0 || (len == 0 && t >= t0 && t <= t1)) && !add(a0, std::max(a0, a1))) return;
            }
            t += len;
            if (t >= t1) break;
          }
        }
      }
    }
  }
}

}  // namespace

void ExplodeHatchRecords(TDrawingModel& m, bool blocks, double step) {
  TWorkBudget budget;
  ExplodeHatchRecords(m, blocks, step, budget);
}

void ExplodeHatchRecords(TDrawingModel& m, bool blocks, double step, TWorkBudget& budget) {
  Sink out = SinkFor(m, blocks);
  for (const THatchBlk& h : m.HatchAry) {
    if (!Takes(h, blocks)) continue;
    const TAcadPoint flat{0, 0, 1};
    THatchBlk ocs = h;
    ocs.code210 = flat;
    const std::vector<std::vector<TAcadPoint>> ocsRings = HatchRings(ocs, step);
    if (ocsRings.empty()) continue;
    if (h.code70 & 1) {
      TFillBlk f = FillFrom(NamedLine(h, {}, {}));
      for (const auto& ring : ocsRings) {
        std::vector<TAcadPoint> world = ring;
        for (TAcadPoint& p : world) p = ToWorld(p, h.code210);
        AddFillRing(f, world);
        AddPolyline(h, world, true, out.lines);
      }
      out.fills.push_back(std::move(f));
      continue;
    }
    std::vector<std::pair<TAcadPoint, TAcadPoint>> segments;
    PatternLines(h, ocsRings, segments, budget);
    for (auto& [a, b] : segments) {
      budget.Tick();
      TAcadPoint p = a, q = b;
      p.z = q.z = h.elevation;
      AddLine(h, ToWorld(p, h.code210), ToWorld(q, h.code210), out.lines);
    }
  }
  if (budget.Cut()) m.expansionCut = true;
}

void ExplodeMlineRecords(TDrawingModel& m, bool blocks) {
  Sink out = SinkFor(m, blocks);
  for (const TMlineBlk& ml : m.MlineAry) {
    if (!Takes(ml, blocks) || ml.vertices.size() < 2) continue;
    const std::size_t nv = ml.vertices.size();
    const std::size_t elements = ml.offsets.size() / nv;
    if (elements == 0 || ml.offsets.size() != elements * nv) continue;
    for (std::size_t e = 0; e < elements; ++e) {
      std::vector<TAcadPoint> pts;
      for (std::size_t v = 0; v < nv; ++v) {
        const double d = ml.offsets[v * elements + e];
        const TAcadPoint& p = ml.vertices[v];
        const TAcadPoint& mi = ml.miters[v];
        pts.push_back({p.x + mi.x * d, p.y + mi.y * d, p.z + mi.z * d});
      }
      AddPolyline(ml, pts, (ml.code71 & 2) != 0, out.lines);
    }
  }
}

void ExplodeMeshRecords(TDrawingModel& m, bool blocks) {
  Sink out = SinkFor(m, blocks);
  for (const TMeshBlk& mesh : m.MeshAry) {
    if (!Takes(mesh, blocks)) continue;
    const std::size_t nv = mesh.vertices.size();
    for (std::size_t i = 0; i < mesh.faces.size();) {
      const std::int32_t count = mesh.faces[i];
      if (count <= 0 || i + 1 + static_cast<std::size_t>(count) > mesh.faces.size()) break;
      for (std::int32_t j = 0; j < count; ++j) {
        const std::int32_t a = mesh.faces[i + 1 + j], b = mesh.faces[i + 1 + (j + 1) % count];
        if (a < 0 || b < 0 || static_cast<std::size_t>(a) >= nv || static_cast<std::size_t>(b) >= nv) continue;
        AddLine(mesh, mesh.vertices[a], mesh.vertices[b], out.lines);
      }
      i += 1 + count;
    }
  }
}

void ExplodeBlockKinds(TDrawingModel& m, double step) {
  TWorkBudget budget;
  ExplodeBlockKinds(m, step, budget);
}

void ExplodeBlockKinds(TDrawingModel& m, double step, TWorkBudget& budget) {
  ExplodeEllipseTable(m.BlkEllipseAry, m.BlkLineAry, step);
  ExplodeSplineRecords(m, true, step);
  ExplodeLeaderRecords(m, true, step);
  ExplodeSolidRecords(m.BlkSolidAry, true, m.BlkLineAry, m.BlkFillAry);
  ExplodeFaceRecords(m, true);
  ExplodeHatchRecords(m, true, step, budget);
  ExplodeMlineRecords(m, true);
  ExplodeMeshRecords(m, true);
  ExplodeProxyRecords(m, true, step);
}

}  // namespace tesmar
