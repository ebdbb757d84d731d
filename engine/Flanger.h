// Flanger: a half-second line read at a delay of centre + depth × |LFO| samples with linear
// interpolation; the delayed signal, scaled by the wet level, is both mixed into the output and
// fed back into the line. The LFO is a sine (2v Hz, folded) or a triangle (1.5v Hz up and down).
#pragma once

#include <cstdint>
#include <vector>

#include "engine/FloatGuards.h"
#include "engine/RenderPath.h"

class Flanger {
 public:
  // A line for 44100 Hz with the designed initial values.
  Flanger();

  // Samples of line for a rate (half a second).
  [[nodiscard]] static int32_t lineLength(float rate) noexcept;
  // Takes a zeroed line of lineLength(rate) samples and rescales delays and LFO steps for the
  // rate. Never allocates.
  void retune(float rate, std::vector<float>&& fresh) noexcept;

  // The straightforward per-sample form. `in` and `out` may be the same block.
  void process(const float* in, float* out, int32_t count) noexcept;
  // The same samples, computed in passes over the block on the given path.
  void processBlock(const float* in, float* out, int32_t count, RenderPath path) noexcept;

  // Non-finite values are ignored.
  void setCentreDelay(float v) noexcept;
  void setSweepDepth(float v) noexcept;
  void setRate(float v) noexcept;
  void setDryLevel(float v) noexcept { assignFinite(dry, v); }
  void setWetLevel(float v) noexcept { assignFinite(wet, v); }
  void setInputGain(float v) noexcept { assignFinite(inputGain, v); }
  void setWaveform(float v) noexcept { assignFinite(waveform, v); }
  [[nodiscard]] float getCentreDelay() const noexcept;
  [[nodiscard]] float getSweepDepth() const noexcept;
  [[nodiscard]] float getRate() const noexcept;
  [[nodiscard]] float getDryLevel() const noexcept { return dry; }
  [[nodiscard]] float getWetLevel() const noexcept { return wet; }
  [[nodiscard]] float getInputGain() const noexcept { return inputGain; }
  [[nodiscard]] float getWaveform() const noexcept { return waveform; }

  // The LFO's current output (for observing the sweep).
  [[nodiscard]] float sweep() const noexcept { return sweepValue; }

 private:
  // What one sample through the line needs, read once per block.
  struct Tap {
    float* samples;
    int32_t length;
    float lengthF;
    float centre;
    float depth;
    float wet;
    float dry;
    float gain;
  };

  [[nodiscard]] Tap tap() noexcept;
  static float flangeSample(const Tap& tap, float x, float value, int32_t& write,
                            float& position) noexcept;
  void applyRate(float rate) noexcept;
  void advanceSine(double& phase, float& value) const noexcept;
  void advanceTriangle(float& value, float& step) const noexcept;

  float triangleStep;
  double sinePhase = 0.0;
  float sweepValue = 0.0f;
  std::vector<float> line;
  float readPosition = 0.0f;
  int32_t writeIndex;
  float inputGain = 0.5f;
  float wet = 0.5f;
  float dry = 0.5f;
  float centreDelay;
  float sweepDepth;
  float waveform = 0.0f;
  float sineRate;
  // Per-rate factors: samples per unit of centre delay and of sweep depth (0.02 s and 0.01 s),
  // the sine step per unit of rate (2π ÷ (rate / 2)) and the rate itself.
  double centreFactor;
  double depthFactor;
  float sineUnit;
  float sampleRate;
  // Host values behind the rate-dependent fields, kept to rescale them.
  float centreSetting = 0.5f;
  float depthSetting = 0.5f;
  float rateSetting = 0.5f;
};
