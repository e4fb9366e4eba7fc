#pragma once
// Timing helpers shared by the benchmarks.
#include <QElapsedTimer>

#include <algorithm>
#include <functional>
#include <vector>

namespace bench {

// Wall-clock milliseconds the work takes.
inline double millis(const std::function<void()>& work) {
  QElapsedTimer t;
  t.start();
  work();
  return double(t.nsecsElapsed()) / 1e6;
}

// The middle one of the times (the upper middle of an even count).
inline double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace bench
