// Timing shared by the benchmark programs.
#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

// The wall-clock seconds the work takes.
inline double Seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The median of the runs: the mean of the two middle ones for an even count;
// 0 for none.
inline double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}
