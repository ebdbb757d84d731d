// Six-stage phaser: first-order allpass sections whose common coefficient follows a sine LFO
// between a lower and an upper bound, with the last output fed back to the input. Bounds are
// stored as v × 2600 Hz ÷ (rate / 2); the LFO step as v ÷ rate × 6.28318 per sample.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/BusEffect.h"
#include "engine/FloatGuards.h"
#include "engine/SharedField.h"

class Phaser final : public BusEffect {
 public:
  Phaser() noexcept;

  // The phaser needs no storage.
  [[nodiscard]] int32_t storageLength(float) const noexcept override { return 0; }
  // Rescales the bounds and the LFO step for the rate.
  void prepare(float rate, std::vector<float>&& storage) noexcept override;
  // Clears the allpass states, the feedback and the LFO.
  void reset() noexcept override;
  // The straightforward per-sample form.
  void processSamples(const float* in, float* out, int32_t count) noexcept override;
  // The same samples, computed in passes over the block with the kernels' sines.
  void processBlock(const float* in, float* out, int32_t count,
                    const RenderKernels& kernels) noexcept override;

  // Non-finite values are ignored.
  void setDepth(float v) noexcept { assignFinite(depth, v); }
  void setFeedback(float v) noexcept { assignFinite(feedback, v); }
  void setMinimum(float v) noexcept;
  void setMaximum(float v) noexcept;
  void setRate(float v) noexcept;
  [[nodiscard]] float getDepth() const noexcept { return depth.load(); }
  [[nodiscard]] float getFeedback() const noexcept { return feedback.load(); }
  [[nodiscard]] float getMinimum() const noexcept;
  [[nodiscard]] float getMaximum() const noexcept;
  [[nodiscard]] float getRate() const noexcept;

 private:
  // The block form's state, held in locals for one block: prepare(first, n) works out the LFO
  // of samples first .. first+n-1 of a piece of at most kPiece samples (pieces and their parts
  // in order); the caller copies the allpass chain's state into a local (chain()) so that it
  // stays in registers, gets output k from sample(chain, k, x) for each prepared k in turn and
  // hands the state back (keep()); the destructor stores everything in the phaser. The same
  // arithmetic, in the same order, as processSamples.
  static constexpr int32_t kPiece = 256;
  class Run {
   public:
    struct Chain {
      float coefficient;
      float last;
      std::array<float, 6> state;
    };

    Run(Phaser& phaser, const RenderKernels& kernels) noexcept;
    ~Run();
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    void prepare(int32_t first, int32_t n) noexcept;
    [[nodiscard]] Chain chain() const noexcept { return kept; }
    void keep(const Chain& chain) noexcept { kept = chain; }
    [[nodiscard]] float sample(Chain& chain, int32_t k, float x) const noexcept {
      const float d = low + span * (sines[static_cast<std::size_t>(k)] + 1.0f) / 2.0f;
      const float denominator = 1.0f + d;
      if (denominator != 0.0f) {  // d = -1 keeps the previous coefficient
        const float a = (1.0f - d) / denominator;
        if (std::isfinite(a)) chain.coefficient = a;
      }
      const float coefficient = chain.coefficient;
      float y = x + loop * chain.last;
      for (float& stageState : chain.state) {
        const float o = y * -coefficient + stageState;
        stageState = finiteOrZero(o * coefficient + y);
        y = o;
      }
      chain.last = finiteOrZero(y);
      return x + y * mix;
    }

   private:
    Phaser& phaser;
    const RenderKernels& kernels;
    float low;
    float span;
    float loop;
    float mix;
    float step;
    float phase;
    Chain kept;
    std::array<double, kPiece> angles;
    std::array<float, kPiece> sines;
  };

  struct Stage {
    float coefficient = 0.0f;
    float state = 0.0f;
  };

  [[nodiscard]] float boundFor(float v) const noexcept;
  [[nodiscard]] float stepFor(float v) const noexcept;

  std::array<Stage, 6> stages{};
  float sweepPhase = 0.0f;
  float lastOutput = 0.0f;
  // Settings, written by the setters (any thread) and read by the render.
  SharedValue<float> minimum;
  SharedValue<float> maximum;
  SharedValue<float> feedback = 0.7f;
  SharedValue<float> sweepIncrement;
  SharedValue<float> depth = 1.0f;
  // The host values behind the three rate-dependent fields, kept to rescale them.
  SharedValue<float> minimumSetting = 440.0f;
  SharedValue<float> maximumSetting = 1600.0f;
  SharedValue<float> rateSetting = 0.5f;
  float sampleRate;
};
