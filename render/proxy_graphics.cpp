// Proxy graphics: the binary stream of drawing commands that a file keeps for an object its
// reader need not understand. The stream is a total size and a command count, then commands,
// each its size (header included), its type and its data, little-endian. Geometry commands
// become lines, fills and texts; colour and fill commands set the state for those after them;
// the others are passed over by their size.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "render/decompose.h"
#include "render/geometry.h"

namespace tesmar {

namespace {

// Reads values from one command's data; a read past its end gives zeros and clears ok.
class Data {
 public:
  Data(const std::uint8_t* p, std::size_t n) : p_(p), n_(n) {}
  bool ok = true;
  std::size_t Left() const { return n_ - at_; }
  std::int32_t Int() {
    std::int32_t v = 0;
    Copy(&v, 4);
    return v;
  }
  double Real() {
    double v = 0;
    Copy(&v, 8);
    return std::isfinite(v) ? v : (ok = false, 0.0);
  }
  TAcadPoint Point() {
    const double x = Real(), y = Real(), z = Real();
    return {x, y, z};
  }
  // A zero-ended string of 8-bit (wide false) or 16-bit characters, padded to 4 bytes.
  std::u16string Text(bool wide) {
    std::u16string s;
    const std::size_t unit = wide ? 2 : 1;
    while (at_ + unit <= n_) {
      char16_t c = wide ? static_cast<char16_t>(p_[at_] | (p_[at_ + 1] << 8)) : static_cast<char16_t>(p_[at_]);
      at_ += unit;
      if (c == 0) break;
      s.push_back(c);
    }
    at_ = std::min(n_, (at_ + 3) / 4 * 4);
    return s;
  }

 private:
  void Copy(void* out, std::size_t k) {
    if (at_ + k > n_) {
      ok = false;
      at_ = n_;
      return;
    }
    std::memcpy(out, p_ + at_, k);
    at_ += k;
  }
  const std::uint8_t* p_;
  std::size_t n_;
  std::size_t at_ = 0;
};

// The in-plane axes of normal n, by the arbitrary axis algorithm.
void PlaneAxes(TAcadPoint n, TAcadPoint& ax, TAcadPoint& ay) {
  if (IsDefaultExtrusion(n) || !(std::hypot(n.x, std::hypot(n.y, n.z)) > 0)) {
    ax = {1, 0, 0}, ay = {0, 1, 0};
    return;
  }
  const TAcadPoint o = OcsToWcs({0, 0, 0}, n);
  ax = AcadPointSub(OcsToWcs({1, 0, 0}, n), o);
  ay = AcadPointSub(OcsToWcs({0, 1, 0}, n), o);
}

// Points of the arc about c in the plane of (u, v) (unit, at right angles), from angle 0 along u
// by `sweep` radians.
std::vector<TAcadPoint> PlaneArc(TAcadPoint c, double r, TAcadPoint u, TAcadPoint v, double sweep, double step) {
  std::vector<TAcadPoint> pts;
  const double turn = std::clamp(sweep, -kTwoPi, kTwoPi);
  const int n = std::max(2, static_cast<int>(std::ceil(std::fabs(turn) / (step * kDegToRad))));
  for (int i = 0; i <= n; ++i) {
    const double t = turn * i / n, cs = std::cos(t) * r, sn = std::sin(t) * r;
    pts.push_back({c.x + u.x * cs + v.x * sn, c.y + u.y * cs + v.y * sn, c.z + u.z * cs + v.z * sn});
  }
  return pts;
}

// The circle through three points in the XY plane; false when they are in a line.
bool CircleThrough(TAcadPoint a, TAcadPoint b, TAcadPoint c, TAcadPoint& centre, double& r) {
  const double d = 2 * (a.x * (b.y - c.y) + b.x * (c.y - a.y) + c.x * (a.y - b.y));
  if (!(std::fabs(d) > 1e-300)) return false;
  const double a2 = a.x * a.x + a.y * a.y, b2 = b.x * b.x + b.y * b.y, c2 = c.x * c.x + c.y * c.y;
  centre = {(a2 * (b.y - c.y) + b2 * (c.y - a.y) + c2 * (a.y - b.y)) / d,
            (a2 * (c.x - b.x) + b2 * (a.x - c.x) + c2 * (b.x - a.x)) / d, a.z};
  r = std::hypot(a.x - centre.x, a.y - centre.y);
  return std::isfinite(r);
}

class ProxyDrawer {
 public:
  ProxyDrawer(const TProxyBlk& proxy, std::vector<TAcadLineBlk>& lines, std::vector<TFillBlk>& fills,
              std::vector<TTextBlk>& texts, double step)
      : proxy_(proxy), lines_(lines), fills_(fills), texts_(texts), step_(step), color_(proxy.color) {}

  void Run() {
    const std::vector<std::uint8_t>& g = proxy_.graphics;
    Data head(g.data(), g.size());
    head.Int();
    const std::int32_t count = head.Int();
    if (!head.ok) return;
    std::size_t at = 8;
    for (std::int32_t i = 0; i < count && at + 8 <= g.size(); ++i) {
      Data h(g.data() + at, 8);
      const std::int32_t size = h.Int(), type = h.Int();
      if (size < 8 || at + static_cast<std::size_t>(size) > g.size()) break;
      Data d(g.data() + at + 8, static_cast<std::size_t>(size) - 8);
      Command(type, d);
      at += static_cast<std::size_t>(size);
    }
  }

 private:
  TAcadLineBlk Style() const {
    TAcadLineBlk l = SegmentOf(proxy_, {}, {});
    l.bname = proxy_.bname;
    l.code67 = proxy_.code67;
    l.color = color_;
    return l;
  }
  void Polyline(const std::vector<TAcadPoint>& pts, bool closed) {
    TAcadLineBlk l = Style();
    for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
      l.st = pts[i], l.ed = pts[i + 1];
      lines_.push_back(l);
    }
    if (closed && pts.size() > 2) {
      l.st = pts.back(), l.ed = pts.front();
      lines_.push_back(l);
    }
  }
  std::vector<TAcadPoint> Points(Data& d, std::int32_t n) {
    std::vector<TAcadPoint> pts;
    for (std::int32_t i = 0; i < n && d.ok && d.Left() >= 24; ++i) pts.push_back(d.Point());
    return pts;
  }
  void Text(TAcadPoint at, TAcadPoint dir, double height, double widthFactor, std::u16string str) {
    if (str.empty() || !(height > 0)) return;
    TTextBlk t;
    t.bname = proxy_.bname;
    t.layer = proxy_.layer;
    t.color = color_;
    t.code67 = proxy_.code67;
    t.pt10 = t.pt11 = at;
    t.code40 = height;
    t.code41 = widthFactor > 0 ? widthFactor : 1;
    t.code50 = (dir.x != 0 || dir.y != 0) ? std::atan2(dir.y, dir.x) * kRadToDeg : 0;
    t.str = std::move(str);
    texts_.push_back(std::move(t));
  }

  void Command(std::int32_t type, Data& d) {
    switch (type) {
      case 2: {  // circle: centre, radius, normal
        const TAcadPoint c = d.Point();
        const double r = d.Real();
        TAcadPoint u, v;
        PlaneAxes(d.Point(), u, v);
        if (d.ok) Polyline(PlaneArc(c, r, u, v, kTwoPi, step_), false);
        break;
      }
      case 3:    // circle through three points
      case 5: {  // arc through three points
        const TAcadPoint a = d.Point(), b = d.Point(), e = d.Point();
        TAcadPoint c;
        double r = 0;
        if (!d.ok || !CircleThrough(a, b, e, c, r)) break;
        double a0 = std::atan2(a.y - c.y, a.x - c.x), am = std::atan2(b.y - c.y, b.x - c.x),
               a1 = std::atan2(e.y - c.y, e.x - c.x);
        auto ccw = [](double from, double to) { return std::fmod(to - from + 2 * kTwoPi, kTwoPi); };
        double sweep = type == 3 ? kTwoPi : ccw(a0, a1);
        if (type == 5 && ccw(a0, am) > sweep) sweep -= kTwoPi;  // the middle point lies clockwise
        const TAcadPoint u{std::cos(a0), std::sin(a0), 0}, v{-std::sin(a0), std::cos(a0), 0};
        Polyline(PlaneArc(c, r, u, v, sweep, step_), false);
        break;
      }
      case 4: {  // arc: centre, radius, normal, start vector, sweep, arc type
        const TAcadPoint c = d.Point();
        const double r = d.Real();
        const TAcadPoint n = AcadPointNormalize(d.Point());
        const TAcadPoint s = AcadPointNormalize(d.Point());
        const double sweep = d.Real();
        if (!d.ok) break;
        Polyline(PlaneArc(c, r, s, AcadPointCross(n, s), sweep, step_), false);
        break;
      }
      case 6:     // polyline
      case 32: {  // polyline with a normal
        const std::int32_t n = d.Int();
        Polyline(Points(d, n), false);
        break;
      }
      case 7: {  // polygon: filled when the fill is on
        const std::int32_t n = d.Int();
        const std::vector<TAcadPoint> pts = Points(d, n);
        Polyline(pts, true);
        if (fill_ && pts.size() >= 3) {
          TFillBlk f = FillFrom(Style());
          AddFillRing(f, pts);
          fills_.push_back(std::move(f));
        }
        break;
      }
      case 8: {  // mesh: rows x columns of points
        const std::int32_t rows = d.Int(), cols = d.Int();
        if (rows <= 0 || cols <= 0 || static_cast<long long>(rows) * cols > 1000000) break;
        const std::vector<TAcadPoint> pts = Points(d, rows * cols);
        if (static_cast<long long>(pts.size()) != static_cast<long long>(rows) * cols) break;
        for (std::int32_t i = 0; i < rows; ++i)
          Polyline(std::vector<TAcadPoint>(pts.begin() + i * cols, pts.begin() + (i + 1) * cols), false);
        for (std::int32_t j = 0; j < cols; ++j) {
          std::vector<TAcadPoint> column;
          for (std::int32_t i = 0; i < rows; ++i) column.push_back(pts[i * cols + j]);
          Polyline(column, false);
        }
        break;
      }
      case 9: {  // shell: points, then faces (a count, negative for a hole, and the indices)
        const std::int32_t n = d.Int();
        const std::vector<TAcadPoint> pts = Points(d, n);
        const std::int32_t entries = d.Int();
        std::vector<std::int32_t> list;
        for (std::int32_t i = 0; i < entries && d.ok && d.Left() >= 4; ++i) list.push_back(d.Int());
        for (std::size_t i = 0; i < list.size();) {
          const std::int32_t k = std::abs(list[i]);
          if (k == 0 || i + 1 + static_cast<std::size_t>(k) > list.size()) break;
          std::vector<TAcadPoint> face;
          for (std::int32_t j = 0; j < k; ++j) {
            const std::int32_t v = list[i + 1 + j];
            if (v >= 0 && static_cast<std::size_t>(v) < pts.size()) face.push_back(pts[v]);
          }
          Polyline(face, true);
          i += 1 + k;
        }
        break;
      }
      case 10:    // text: start, normal, direction, height, width factor, oblique, string
      case 36: {  // the same with 16-bit characters
        const TAcadPoint at = d.Point();
        d.Point();
        const TAcadPoint dir = d.Point();
        const double h = d.Real(), wf = d.Real();
        d.Real();
        std::u16string s = d.Text(type == 36);
        if (d.ok) Text(at, dir, h, wf, std::move(s));
        break;
      }
      case 11:    // text with its style: start, normal, direction, string, length, raw, height, width factor
      case 38: {  // the same with 16-bit characters
        const TAcadPoint at = d.Point();
        d.Point();
        const TAcadPoint dir = d.Point();
        std::u16string s = d.Text(type == 38);
        d.Int();
        d.Int();
        const double h = d.Real(), wf = d.Real();
        if (d.ok) Text(at, dir, h, wf, std::move(s));
        break;
      }
      case 14: {  // colour number
        const std::int32_t c = d.Int();
        if (d.ok && c >= 0 && c <= 256) color_ = c == 256 || c == 0 ? proxy_.color : static_cast<std::int16_t>(c);
        break;
      }
      case 22: {  // true colour: 0xC3 in the high byte carries a colour number
        const std::uint32_t c = static_cast<std::uint32_t>(d.Int());
        if (d.ok && (c >> 24) == 0xC3 && (c & 0xFF) >= 1 && (c & 0xFF) <= 255) color_ = static_cast<std::int16_t>(c & 0xFF);
        else if (d.ok && ((c >> 24) == 0xC0 || (c >> 24) == 0xC1)) color_ = proxy_.color;
        break;
      }
      case 20: fill_ = d.Int() != 0; break;
      default: break;
    }
  }

  const TProxyBlk& proxy_;
  std::vector<TAcadLineBlk>& lines_;
  std::vector<TFillBlk>& fills_;
  std::vector<TTextBlk>& texts_;
  double step_;
  std::int16_t color_;
  bool fill_ = false;
};

}  // namespace

void ExplodeProxyRecords(TDrawingModel& m, bool blocks, double step) {
  std::vector<TAcadLineBlk>& lines = blocks ? m.BlkLineAry : m.LineAry;
  std::vector<TFillBlk>& fills = blocks ? m.BlkFillAry : m.FillAry;
  std::vector<TTextBlk>& texts = blocks ? m.BlkTextAry : m.TextAry;
  for (const TProxyBlk& p : m.ProxyAry) {
    if (p.code60 != 0 || p.bname.empty() == blocks) continue;
    ProxyDrawer(p, lines, fills, texts, step).Run();
  }
}

}  // namespace tesmar
