// The engine's constants were chosen for 44100 Hz. At any other rate the lengths and steps are
// scaled so that what is heard stays the same in hertz and seconds; at 44100 Hz every scaled
// value equals the designed constant exactly.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

inline constexpr float kDesignRate = 44100.0f;
// Rates the engine retunes for; a host rate outside is tuned for the nearest bound.
inline constexpr float kLowestTuningRate = 8000.0f;
inline constexpr float kHighestTuningRate = 384000.0f;

// A usable rate, or 0 for one that must be ignored (non-finite, zero or negative).
[[nodiscard]] inline float tuningRate(float hostRate) noexcept {
  if (!std::isfinite(hostRate) || hostRate <= 0.0f) return 0.0f;
  return std::clamp(hostRate, kLowestTuningRate, kHighestTuningRate);
}

// A length in samples designed for 44100 Hz, scaled to `rate` and rounded, at least one sample.
[[nodiscard]] inline int32_t scaledLength(int32_t designed, float rate) noexcept {
  const double scaled = std::round(static_cast<double>(designed) * static_cast<double>(rate) /
                                   static_cast<double>(kDesignRate));
  return std::max<int32_t>(1, static_cast<int32_t>(scaled));
}
