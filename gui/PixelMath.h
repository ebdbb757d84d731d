// Turning the controls' float arithmetic into pixels and indexes. A float outside the int32
// range, or not a number, must never reach a plain conversion (that is undefined behaviour), so
// every such conversion goes through these.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

// `x` truncated toward zero, saturated to the int32 range; 0 for NaN.
inline std::int32_t pixelOf(float x) {
  if (std::isnan(x)) return 0;
  constexpr float kHigh = 2147483520.0f;  // the largest float below 2^31
  if (x >= kHigh) return std::numeric_limits<std::int32_t>::max();
  if (x <= -kHigh) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(x);
}

// trunc(x) clamped into [low, high]; `low` for NaN.
inline std::int32_t indexOf(float x, std::int32_t low, std::int32_t high) {
  if (std::isnan(x)) return low;
  const std::int32_t truncated = pixelOf(x);
  return truncated < low ? low : (truncated > high ? high : truncated);
}
