// Lowpass-feedback comb filter of the reverb: the delayed sample is smoothed by a one-pole
// lowpass and fed back with the room size as gain. Values read from the line and the lowpass
// state are flushed (zero, denormal, inf, NaN → 0) so the tail neither slows down nor sticks.
#pragma once

#include <cstdint>

#include "engine/FloatGuards.h"

class CombFilter {
 public:
  // Uses `size` samples at `line` (storage owned by the reverb) and restarts at its beginning.
  void attach(float* line, int32_t size) noexcept;
  // Render side: the reverb passes its settings on before each block.
  void setFeedback(float value) noexcept { feedback = value; }
  void setDamp(float value) noexcept;

  [[nodiscard]] float process(float input) noexcept {
    const float out = flushToZero(buffer[bufferIndex]);
    filterStore = flushToZero(out * damp2 + filterStore * damp1);
    buffer[bufferIndex] = input + filterStore * feedback;
    if (++bufferIndex >= bufferSize) bufferIndex = 0;
    return out;
  }

 private:
  friend class Reverb;  // gathers the combs into lanes for its block form

  float feedback = 0.0f;
  float filterStore = 0.0f;
  float damp1 = 0.0f;
  float damp2 = 1.0f;
  float* buffer = nullptr;
  int32_t bufferSize = 0;
  int32_t bufferIndex = 0;
};
