#include "render/decompose.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "render/geometry.h"

namespace tesmar {

namespace {

// IsDefaultExtrusion, answered at once for the exact default that nearly every record has.
bool Flat(const TAcadPoint& n) { return (n.x == 0 && n.y == 0 && n.z == 1) || IsDefaultExtrusion(n); }

// Collects the vertices of one polyline: the run of vertices carrying its ihand, searched from
// the cursor, which then moves to the first vertex after the run.
class VertexCollector {
 public:
  explicit VertexCollector(const std::vector<TLwpVer>& vertices) : vertices_(vertices) {}

  const std::vector<TLwpVer>& Collect(std::int32_t ihand) {
    list_.clear();
    for (std::size_t i = cursor_; i < vertices_.size(); ++i) {
      if (vertices_[i].ihand == ihand) {
        list_.push_back(vertices_[i]);
      } else if (!list_.empty()) {
        cursor_ = i;
        break;
      }
    }
    return list_;
  }

 private:
  const std::vector<TLwpVer>& vertices_;
  std::size_t cursor_ = 0;
  std::vector<TLwpVer> list_;
};

TArcBlk ArcFromBulge(const TLwpBlk& p, const TBulgeArc& a) {
  TArcBlk arc;
  CopyStyleFields(p, arc);
  arc.code210 = TAcadPoint{};
  arc.center = a.center;
  arc.hankei = a.radius;
  arc.st = a.start * kRadToDeg;
  arc.ed = a.end * kRadToDeg;
  return arc;
}

TAcadLineBlk PolylineLine(const TLwpBlk& p, TAcadPoint st, TAcadPoint ed) {
  TAcadLineBlk l = SegmentOf(p, st, ed);
  l.bname = p.bname;
  l.code67 = p.code67;
  return l;
}

// The band that a segment of width w0 at a and w1 at b covers (bulge: an arc), as a ring.
std::vector<TAcadPoint> WideSegment(TAcadPoint a, TAcadPoint b, double bulge, double w0, double w1) {
  std::vector<TAcadPoint> outer, inner;
  if (bulge == 0) {
    const double L = AcadPointDistance(a, b);
    if (!(L > 0)) return {};
    const TAcadPoint n{-(b.y - a.y) / L, (b.x - a.x) / L, 0};
    auto off = [&](TAcadPoint p, double d) { return TAcadPoint{p.x + n.x * d, p.y + n.y * d, p.z}; };
    return {off(a, w0 / 2), off(b, w1 / 2), off(b, -w1 / 2), off(a, -w0 / 2)};
  }
  const TBulgeArc arc = BulgeToArc(a, b, bulge);
  double a0 = arc.start, a1 = arc.end;
  if (a1 < a0) a1 += kTwoPi;
  const int n = std::max(2, static_cast<int>(std::ceil((a1 - a0) / (10 * kDegToRad))));
  for (int i = 0; i <= n; ++i) {
    // Along the arc from a to b: a negative bulge runs clockwise, from the arc's end.
    const double f = static_cast<double>(i) / n;
    const double t = bulge > 0 ? a0 + (a1 - a0) * f : a1 - (a1 - a0) * f;
    const double w = w0 + (w1 - w0) * f;
    outer.push_back(AcadPointPolar(arc.center, t, arc.radius + w / 2));
    inner.push_back(AcadPointPolar(arc.center, t, std::max(0.0, arc.radius - w / 2)));
  }
  outer.insert(outer.end(), inner.rbegin(), inner.rend());
  return outer;
}

// The segments of an ordinary polyline (closing segment included when it is closed).
// `chordLimit` > 0 turns bulge arcs of at most that many degrees into their chords. Segments
// with a width add their band to `fills` when it is given.
void AppendPolylineSegments(const TLwpBlk& p, const std::vector<TLwpVer>& v, double chordLimit, bool copyExtrusion,
                            std::vector<TAcadLineBlk>& lines, std::vector<TArcBlk>& arcs,
                            std::vector<TFillBlk>* fills = nullptr) {
  if (v.size() < 2) return;
  const std::size_t segments = (p.code70 & kPolylineClosed) ? v.size() : v.size() - 1;
  for (std::size_t i = 0; i < segments; ++i) {
    const TAcadPoint a = v[i].code10, b = v[i + 1 == v.size() ? 0 : i + 1].code10;
    const double w0 = v[i].code40 != 0 ? v[i].code40 : p.code43;
    const double w1 = v[i].code41 != 0 ? v[i].code41 : p.code41 != 0 ? p.code41 : p.code43;
    if (fills && (w0 > 0 || w1 > 0) && std::isfinite(w0) && std::isfinite(w1)) {
      std::vector<TAcadPoint> ring = WideSegment(a, b, v[i].code42, w0, w1);
      if (copyExtrusion && !Flat(p.code210))
        for (TAcadPoint& q : ring) q = OcsToWcs(q, p.code210);
      TFillBlk f = FillFrom(PolylineLine(p, a, b));
      AddFillRing(f, ring);
      if (!f.counts.empty()) fills->push_back(std::move(f));
    }
    if (v[i].code42 != 0) {
      const TBulgeArc bulge = BulgeToArc(a, b, v[i].code42);
      TArcBlk arc = ArcFromBulge(p, bulge);
      if (copyExtrusion) arc.code210 = p.code210;
      if (chordLimit > 0) {
        const double sweep = std::fabs((arc.st > arc.ed ? arc.ed + 360 : arc.ed) - arc.st);
        if (sweep <= chordLimit) {
          TAcadLineBlk chord = PolylineLine(p, AcadPointPolar(bulge.center, bulge.start, bulge.radius),
                                            AcadPointPolar(bulge.center, bulge.end, bulge.radius));
          if (copyExtrusion) chord.code210 = p.code210;
          lines.push_back(std::move(chord));
          continue;
        }
      }
      arcs.push_back(std::move(arc));
    } else {
      TAcadLineBlk line = PolylineLine(p, a, b);
      if (copyExtrusion) line.code210 = p.code210;
      lines.push_back(std::move(line));
    }
  }
}

// The lines along M of a 3-D polygon mesh: column n joins vertices n, N + n, 2N + n ...;
// with the closed flag each column returns to its first vertex.
void AppendMeshLines(const TLwpBlk& p, const std::vector<TLwpVer>& v, std::vector<TAcadLineBlk>& lines) {
  const long long M = p.code71, N = p.code72, V = static_cast<long long>(v.size());
  for (long long n = 0; n < N && n < V; ++n) {
    TAcadPoint prev = v[n].code10;
    for (long long m = 1; m < M; ++m) {
      const long long k = m * N + n;
      if (k >= V) continue;
      TAcadLineBlk line = PolylineLine(p, prev, v[k].code10);
      line.code210 = p.code210;
      lines.push_back(std::move(line));
      prev = v[k].code10;
    }
    if (p.code70 & kPolylineClosed) {
      TAcadLineBlk line = PolylineLine(p, prev, v[n].code10);
      line.code210 = p.code210;
      lines.push_back(std::move(line));
    }
  }
}


bool IsMesh(const TLwpBlk& p) { return (p.code70 & (kPolylineMesh | kPolylinePolyface)) != 0; }

}  // namespace

TDecomposeCounts CountDecomposition(const TDrawingModel& m, double step) {
  TDecomposeCounts c;
  // A polyline gives at most one line or arc per vertex and one closing segment; a mesh at
  // most one line per vertex and one closing line per column, each column starting at a vertex.
  bool meshes = false;
  for (const TLwpBlk& p : m.LwpAry) {
    if (p.code60 != 0) continue;
    ++c.lines;
    meshes = meshes || (p.code70 & kPolylineMesh);
  }
  c.lines += m.VerAry.size() * (meshes ? 2 : 1);
  for (const TLwpVer& v : m.VerAry) c.arcs += v.code42 != 0;
  const double stepRad = step * kDegToRad;
  if (stepRad > 0) {
    // Ellipses, tilted arcs and circles: at most one turn in steps of `step`, and one more.
    const std::size_t perTurn = static_cast<std::size_t>(std::ceil(kTwoPi / stepRad)) + 2;
    for (const TEllipseBlk& e : m.EllipseAry) c.lines += (e.code60 == 0) * perTurn;
    for (const TArcBlk& a : m.ArcAry) c.lines += (a.code60 == 0 && !Flat(a.code210)) * perTurn;
    for (const TCircleBlk& k : m.CircleAry) c.lines += (k.code60 == 0 && !Flat(k.code210)) * perTurn;
  }
  for (const TFaceBlk& f : m.FaceAry) c.lines += f.code60 == 0 ? std::clamp<int>(f.count, 0, 4) : 0;
  for (const TLeaderBlk& l : m.LeaderAry) c.lines += (l.code60 == 0) * (std::max<std::size_t>(l.vertices.size(), 3) + 1);
  for (const TSolidBlk& s : m.SolidAry) c.lines += (s.code60 == 0) * 4;
  // Curves: a guess (they take as many chords as their bends ask for).
  for (const TSplineBlk& s : m.SplineAry) c.lines += s.code60 == 0 ? 4 * (s.code10Ary.size() + s.code11Ary.size()) : 0;
  return c;
}

void ExplodeBlockPolylines(TDrawingModel& m) {
  VertexCollector collector(m.BlkVerAry);
  for (const TLwpBlk& p : m.BlkLwpAry) {
    if (p.code60 != 0) continue;
    const std::vector<TLwpVer>& v = collector.Collect(p.ihand);
    if (IsMesh(p)) continue;
    AppendPolylineSegments(p, v, 0, false, m.BlkLineAry, m.BlkArcAry, &m.BlkFillAry);
  }
}

void ExplodePolylines(TDrawingModel& m) {
  VertexCollector collector(m.VerAry);
  for (const TLwpBlk& p : m.LwpAry) {
    if (p.code60 != 0) continue;
    const std::vector<TLwpVer>& v = collector.Collect(p.ihand);
    if (p.code70 & kPolylineMesh) {
      AppendMeshLines(p, v, m.LineAry);
    } else if (!(p.code70 & kPolylinePolyface)) {
      AppendPolylineSegments(p, v, 1.0, true, m.LineAry, m.ArcAry, &m.FillAry);
    }
  }
}

void ExplodeEllipses(TDrawingModel& m, double step) { ExplodeEllipseTable(m.EllipseAry, m.LineAry, step); }

namespace {

// Lines through P(a0), P(a0 + step), ..., P(a0 + n*step) and then P(last), angles in degrees.
template <class Source>
void AppendPolygon(const Source& s, int n, double a0, double step, double last, std::vector<TAcadLineBlk>& lines) {
  auto P = [&](double a) { return AcadPointPolar(s.center, a * kDegToRad, s.hankei); };
  double a = a0;
  TAcadPoint prev = P(a);
  for (int i = 0; i < n; ++i) {
    a += step;
    const TAcadPoint next = P(a);
    TAcadLineBlk line = SegmentOf(s, prev, next);
    line.code210 = s.code210;
    lines.push_back(std::move(line));
    prev = next;
  }
  TAcadLineBlk line = SegmentOf(s, prev, P(last));
  line.code210 = s.code210;
  lines.push_back(std::move(line));
}

}  // namespace

void ExplodeTiltedArcs(TDrawingModel& m, double step, bool all) {
  const double stepRad = step * kDegToRad;
  if (!(stepRad > 0)) return;
  for (TArcBlk& arc : m.ArcAry) {
    if (arc.code60 != 0) continue;
    if (!all && Flat(arc.code210)) continue;
    arc.code67 = -1;
    const double a0 = arc.st * kDegToRad;
    double a1 = arc.ed * kDegToRad;
    if (a0 > a1) a1 += kTwoPi;
    // Angles outside a turn could ask for any number of lines; one turn draws it all.
    const double sweep = std::clamp(a1 - a0, 0.0, kTwoPi);
    if (std::isnan(sweep)) continue;
    const int n = static_cast<int>(std::nearbyint(sweep / stepRad));
    AppendPolygon(arc, n, arc.st, step, arc.ed, m.LineAry);
  }
}

void ExplodeTiltedCircles(TDrawingModel& m, double step, bool all) {
  const double stepRad = step * kDegToRad;
  if (!(stepRad > 0)) return;
  const int n = static_cast<int>(std::nearbyint(kTwoPi / stepRad - 0.5));
  for (TCircleBlk& c : m.CircleAry) {
    if (c.code60 != 0) continue;
    if (!all && Flat(c.code210)) continue;
    c.code67 = -1;
    AppendPolygon(c, n, 0, step, 0, m.LineAry);
  }
}

void LinesToWorld(TDrawingModel& m) {
  for (TAcadLineBlk& l : m.LineAry) {
    if (Flat(l.code210)) continue;
    l.st = OcsToWcs(l.st, l.code210);
    l.ed = OcsToWcs(l.ed, l.code210);
  }
}

void TextsToWorld(TDrawingModel& m) {
  for (TTextBlk& t : m.TextAry) {
    const TAcadPoint n = t.code210;
    if (Flat(n)) continue;
    t.pt10 = OcsToWcs(t.pt10, n);
    t.pt11 = OcsToWcs(t.pt11, n);
    t.code50 += AcadPointAngle(OcsToWcs({0, 0, 0}, n), OcsToWcs({100, 0, 0}, n)) * kRadToDeg;
  }
}

void ExplodeFaces(TDrawingModel& m) { ExplodeFaceRecords(m, false); }

void ExplodeLeaders(TDrawingModel& m) { ExplodeLeaderRecords(m, false, kCurveStepDegrees); }

void ExplodeSolids(TDrawingModel& m) { ExplodeSolidRecords(m.SolidAry, false, m.LineAry, m.FillAry); }

void ExplodeSplines(TDrawingModel& m) { ExplodeSplineRecords(m, false, kCurveStepDegrees); }

}  // namespace tesmar
