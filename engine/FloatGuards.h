// Guards for the feedback loops: values that must not stay in a loop's state are replaced by 0.
// `flushToZero` is the reverb's designed flush (zero or denormal exponent), widened to the
// all-ones exponent so that an inf or NaN written by a burst of huge values dies out as well.
// `assignFinite` is how settings ignore inf and NaN. `DenormalScope` sets flush-to-zero and
// denormals-are-zero for one render call and restores the caller's mode afterwards; the effects
// rely on it to keep decaying tails out of denormal arithmetic.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

// Zero, denormal, inf and NaN give 0; every normal number passes unchanged.
[[nodiscard]] inline float flushToZero(float value) noexcept {
  const uint32_t exponent = std::bit_cast<uint32_t>(value) & 0x7F800000u;
  return (exponent == 0u || exponent == 0x7F800000u) ? 0.0f : value;
}

// inf and NaN give 0; every finite number (denormals included) passes unchanged.
[[nodiscard]] inline float finiteOrZero(float value) noexcept {
  return (std::bit_cast<uint32_t>(value) & 0x7F800000u) == 0x7F800000u ? 0.0f : value;
}

// Stores `value` in `field` unless it is inf or NaN (settings ignore non-finite host values).
inline void assignFinite(float& field, float value) noexcept {
  if (std::isfinite(value)) field = value;
}

class DenormalScope {
 public:
#if defined(__SSE__)
  DenormalScope() noexcept : saved(_mm_getcsr()) { _mm_setcsr(saved | kFlushBits); }
  ~DenormalScope() { _mm_setcsr(saved); }
#else
  DenormalScope() noexcept = default;
#endif
  DenormalScope(const DenormalScope&) = delete;
  DenormalScope& operator=(const DenormalScope&) = delete;

 private:
#if defined(__SSE__)
  static constexpr unsigned kFlushBits = 0x8040u;  // MXCSR flush-to-zero (15) and DAZ (6)
  unsigned saved;
#endif
};
