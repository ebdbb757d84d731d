// Measurements on rendered audio for the engine tests: pitch from rising zero crossings, first
// non-zero sample, level, and checks for non-finite or subnormal samples.
#pragma once

#include <cmath>
#include <cstddef>
#include <optional>
#include <span>
#include <vector>

namespace signal_measure {

// Rising zero crossings at or after `from`, as fractional sample positions (linear interpolation).
inline std::vector<double> risingCrossings(std::span<const float> x, std::size_t from = 0) {
  std::vector<double> crossings;
  for (std::size_t k = std::max<std::size_t>(from, 1); k < x.size(); ++k) {
    const double a = x[k - 1];
    const double b = x[k];
    if (a < 0.0 && b >= 0.0) crossings.push_back(double(k - 1) + a / (a - b));
  }
  return crossings;
}

// Frequency in Hz from the span between the first and last rising crossing after `from`.
inline double frequency(std::span<const float> x, double rate, std::size_t from = 0) {
  const std::vector<double> crossings = risingCrossings(x, from);
  if (crossings.size() < 2) return 0.0;
  return double(crossings.size() - 1) / (crossings.back() - crossings.front()) * rate;
}

// Distance of `measured` from `expected` in cents.
inline double cents(double measured, double expected) {
  return 1200.0 * std::log2(measured / expected);
}

inline std::optional<std::size_t> firstNonZero(std::span<const float> x, std::size_t from = 0) {
  for (std::size_t k = from; k < x.size(); ++k) {
    if (x[k] != 0.0f) return k;
  }
  return std::nullopt;
}

inline double rms(std::span<const float> x) {
  if (x.empty()) return 0.0;
  double sum = 0.0;
  for (float v : x) sum += double(v) * double(v);
  return std::sqrt(sum / double(x.size()));
}

inline bool allFinite(std::span<const float> x) {
  for (float v : x) {
    if (!std::isfinite(v)) return false;
  }
  return true;
}

inline std::size_t subnormalCount(std::span<const float> x) {
  std::size_t count = 0;
  for (float v : x) count += std::fpclassify(v) == FP_SUBNORMAL ? 1u : 0u;
  return count;
}

inline bool allZero(std::span<const float> x) { return !firstNonZero(x).has_value(); }

}  // namespace signal_measure
