#include "render/curves.h"

#include <algorithm>
#include <cmath>

#include "render/geometry.h"

namespace tesmar {

namespace {

constexpr int kDeepestHalving = 12;

// The angle in degrees between the directions a -> b and b -> c (0 when either has no length).
double Turn(TAcadPoint a, TAcadPoint b, TAcadPoint c) {
  const double ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
  const double vx = c.x - b.x, vy = c.y - b.y, vz = c.z - b.z;
  const double cx = uy * vz - uz * vy, cy = uz * vx - ux * vz, cz = ux * vy - uy * vx;
  const double cross = std::sqrt(cx * cx + cy * cy + cz * cz), dot = ux * vx + uy * vy + uz * vz;
  if (!(cross > 0) && !(dot != 0)) return 0;  // a chord of no length
  return std::atan2(cross, dot) * kRadToDeg;
}

bool Finite(TAcadPoint p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

struct Sample {
  double t;
  TAcadPoint p;
};

void Refine(const std::function<TAcadPoint(double)>& f, Sample a, Sample b, double stepDegrees, int depth,
            std::vector<Sample>& out) {
  const Sample m{(a.t + b.t) / 2, f((a.t + b.t) / 2)};
  if (depth < kDeepestHalving && Finite(m.p) && Turn(a.p, m.p, b.p) * 3 > stepDegrees) {
    Refine(f, a, m, stepDegrees, depth + 1, out);
    Refine(f, m, b, stepDegrees, depth + 1, out);
    return;
  }
  out.push_back(b);
}

}  // namespace

std::vector<TAcadPoint> SampleCurve(const std::function<TAcadPoint(double)>& f, const std::vector<double>& breaks,
                                    int pieces, double stepDegrees) {
  std::vector<Sample> out;
  if (breaks.size() < 2 || pieces < 1) return {};
  Sample prev{breaks[0], f(breaks[0])};
  out.push_back(prev);
  for (std::size_t b = 1; b < breaks.size(); ++b) {
    const double t0 = breaks[b - 1], t1 = breaks[b];
    if (!(t1 > t0)) continue;
    for (int i = 1; i <= pieces; ++i) {
      const double t = i == pieces ? t1 : t0 + (t1 - t0) * i / pieces;
      const Sample s{t, f(t)};
      Refine(f, prev, s, stepDegrees, 0, out);
      prev = s;
    }
  }
  if (out.size() < 2) return {};
  // Where two chords still meet at more than the step (the halving looks at each piece alone),
  // the longer one is halved, a few rounds at most.
  for (int round = 0; round < kDeepestHalving; ++round) {
    std::vector<bool> split(out.size(), false);
    bool any = false;
    for (std::size_t i = 1; i + 1 < out.size(); ++i) {
      if (!(Turn(out[i - 1].p, out[i].p, out[i + 1].p) > stepDegrees)) continue;
      const bool before = AcadPointDistance(out[i - 1].p, out[i].p) >= AcadPointDistance(out[i].p, out[i + 1].p);
      split[before ? i - 1 : i] = any = true;
    }
    if (!any) break;
    std::vector<Sample> finer;
    for (std::size_t i = 0; i < out.size(); ++i) {
      finer.push_back(out[i]);
      if (i + 1 < out.size() && split[i]) {
        const double tm = (out[i].t + out[i + 1].t) / 2;
        const TAcadPoint pm = f(tm);
        if (Finite(pm)) finer.push_back({tm, pm});
      }
    }
    out.swap(finer);
  }
  // Points on a straight run between their neighbours add nothing.
  std::vector<TAcadPoint> kept;
  for (std::size_t i = 0; i < out.size(); ++i) {
    if (!kept.empty() && i + 1 < out.size() && Turn(kept.back(), out[i].p, out[i + 1].p) < 1e-7) continue;
    kept.push_back(out[i].p);
  }
  return kept;
}

std::vector<TAcadPoint> NurbsPolyline(int degree, std::vector<double> knots, const std::vector<TAcadPoint>& control,
                                      const std::vector<double>& weights, double stepDegrees) {
  const int n = static_cast<int>(control.size());
  if (n < 2) return control;
  // A degree beyond what CAD programs make is taken for a damaged record: its control polygon
  // shows where it lies, at the cost of a few points and not of degree-squared work per point.
  if (degree > kHighestSplineDegree) return control;
  const int p = std::clamp(degree, 1, n - 1);
  bool valid = static_cast<int>(knots.size()) == n + p + 1;
  for (std::size_t i = 1; valid && i < knots.size(); ++i) valid = knots[i] >= knots[i - 1] && std::isfinite(knots[i]);
  if (valid) valid = knots[p] < knots[n];
  if (!valid) {
    knots.assign(n + p + 1, 0);
    for (int i = 0; i <= n + p; ++i) knots[i] = std::clamp(i - p, 0, n - p);
  }
  const bool rational = static_cast<int>(weights.size()) == n;
  // de Boor in homogeneous coordinates.
  auto point = [&](double t) {
    // The span of t: the last knot at or before it, within knots[p] .. knots[n - 1].
    const int k = std::clamp(static_cast<int>(std::upper_bound(knots.begin() + p + 1, knots.begin() + n, t) - knots.begin()) - 1, p, n - 1);
    struct H {
      double x, y, z, w;
    };
    std::vector<H> d(p + 1);
    for (int j = 0; j <= p; ++j) {
      const TAcadPoint& c = control[k - p + j];
      const double w = rational ? weights[k - p + j] : 1.0;
      d[j] = {c.x * w, c.y * w, c.z * w, w};
    }
    for (int r = 1; r <= p; ++r) {
      for (int j = p; j >= r; --j) {
        const double lo = knots[j + k - p], hi = knots[j + 1 + k - r];
        const double a = hi > lo ? (t - lo) / (hi - lo) : 0;
        d[j] = {(1 - a) * d[j - 1].x + a * d[j].x, (1 - a) * d[j - 1].y + a * d[j].y, (1 - a) * d[j - 1].z + a * d[j].z,
                (1 - a) * d[j - 1].w + a * d[j].w};
      }
    }
    const H& h = d[p];
    return h.w != 0 ? TAcadPoint{h.x / h.w, h.y / h.w, h.z / h.w} : TAcadPoint{h.x, h.y, h.z};
  };
  // Each knot span at least four pieces, so that no bend between samples is missed.
  return SampleCurve(point, std::vector<double>(knots.begin() + p, knots.begin() + n + 1), 4, stepDegrees);
}

std::vector<TAcadPoint> FitPolyline(const std::vector<TAcadPoint>& fit, double stepDegrees) {
  std::vector<TAcadPoint> pts;
  for (const TAcadPoint& q : fit)
    if (pts.empty() || AcadPointDistance(pts.back(), q) > 0) pts.push_back(q);
  const std::size_t n = pts.size();
  if (n < 3) return pts;
  // Chord-length parameters; a natural cubic per coordinate (second derivatives from the
  // tridiagonal system).
  std::vector<double> t(n, 0);
  for (std::size_t i = 1; i < n; ++i) t[i] = t[i - 1] + AcadPointDistance(pts[i - 1], pts[i]);
  auto second = [&](auto coord) {
    std::vector<double> m(n, 0), c(n, 0), d(n, 0);
    for (std::size_t i = 1; i + 1 < n; ++i) {
      const double h0 = t[i] - t[i - 1], h1 = t[i + 1] - t[i];
      const double a = h0, b = 2 * (h0 + h1), cc = h1;
      const double r = 6 * ((coord(pts[i + 1]) - coord(pts[i])) / h1 - (coord(pts[i]) - coord(pts[i - 1])) / h0);
      const double den = b - a * c[i - 1];
      c[i] = cc / den;
      d[i] = (r - a * d[i - 1]) / den;
    }
    for (std::size_t i = n - 2; i >= 1; --i) m[i] = d[i] - c[i] * m[i + 1];
    return m;
  };
  const auto mx = second([](const TAcadPoint& q) { return q.x; });
  const auto my = second([](const TAcadPoint& q) { return q.y; });
  const auto mz = second([](const TAcadPoint& q) { return q.z; });
  auto at = [&](double u) {
    std::size_t i = std::upper_bound(t.begin(), t.end(), u) - t.begin();
    i = std::clamp<std::size_t>(i, 1, n - 1) - 1;
    const double h = t[i + 1] - t[i], a = (t[i + 1] - u) / h, b = (u - t[i]) / h;
    auto eval = [&](double y0, double y1, double m0, double m1) {
      return a * y0 + b * y1 + ((a * a * a - a) * m0 + (b * b * b - b) * m1) * h * h / 6;
    };
    return TAcadPoint{eval(pts[i].x, pts[i + 1].x, mx[i], mx[i + 1]), eval(pts[i].y, pts[i + 1].y, my[i], my[i + 1]),
                      eval(pts[i].z, pts[i + 1].z, mz[i], mz[i + 1])};
  };
  return SampleCurve(at, t, 2, stepDegrees);
}

std::vector<TAcadPoint> SplinePolyline(const TSplineBlk& s, double stepDegrees) {
  if (s.code10Ary.size() >= 2) return NurbsPolyline(s.code71, s.code40Ary, s.code10Ary, s.code41Ary, stepDegrees);
  return FitPolyline(s.code11Ary, stepDegrees);
}

}  // namespace tesmar
