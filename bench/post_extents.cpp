// Checks the post-processed extents against a bounding box computed independently: each DXF
// file is read a second time with dxflib, every block is expanded with a full affine
// transform (any nesting depth, mirroring, extrusion), arcs and ellipses are sampled densely,
// and the box of what the viewer draws (lines, circles, arcs, polylines, ellipses, faces,
// solids' first three corners, planar splines' control points, leaders' vertices, dimension
// blocks; no texts) is compared with the one of `tesmar-tool stat`'s post-processing.
// Usage: bench_post_extents FILE.dxf...
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "base/strings.h"
#include "dxf/probe.h"
#include "dxf/reader.h"
#include "render/postprocess.h"

#ifdef TESMAR_HAVE_DXFLIB
#include <dl_creationadapter.h>
#include <dl_dxf.h>

namespace {

constexpr double kPi = 3.14159265358979323846;

struct P3 {
  double x = 0, y = 0, z = 0;
};
P3 operator+(P3 a, P3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
P3 operator*(P3 a, double k) { return {a.x * k, a.y * k, a.z * k}; }
P3 Cross(P3 a, P3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
P3 Unit(P3 a) {
  const double l = std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
  return l > 0 ? a * (1 / l) : a;
}

// Affine map: columns c[0..2] and translation t.
struct Xf {
  P3 c[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  P3 t;
  P3 Apply(P3 p) const { return c[0] * p.x + c[1] * p.y + c[2] * p.z + t; }
  Xf Then(const Xf& outer) const {  // outer after this
    Xf r;
    for (int i = 0; i < 3; ++i) r.c[i] = outer.Apply(c[i]) + outer.t * -1;
    r.t = outer.Apply(t);
    return r;
  }
};

// Object coordinates of extrusion n to world coordinates (the arbitrary axis rule).
Xf Ocs(P3 n) {
  n = Unit(n);
  const P3 ax = (std::fabs(n.x) < 1.0 / 64 && std::fabs(n.y) < 1.0 / 64) ? Unit(Cross({0, 1, 0}, n)) : Unit(Cross({0, 0, 1}, n));
  const P3 ay = Unit(Cross(n, ax));
  Xf x;
  x.c[0] = ax, x.c[1] = ay, x.c[2] = n;
  return x;
}

struct Shape {
  std::string layer;
  int color = 256;
  std::vector<P3> points;
};

struct InsertRef {
  std::string name, layer;
  int color = 256;
  Xf place;  // block coordinates (relative to nothing yet) to the container's
};

struct Container {
  P3 base;
  std::vector<Shape> shapes;
  std::vector<InsertRef> inserts;
};

class Collector : public DL_CreationAdapter {
 public:
  std::map<std::string, Container> blocks;
  Container model;
  std::map<std::string, bool> layerHidden;
  int dimensions = 0;

  void addLayer(const DL_LayerData& d) override {
    layerHidden[d.name] = (d.flags & 1) || attributes.getColor() < 0;
  }
  void addBlock(const DL_BlockData& d) override {
    current_ = &blocks[d.name];
    current_->base = {d.bpx, d.bpy, d.bpz};
  }
  void endBlock() override { current_ = nullptr; }

  void addLine(const DL_LineData& d) override { Add({{d.x1, d.y1, d.z1}, {d.x2, d.y2, d.z2}}, false); }
  void addCircle(const DL_CircleData& d) override { Add(ArcPoints({d.cx, d.cy, d.cz}, d.radius, 0, 360), true); }
  void addArc(const DL_ArcData& d) override {
    double a1 = d.angle2;
    while (a1 <= d.angle1) a1 += 360;
    Add(ArcPoints({d.cx, d.cy, d.cz}, d.radius, d.angle1, a1), true);
  }
  void addEllipse(const DL_EllipseData& d) override {
    const P3 c{d.cx, d.cy, d.cz}, major{d.mx, d.my, d.mz};
    const P3 minor = Cross(Unit(Extrusion()), major) * d.ratio;
    double t1 = d.angle2;
    if (t1 <= d.angle1) return;  // the viewer draws nothing for these
    std::vector<P3> pts;
    const int n = 4000;
    for (int i = 0; i <= n; ++i) {
      const double t = d.angle1 + (t1 - d.angle1) * i / n;
      pts.push_back(c + major * std::cos(t) + minor * std::sin(t));
    }
    Add(pts, false);
  }
  void addPolyline(const DL_PolylineData& d) override {
    polyFlags_ = d.flags;
    polyElevation_ = d.elevation;
    vertices_.clear();
    polyOpen_ = true;
    polyAttr_ = attributes;
    polyExtrusion_ = Extrusion();
  }
  void addVertex(const DL_VertexData& d) override {
    if (polyOpen_) vertices_.push_back(d);
  }
  void endSequence() override { FinishPolyline(); }
  void endEntity() override {
    FinishPolyline();
    if (splineOpen_) {
      splineOpen_ = false;
      if ((splineFlags_ & 8) && control_.size() >= 2) Add(control_, false);
    }
    if (leaderOpen_) {
      leaderOpen_ = false;
      if (leader_.size() >= 2) Add(leader_, false);
    }
  }
  void addSolid(const DL_SolidData& d) override { Add({{d.x[0], d.y[0], d.z[0]}, {d.x[1], d.y[1], d.z[1]}, {d.x[2], d.y[2], d.z[2]}}, true); }
  void add3dFace(const DL_3dFaceData& d) override {
    Add({{d.x[0], d.y[0], d.z[0]}, {d.x[1], d.y[1], d.z[1]}, {d.x[2], d.y[2], d.z[2]}, {d.x[3], d.y[3], d.z[3]}}, false);
  }
  void addSpline(const DL_SplineData& d) override {
    splineOpen_ = true;
    splineFlags_ = d.flags;
    control_.clear();
  }
  void addControlPoint(const DL_ControlPointData& d) override { control_.push_back({d.x, d.y, d.z}); }
  void addLeader(const DL_LeaderData&) override {
    leaderOpen_ = true;
    leader_.clear();
  }
  void addLeaderVertex(const DL_LeaderVertexData& d) override { leader_.push_back({d.x, d.y, d.z}); }
  void addInsert(const DL_InsertData& d) override {
    if (current_ == nullptr && attributes.isInPaperSpace()) return;
    InsertRef r;
    r.name = d.name;
    r.layer = attributes.getLayer();
    r.color = attributes.getColor();
    const double a = d.angle * kPi / 180;
    Xf rs;  // scale, then rotate
    rs.c[0] = P3{std::cos(a), std::sin(a), 0} * d.sx;
    rs.c[1] = P3{-std::sin(a), std::cos(a), 0} * d.sy;
    rs.c[2] = P3{0, 0, 1} * d.sz;
    Xf ocs = Ocs(Extrusion());
    rs = rs.Then(ocs);
    rs.t = {d.ipx, d.ipy, d.ipz};
    r.place = rs;
    Here().inserts.push_back(r);
  }
  void addDimAlign(const DL_DimensionData&, const DL_DimAlignedData&) override { ++dimensions; }
  void addDimLinear(const DL_DimensionData&, const DL_DimLinearData&) override { ++dimensions; }
  void addDimRadial(const DL_DimensionData&, const DL_DimRadialData&) override { ++dimensions; }
  void addDimDiametric(const DL_DimensionData&, const DL_DimDiametricData&) override { ++dimensions; }
  void addDimAngular(const DL_DimensionData&, const DL_DimAngular2LData&) override { ++dimensions; }
  void addDimAngular3P(const DL_DimensionData&, const DL_DimAngular3PData&) override { ++dimensions; }
  void addDimOrdinate(const DL_DimensionData&, const DL_DimOrdinateData&) override { ++dimensions; }

 private:
  Container& Here() { return current_ ? *current_ : model; }
  P3 Extrusion() {
    const DL_Extrusion* e = getExtrusion();
    const double* d = e->getDirection();
    return {d[0], d[1], d[2]};
  }
  static std::vector<P3> ArcPoints(P3 c, double r, double a0, double a1) {
    std::vector<P3> pts;
    const int n = 3600;
    for (int i = 0; i <= n; ++i) {
      const double a = (a0 + (a1 - a0) * i / n) * kPi / 180;
      pts.push_back({c.x + r * std::cos(a), c.y + r * std::sin(a), c.z});
    }
    return pts;
  }
  // Points in object coordinates when `ocs` is set (circles, arcs, solids), else in world
  // coordinates of the container.
  void Add(std::vector<P3> pts, bool ocs) { AddWith(attributes, ocs ? Extrusion() : P3{0, 0, 1}, std::move(pts)); }
  void AddWith(const DL_Attributes& attr, P3 extrusion, std::vector<P3> pts) {
    if (current_ == nullptr && attr.isInPaperSpace()) return;
    const Xf x = Ocs(extrusion);
    Shape s;
    s.layer = attr.getLayer();
    s.color = attr.getColor();
    for (P3& p : pts) s.points.push_back(x.Apply(p));
    Here().shapes.push_back(std::move(s));
  }
  void FinishPolyline() {
    if (!polyOpen_) return;
    polyOpen_ = false;
    if (polyFlags_ & 64) return;  // polyface meshes are not drawn
    std::vector<DL_VertexData> v = vertices_;
    if (v.size() < 2) return;
    if (polyFlags_ & 1) v.push_back(v.front());
    std::vector<P3> pts;
    for (std::size_t i = 0; i + 1 < v.size(); ++i) {
      const P3 a{v[i].x, v[i].y, v[i].z == 0 ? polyElevation_ : v[i].z};
      const P3 b{v[i + 1].x, v[i + 1].y, v[i + 1].z == 0 ? polyElevation_ : v[i + 1].z};
      pts.push_back(a);
      if (v[i].bulge != 0) {
        // Included angle 4 atan(bulge), counter-clockwise from a to b for a positive bulge.
        const double theta = 4 * std::atan(v[i].bulge);
        const double dx = b.x - a.x, dy = b.y - a.y, chord = std::hypot(dx, dy);
        const double r = chord / (2 * std::sin(theta / 2));
        const double h = r * std::cos(theta / 2);  // centre distance from the chord midpoint, signed
        const P3 mid{(a.x + b.x) / 2, (a.y + b.y) / 2, a.z};
        const P3 c{mid.x - dy / chord * h, mid.y + dx / chord * h, a.z};
        const double start = std::atan2(a.y - c.y, a.x - c.x);
        for (int k = 1; k < 1000; ++k) {
          const double t = start + theta * k / 1000;
          pts.push_back({c.x + std::fabs(r) * std::cos(t), c.y + std::fabs(r) * std::sin(t), a.z});
        }
      }
      pts.push_back(b);
    }
    AddWith(polyAttr_, polyExtrusion_, std::move(pts));
  }

  Container* current_ = nullptr;
  bool polyOpen_ = false, splineOpen_ = false, leaderOpen_ = false;
  int polyFlags_ = 0, splineFlags_ = 0;
  double polyElevation_ = 0;
  P3 polyExtrusion_{0, 0, 1};
  DL_Attributes polyAttr_;
  std::vector<DL_VertexData> vertices_;
  std::vector<P3> control_, leader_;
};

struct Box {
  bool any = false;
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  void Add(P3 p) {
    if (!any) {
      x0 = x1 = p.x, y0 = y1 = p.y, any = true;
      return;
    }
    x0 = std::min(x0, p.x), y0 = std::min(y0, p.y), x1 = std::max(x1, p.x), y1 = std::max(y1, p.y);
  }
};

void Walk(const Collector& col, const Container& c, const Xf& xf, const std::string& parentLayer, int depth, Box& box) {
  auto effective = [&](const std::string& layer, int color) {
    return (depth > 0 && (layer == "0" || color == 0)) ? parentLayer : layer;
  };
  auto hidden = [&](const std::string& layer) {
    auto it = col.layerHidden.find(layer);
    return it != col.layerHidden.end() && it->second;
  };
  for (const Shape& s : c.shapes) {
    if (hidden(effective(s.layer, s.color))) continue;
    for (P3 p : s.points) box.Add(xf.Apply(p));
  }
  if (depth > 8) return;
  for (const InsertRef& r : c.inserts) {
    auto it = col.blocks.find(r.name);
    if (it == col.blocks.end()) continue;
    const std::string layer = effective(r.layer, r.color);
    Xf local = r.place;
    local.t = r.place.Apply(it->second.base * -1);  // relative to the block's base point
    Walk(col, it->second, local.Then(xf), layer, depth + 1, box);
  }
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tesmar;
  int disagree = 0;
  for (int i = 1; i < argc; ++i) {
    Collector col;
    DL_Dxf dxf;
    if (!dxf.in(argv[i], &col)) {
      std::printf("%s: dxflib cannot read it\n", argv[i]);
      continue;
    }
    Box box;
    Walk(col, col.model, Xf{}, "0", 0, box);
    if (col.dimensions > 0) {
      for (const auto& [name, block] : col.blocks)
        if (name.rfind("*D", 0) == 0) Walk(col, block, Xf{}, "0", 1, box);
    }

    const std::u16string file = Utf8ToUtf16(argv[i]);
    const TDxfProbe probe = ProbeDxfFile(file);
    TDrawingModel m;
    std::u16string status;
    ReadDxfFile(m, file, nullptr, nullptr, status, probe.encoding);
    const TPostFigures f = RunPostProcessingTimed(m);
    const TBox& e = f.extents;
    const double size = std::max({box.x1 - box.x0, box.y1 - box.y0, 1e-9});
    const double diff = std::max({std::fabs(e.min.x - box.x0), std::fabs(e.min.y - box.y0), std::fabs(e.max.x - box.x1),
                                  std::fabs(e.max.y - box.y1)});
    const bool agree = box.any ? diff <= 1e-3 * size : (e.min.x == 0 && e.max.x == 0 && e.min.y == 0 && e.max.y == 0);
    disagree += !agree;
    std::string name = argv[i];
    name = name.substr(name.find_last_of('/') + 1);
    std::printf("%-50s %s  post [%.6g, %.6g, %.6g, %.6g]  independent [%.6g, %.6g, %.6g, %.6g]  max diff %.3g (%.2g of size)\n",
                name.c_str(), agree ? "agree   " : "DIFFER  ", e.min.x, e.min.y, e.max.x, e.max.y, box.x0, box.y0, box.x1,
                box.y1, diff, diff / size);
  }
  std::printf("%d of %d files differ by more than 0.1%% of the drawing size\n", disagree, argc - 1);
  return 0;
}

#else

int main() {
  std::printf("dxflib was not found: install libdxflib-dev to compare the extents with an independent box\n");
  return 0;
}

#endif
