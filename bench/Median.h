#pragma once
// The median of repeated measurements.
#include <algorithm>
#include <vector>

namespace zem::bench {

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0.0 : values[values.size() / 2];
}

}  // namespace zem::bench
