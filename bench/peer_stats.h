// The figures the benchmarks print of repeated timings: the median, which a
// few disturbed rounds do not move, and the fastest and slowest round, which
// show how much the machine disturbed them.
#pragma once

#include <algorithm>
#include <vector>

struct Spread {
  double median = -1, low = -1, high = -1;
};

inline Spread SpreadOf(std::vector<double> v) {
  Spread s;
  if (v.empty()) return s;
  std::sort(v.begin(), v.end());
  size_t n = v.size();
  s.median = n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
  s.low = v.front();
  s.high = v.back();
  return s;
}

inline double Median(const std::vector<double>& v) { return SpreadOf(v).median; }
