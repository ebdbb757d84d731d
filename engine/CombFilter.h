// Lowpass-feedback comb filter of the reverb: the delayed sample is smoothed by a one-pole
// lowpass and fed back with the room size as gain. Values read from the line and the lowpass
// state are flushed (zero, denormal, inf, NaN → 0) so the tail neither slows down nor sticks.
#pragma once

#include <cstdint>

#include "engine/FloatGuards.h"
#include "engine/SharedField.h"

class CombFilter {
 public:
  // Uses `size` samples at `line` (storage owned by the reverb) and restarts at its beginning.
  void attach(float* line, int32_t size) noexcept;
  void setFeedback(float value) noexcept { feedback.store(value); }
  void setDamp(float value) noexcept;

  // The settings a block works with, read once.
  struct Settings {
    float feedback;
    float damp1;
    float damp2;
  };
  [[nodiscard]] Settings settings() const noexcept {
    return {feedback.load(), damp1.load(), damp2.load()};
  }
  // Render side: the settings process works with until the next call.
  void takeSettings() noexcept { inUse = settings(); }

  [[nodiscard]] float process(float input) noexcept {
    const float out = flushToZero(buffer[bufferIndex]);
    filterStore = flushToZero(out * inUse.damp2 + filterStore * inUse.damp1);
    buffer[bufferIndex] = input + filterStore * inUse.feedback;
    if (++bufferIndex >= bufferSize) bufferIndex = 0;
    return out;
  }

 private:
  friend class Reverb;  // gathers the combs into lanes for its block form

  // The settings (written by the reverb's setters, any thread) and the render's state.
  SharedValue<float> feedback = 0.0f;
  float filterStore = 0.0f;
  SharedValue<float> damp1 = 0.0f;
  SharedValue<float> damp2 = 1.0f;
  Settings inUse{0.0f, 0.0f, 1.0f};
  float* buffer = nullptr;
  int32_t bufferSize = 0;
  int32_t bufferIndex = 0;
};
