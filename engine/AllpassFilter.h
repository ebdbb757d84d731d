// Schroeder allpass of the reverb with a fixed feedback of 0.5. The value read from the line is
// flushed (zero, denormal, inf, NaN → 0).
#pragma once

#include <cstdint>

#include "engine/FloatGuards.h"

class AllpassFilter {
 public:
  // Uses `size` samples at `line` (storage owned by the reverb) and restarts at its beginning.
  void attach(float* line, int32_t size) noexcept;

  [[nodiscard]] float process(float input) noexcept {
    const float delayed = flushToZero(buffer[bufferIndex]);
    const float out = delayed - input;
    buffer[bufferIndex] = input + delayed * feedback;
    if (++bufferIndex >= bufferSize) bufferIndex = 0;
    return out;
  }

 private:
  friend class Reverb;  // gathers the allpasses into a chain for its block form

  float feedback = 0.5f;
  float* buffer = nullptr;
  int32_t bufferSize = 0;
  int32_t bufferIndex = 0;
};
