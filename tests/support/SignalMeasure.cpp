// Measurements on rendered audio.
#include "tests/support/SignalMeasure.h"

#include <algorithm>
#include <cmath>

namespace signal_measure {

std::vector<double> risingCrossings(std::span<const float> x, std::size_t from) {
  std::vector<double> crossings;
  for (std::size_t k = std::max<std::size_t>(from, 1); k < x.size(); ++k) {
    const double a = x[k - 1];
    const double b = x[k];
    if (a < 0.0 && b >= 0.0) crossings.push_back(static_cast<double>(k - 1) + a / (a - b));
  }
  return crossings;
}

double frequency(std::span<const float> x, double rate, std::size_t from) {
  const std::vector<double> crossings = risingCrossings(x, from);
  if (crossings.size() < 2) return 0.0;
  return static_cast<double>(crossings.size() - 1) / (crossings.back() - crossings.front()) * rate;
}

double cents(double measured, double expected) { return 1200.0 * std::log2(measured / expected); }

std::optional<std::size_t> firstNonZero(std::span<const float> x, std::size_t from) {
  for (std::size_t k = from; k < x.size(); ++k) {
    if (x[k] != 0.0f) return k;
  }
  return std::nullopt;
}

double rms(std::span<const float> x) {
  if (x.empty()) return 0.0;
  double sum = 0.0;
  for (float v : x) sum += static_cast<double>(v) * static_cast<double>(v);
  return std::sqrt(sum / static_cast<double>(x.size()));
}

bool allFinite(std::span<const float> x) { return !firstNonFinite(x).has_value(); }

std::optional<std::size_t> firstNonFinite(std::span<const float> x) {
  for (std::size_t k = 0; k < x.size(); ++k) {
    if (!std::isfinite(x[k])) return k;
  }
  return std::nullopt;
}

std::size_t subnormalCount(std::span<const float> x) {
  std::size_t count = 0;
  for (float v : x) count += std::fpclassify(v) == FP_SUBNORMAL ? 1u : 0u;
  return count;
}

bool allZero(std::span<const float> x) { return !firstNonZero(x).has_value(); }

}  // namespace signal_measure
