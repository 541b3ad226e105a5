#include "standin/host/BSplineBasis.h"

#include <algorithm>
#include <cmath>

namespace zem {

bool IsValidKnotVector(int order, int cvCount, const std::vector<double>& knots) {
  if (order < 2 || cvCount < order) return false;
  if (static_cast<int>(knots.size()) != order + cvCount - 2) return false;
  for (std::size_t i = 0; i < knots.size(); ++i) {
    if (!std::isfinite(knots[i])) return false;
    if (i > 0 && knots[i] < knots[i - 1]) return false;
  }
  // Multiplicity never above the degree inside, and a domain of some length.
  return knots[static_cast<std::size_t>(cvCount - 1)] > knots[static_cast<std::size_t>(order - 2)];
}

std::vector<double> ClampedUniformKnots(int order, int cvCount) {
  std::vector<double> knots;
  const int degree = order - 1;
  for (int i = 0; i < degree; ++i) knots.push_back(0);
  for (int i = 1; i < cvCount - degree; ++i) knots.push_back(i);
  for (int i = 0; i < degree; ++i) knots.push_back(cvCount - degree);
  return knots;
}

// With the full knot vector U (the stored one with its first and last
// value repeated once more), stored knot k is U[k + 1].
int FindSpan(int order, int cvCount, const std::vector<double>& knots, double t) {
  const int degree = order - 1;
  const double t0 = knots[static_cast<std::size_t>(degree - 1)];
  const double t1 = knots[static_cast<std::size_t>(cvCount - 1)];
  if (!(t > t0)) t = t0;
  if (!(t < t1)) t = t1;
  // Span s covers stored knots [s + degree - 1, s + degree].
  int lo = 0, hi = cvCount - order;
  while (lo < hi) {
    int mid = (lo + hi + 1) / 2;
    if (knots[static_cast<std::size_t>(mid + degree - 1)] <= t) {
      lo = mid;
    } else {
      hi = mid - 1;
    }
  }
  // Skip empty spans at the end so that t = t1 falls into the last real one.
  while (lo > 0 && knots[static_cast<std::size_t>(lo + degree - 1)] == knots[static_cast<std::size_t>(lo + degree)]) {
    --lo;
  }
  return lo;
}

void BasisFunctions(int order, const std::vector<double>& knots, int span, double t, double* values,
                    double* derivatives) {
  const int p = order - 1;
  // Full-vector index of the span start is i = span + p; U[j] = knots[j - 1].
  const int i = span + p;
  auto U = [&](int j) { return knots[static_cast<std::size_t>(j - 1)]; };
  std::vector<double> left(static_cast<std::size_t>(order)), right(static_cast<std::size_t>(order));
  // ndu: triangular table of basis values and knot differences.
  std::vector<double> ndu(static_cast<std::size_t>(order * order));
  auto N = [&](int r, int c) -> double& { return ndu[static_cast<std::size_t>(r * order + c)]; };
  N(0, 0) = 1.0;
  for (int j = 1; j <= p; ++j) {
    left[static_cast<std::size_t>(j)] = t - U(i + 1 - j);
    right[static_cast<std::size_t>(j)] = U(i + j) - t;
    double saved = 0.0;
    for (int r = 0; r < j; ++r) {
      N(j, r) = right[static_cast<std::size_t>(r + 1)] + left[static_cast<std::size_t>(j - r)];
      double temp = N(j, r) != 0 ? N(r, j - 1) / N(j, r) : 0.0;
      N(r, j) = saved + right[static_cast<std::size_t>(r + 1)] * temp;
      saved = left[static_cast<std::size_t>(j - r)] * temp;
    }
    N(j, j) = saved;
  }
  for (int j = 0; j <= p; ++j) values[j] = N(j, p);
  if (!derivatives) return;
  if (p == 0) {
    derivatives[0] = 0;
    return;
  }
  // First derivatives: p * (N_{r,p-1} / (U[i+r+1]-U[i+r-p+1]) - ...), read
  // from the table of degree p - 1 values.
  for (int r = 0; r <= p; ++r) {
    double d = 0.0;
    if (r >= 1) {
      double denom = N(p, r - 1);
      if (denom != 0) d += N(r - 1, p - 1) / denom;
    }
    if (r <= p - 1) {
      double denom = N(p, r);
      if (denom != 0) d -= N(r, p - 1) / denom;
    }
    derivatives[r] = p * d;
  }
}

std::vector<double> SpanBreaks(int order, int cvCount, const std::vector<double>& knots) {
  std::vector<double> breaks;
  for (int k = order - 2; k <= cvCount - 1; ++k) {
    double v = knots[static_cast<std::size_t>(k)];
    if (breaks.empty() || v > breaks.back()) breaks.push_back(v);
  }
  return breaks;
}

}  // namespace zem
