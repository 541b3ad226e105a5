#include "standin/host/RhinoConvertCurveToPolyline.h"

#include "standin/host/ON_ArcCurve.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Bounds that keep a hostile tolerance from asking for unbounded work.
constexpr int kMaxSegmentsPerSpan = 4096;
constexpr int kMaxPoints = 1 << 20;
constexpr int kTurnSamples = 32;

struct Settings {
  double maxAngle = 0;
  double density = 1;
  double tolerance = 0;
  double minEdge = 0;
  double maxEdge = 0;
};

// Segments for a turn at the settings' angle, within 1 .. kMaxSegmentsPerSpan.
int SegmentsForTurn(double turn, const Settings& s) {
  const double n = std::ceil(turn * s.density / s.maxAngle - 1e-9);
  if (!(n >= 1)) return 1;
  return n >= kMaxSegmentsPerSpan ? kMaxSegmentsPerSpan : static_cast<int>(n);
}

double AngleBetween(ON_3dVector a, ON_3dVector b) {
  if (!a.Unitize() || !b.Unitize()) return 0;
  return std::acos(std::clamp(ON_DotProduct(a, b), -1.0, 1.0));
}

// Total turn of the tangent over [t0, t1], estimated from samples.
double TurnOver(const ON_Curve& c, double t0, double t1) {
  double turn = 0;
  ON_3dVector previous = c.TangentAt(t0);
  for (int i = 1; i <= kTurnSamples; ++i) {
    ON_3dVector next = c.TangentAt(t0 + (t1 - t0) * i / kTurnSamples);
    turn += AngleBetween(previous, next);
    previous = next;
  }
  return turn;
}

// Whether the segment [t0, t1] still has to be split.
bool NeedsSplit(const ON_Curve& c, double t0, double t1, const Settings& s) {
  const ON_3dPoint a = c.PointAt(t0), b = c.PointAt(t1);
  const double length = a.DistanceTo(b);
  if (s.minEdge > 0 && length <= s.minEdge) return false;
  if (s.maxEdge > 0 && length > s.maxEdge) return true;
  const ON_3dVector chord = b - a;
  if (s.maxAngle > 0) {
    const double limit = s.maxAngle / s.density + 1e-12;
    if (AngleBetween(c.TangentAt(t0), c.TangentAt(t1)) > limit) return true;
    if (!chord.IsZero() &&
        (AngleBetween(c.TangentAt(t0), chord) > limit || AngleBetween(chord, c.TangentAt(t1)) > limit)) {
      return true;
    }
  }
  if (s.tolerance > 0) {
    const ON_3dPoint mid = c.PointAt((t0 + t1) / 2);
    const ON_3dPoint chordMid = a + 0.5 * chord;
    if (mid.DistanceTo(chordMid) > s.tolerance) return true;
  }
  return false;
}

// Parameters of one span [t0, t1]: an even split from the estimated turn,
// then bisection where a segment still breaks a limit.
void ConvertSpan(const ON_Curve& c, double t0, double t1, const Settings& s, bool straight, std::vector<double>& out) {
  int n = 1;
  if (!straight && s.maxAngle > 0) {
    n = SegmentsForTurn(TurnOver(c, t0, t1), s);
  }
  std::vector<double> ts;
  for (int i = 0; i <= n; ++i) ts.push_back(t0 + (t1 - t0) * i / n);
  if (!straight || s.maxEdge > 0) {
    for (std::size_t i = 0; i + 1 < ts.size() && ts.size() <= static_cast<std::size_t>(kMaxSegmentsPerSpan);) {
      if (ts[i + 1] - ts[i] > 1e-12 * std::max(1.0, std::fabs(t1 - t0)) && NeedsSplit(c, ts[i], ts[i + 1], s)) {
        ts.insert(ts.begin() + static_cast<std::ptrdiff_t>(i) + 1, (ts[i] + ts[i + 1]) / 2);
      } else {
        ++i;
      }
    }
  }
  for (std::size_t i = 1; i < ts.size(); ++i) out.push_back(ts[i]);
}

// Makes the count of segments fit [minCount, maxCount] by an even split.
void FitSegmentCount(std::vector<double>& ts, int minCount, int maxCount) {
  int count = static_cast<int>(ts.size()) - 1;
  int wanted = count;
  if (minCount > 0 && count < minCount) wanted = std::min(minCount, kMaxPoints - 1);
  if (maxCount > 0 && count > maxCount) wanted = maxCount;
  if (wanted == count || wanted < 1) return;
  const double t0 = ts.front(), t1 = ts.back();
  ts.clear();
  for (int i = 0; i <= wanted; ++i) ts.push_back(t0 + (t1 - t0) * i / wanted);
}

}  // namespace

int RhinoConvertCurveToPolyline(const ON_Curve& curve, int minSegmentCount, int maxSegmentCount, double maxAngleRadians,
                                double density, double tolerance, double minEdgeLength, double maxEdgeLength, double,
                                ON_PolylineCurve* output, bool, const ON_Interval* subDomain) {
  if (!output) return 0;
  output->m_pline.Empty();
  output->m_t.Empty();
  if (!curve.IsValid()) return 0;

  ON_Interval domain = curve.Domain();
  if (subDomain) {
    double a = std::max(domain.Min(), subDomain->Min()), b = std::min(domain.Max(), subDomain->Max());
    if (!(a < b)) return 0;
    domain = ON_Interval(a, b);
  }
  Settings s;
  auto positive = [](double v) { return std::isfinite(v) && v > 0 ? v : 0.0; };
  s.maxAngle = positive(maxAngleRadians);
  s.density = positive(density) > 0 ? positive(density) : 1.0;
  s.tolerance = positive(tolerance);
  s.minEdge = positive(minEdgeLength);
  s.maxEdge = positive(maxEdgeLength);

  // Span breaks inside the domain: kinks for degree 1, piece ends otherwise.
  ON_SimpleArray<double> spanVector;
  curve.GetSpanVector(spanVector);
  std::vector<double> breaks{domain[0]};
  for (double t : spanVector) {
    if (t > domain[0] && t < domain[1]) breaks.push_back(t);
  }
  breaks.push_back(domain[1]);

  const bool straight = curve.Degree() == 1;
  std::vector<double> ts{domain[0]};
  if (const auto* arc = dynamic_cast<const ON_ArcCurve*>(&curve); arc && s.maxAngle > 0) {
    // The exact turn of an arc is its sweep.
    const double sweep = domain.Length();
    const int n = SegmentsForTurn(sweep, s);
    std::vector<double> even;
    for (int i = 1; i <= n; ++i) even.push_back(domain[0] + sweep * i / n);
    if (s.tolerance > 0 || s.maxEdge > 0) {
      even.clear();
      ConvertSpan(curve, domain[0], domain[1], s, false, even);
    }
    ts.insert(ts.end(), even.begin(), even.end());
  } else {
    for (std::size_t i = 0; i + 1 < breaks.size() && ts.size() < static_cast<std::size_t>(kMaxPoints); ++i) {
      ConvertSpan(curve, breaks[i], breaks[i + 1], s, straight, ts);
    }
  }
  if (ts.size() > static_cast<std::size_t>(kMaxPoints)) ts.resize(static_cast<std::size_t>(kMaxPoints));
  // Segment-count bounds only redistribute curves without kinks; a polyline
  // keeps its corners.
  if (!straight || breaks.size() == 2) FitSegmentCount(ts, minSegmentCount, maxSegmentCount);

  output->m_pline.Reserve(static_cast<int>(ts.size()));
  output->m_t.Reserve(static_cast<int>(ts.size()));
  for (double t : ts) {
    output->m_pline.Append(curve.PointAt(t));
    output->m_t.Append(t);
  }
  return 1;
}
