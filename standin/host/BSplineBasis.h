#pragma once
// B-spline basis functions shared by curves and surfaces. Knot vectors are
// kept the geometry library's way: order + cvCount - 2 values, without the
// two superfluous end knots.
#include <vector>

namespace zem {

// Checks a knot vector: the right length, finite, not decreasing, and a
// domain of positive length.
bool IsValidKnotVector(int order, int cvCount, const std::vector<double>& knots);

// Clamped knots spread evenly over [0, cvCount - order + 1].
std::vector<double> ClampedUniformKnots(int order, int cvCount);

// The span index s (0 .. cvCount - order) whose knot interval holds t, t
// clamped to the domain; the order non-zero basis functions at t are those
// of control points s .. s + order - 1.
int FindSpan(int order, int cvCount, const std::vector<double>& knots, double t);

// Values and first derivatives of the order non-zero basis functions at t
// in span s.
void BasisFunctions(int order, const std::vector<double>& knots, int span, double t, double* values,
                    double* derivatives);

// The distinct knot values inside the domain, in increasing order.
std::vector<double> SpanBreaks(int order, int cvCount, const std::vector<double>& knots);

}  // namespace zem
