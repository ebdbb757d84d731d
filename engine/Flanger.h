// Flanger: a half-second line read at a delay of centre + depth × |LFO| samples with linear
// interpolation; the delayed signal, scaled by the wet level, is both mixed into the output and
// fed back into the line. The LFO is a sine (2v Hz, folded) or a triangle (1.5v Hz up and down).
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/BusEffect.h"
#include "engine/FloatGuards.h"
#include "engine/SharedField.h"

class Flanger final : public BusEffect {
 public:
  // A line for 44100 Hz with the designed initial values.
  Flanger();

  // Samples of line for a rate (half a second).
  [[nodiscard]] int32_t storageLength(float rate) const noexcept override;
  // Takes a zeroed line of storageLength(rate) samples and rescales delays and LFO steps for the
  // rate; the LFO runs on.
  void prepare(float rate, std::vector<float>&& fresh) noexcept override;
  // Clears the line and restarts the positions and both LFOs.
  void reset() noexcept override;
  // The straightforward per-sample form.
  void processSamples(const float* in, float* out, int32_t count) noexcept override;
  // The same samples; with the sine LFO computed in passes over the block with the kernels'
  // sines.
  void processBlock(const float* in, float* out, int32_t count,
                    const RenderKernels& kernels) noexcept override;

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
  [[nodiscard]] float getDryLevel() const noexcept { return dry.load(); }
  [[nodiscard]] float getWetLevel() const noexcept { return wet.load(); }
  [[nodiscard]] float getInputGain() const noexcept { return inputGain.load(); }
  [[nodiscard]] float getWaveform() const noexcept { return waveform.load(); }

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

  // The block form's state with the sine LFO, held in locals for one block: prepare(first, n)
  // works out the sine of samples first .. first+n-1 of a piece of at most kPiece samples
  // (pieces and their parts in order), sample(k, x) then gives output k for each prepared k in
  // turn, and the destructor stores the state back. The same arithmetic, in the same order, as
  // processSamples with the sine waveform.
  static constexpr int32_t kPiece = 256;
  class Run {
   public:
    Run(Flanger& flanger, const RenderKernels& kernels) noexcept;
    ~Run();
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    void prepare(int32_t first, int32_t n) noexcept;
    [[nodiscard]] float sample(int32_t k, float x) noexcept {
      const float y = flangeSample(lineTap, x, value, write, position);
      value = sines[static_cast<std::size_t>(k)];
      return y;
    }

   private:
    Flanger& flanger;
    const RenderKernels& kernels;
    Tap lineTap;
    double rate;
    int32_t write;
    float value;
    double phase;
    float position;
    std::array<double, kPiece> angles;
    std::array<float, kPiece> sines;
  };

  [[nodiscard]] static int32_t lineLength(float rate) noexcept;
  [[nodiscard]] Tap tap() noexcept;
  void applyRate(float rate) noexcept;
  // Setter side: the triangle takes `step` (size and direction) before its next block.
  void setTriangleStep(float step) noexcept;
  // Render side: the triangle step of the latest rate setting, if one came since the last block.
  void applyTriangleSetting() noexcept;
  static void advanceSine(double& phase, float& value, double step) noexcept;

  // One sample through the line at the sweep value `value`; moves the write index on.
  static float flangeSample(const Tap& tap, float x, float value, int32_t& write,
                            float& position) noexcept {
    float delay = tap.centre + tap.depth * std::fabs(value);
    if (delay < 1.0f) delay = 1.0f;
    position = static_cast<float>(write) - delay;
    // Settings outside 0-1 can ask for more delay than the line holds: reduce modulo the line.
    if (!(position > -tap.lengthF && position < tap.lengthF)) {
      position = std::isfinite(position) ? std::fmod(position, tap.lengthF)
                                         : static_cast<float>(write) - 1.0f;
    }
    int32_t i0 = static_cast<int32_t>(position);
    int32_t i1 = i0 + 1;
    const float f = position - static_cast<float>(i0);
    if (i0 < 0) i0 += tap.length;
    if (i0 > tap.length - 1) i0 -= tap.length;
    if (i1 < 0) i1 += tap.length;
    if (i1 > tap.length - 1) i1 -= tap.length;
    const float h = (1.0f - f) * tap.samples[i0] + f * tap.samples[i1];
    tap.samples[write] = finiteOrZero((h * tap.wet + x) * tap.gain);
    write = write == tap.length - 1 ? 0 : write + 1;
    return h * tap.wet + x * tap.dry;
  }

  // Turns down at 1 and up at 0. The turn sets the direction rather than flipping it, so a
  // sweep value left outside 0-1 (by the sine, or by a huge step) heads back instead of
  // sticking there.
  static void advanceTriangle(float& value, float& step) noexcept {
    value += step;
    if (value >= 1.0f) step = -std::fabs(step);
    if (value <= 0.0f) step = std::fabs(step);
  }

  // Render state: the LFOs, the line and its positions.
  float triangleStep = 0.0f;
  double sinePhase = 0.0;
  float sweepValue = 0.0f;
  std::vector<float> line;
  float readPosition = 0.0f;
  int32_t writeIndex;
  // Settings, written by the setters (any thread) and read by the render. A rate setting gives
  // the triangle a new step: counted by the setter, taken up by the render.
  SharedValue<float> inputGain = 0.5f;
  SharedValue<float> wet = 0.5f;
  SharedValue<float> dry = 0.5f;
  SharedValue<float> centreDelay;
  SharedValue<float> sweepDepth;
  SharedValue<float> waveform = 0.0f;
  SharedValue<float> sineRate;
  SharedValue<float> triangleSetting;
  uint32_t triangleSettings = 0;
  uint32_t appliedTriangleSettings = 0;
  // Per-rate factors: samples per unit of centre delay and of sweep depth (0.02 s and 0.01 s),
  // the sine step per unit of rate (2π ÷ (rate / 2)) and the rate itself.
  double centreFactor;
  double depthFactor;
  float sineUnit;
  float sampleRate;
  // Host values behind the rate-dependent fields, kept to rescale them.
  SharedValue<float> centreSetting = 0.5f;
  SharedValue<float> depthSetting = 0.5f;
  SharedValue<float> rateSetting = 0.5f;
};
