// The phaser's per-sample loop and its rate-dependent settings.
#include "engine/Phaser.h"

#include <algorithm>
#include <cmath>

#include "engine/EngineRate.h"
#include "engine/FloatGuards.h"
#include "engine/RenderKernels.h"

namespace {

constexpr float kTwoPi = 6.28318f;  // the LFO's wrap point, as designed

// Keeps the LFO phase in [0, 2π) for any increment; the designed single subtraction covers
// every increment a 0-1 rate gives.
float wrapSweep(float phase) noexcept {
  if (phase >= kTwoPi) phase -= kTwoPi;
  if (phase >= 0.0f && phase < kTwoPi) return phase;
  if (!std::isfinite(phase)) return 0.0f;
  phase = std::fmod(phase, kTwoPi);
  return phase < 0.0f ? phase + kTwoPi : phase;
}

}  // namespace

Phaser::Phaser() noexcept { prepare(kDesignRate, {}); }

void Phaser::prepare(float rate, std::vector<float>&&) noexcept {
  sampleRate_ = rate;
  minimum_.store(boundFor(minimumSetting_.load()));
  maximum_.store(boundFor(maximumSetting_.load()));
  sweepIncrement_.store(stepFor(rateSetting_.load()));
}

float Phaser::boundFor(float v) const noexcept { return v * 2600.0f / (sampleRate_ * 0.5f); }

float Phaser::stepFor(float v) const noexcept { return v / sampleRate_ * kTwoPi; }

void Phaser::reset() noexcept {
  stages_ = {};
  sweepPhase_ = 0.0f;
  lastOutput_ = 0.0f;
}

void Phaser::processSamples(const float* in, float* out, int32_t count) noexcept {
  const float low = minimum_.load();
  const float span = maximum_.load() - low;
  const float loop = feedback_.load();
  const float mix = depth_.load();
  const float step = sweepIncrement_.load();
  float phase = sweepPhase_;
  float last = lastOutput_;
  float coefficient = stages_[0].coefficient;
  for (int32_t k = 0; k < count; ++k) {
    const float x = in[k];
    const float d = low + span * (static_cast<float>(std::sin(static_cast<double>(phase))) + 1.0f) / 2.0f;
    phase = wrapSweep(phase + step);
    const float denominator = 1.0f + d;
    if (denominator != 0.0f) {  // d = -1 keeps the previous coefficient
      const float a = (1.0f - d) / denominator;
      if (std::isfinite(a)) coefficient = a;
    }
    float y = x + loop * last;
    for (Stage& stage : stages_) {
      const float o = y * -coefficient + stage.state;
      stage.state = finiteOrZero(o * coefficient + y);
      y = o;
    }
    last = finiteOrZero(y);
    out[k] = x + y * mix;
  }
  for (Stage& stage : stages_) stage.coefficient = coefficient;
  sweepPhase_ = phase;
  lastOutput_ = last;
}

// A value whose scaled form overflows is ignored like a non-finite one.
void Phaser::setMinimum(float v) noexcept {
  const float bound = boundFor(v);
  if (!std::isfinite(bound)) return;
  minimumSetting_.store(v);
  minimum_.store(bound);
}

void Phaser::setMaximum(float v) noexcept {
  const float bound = boundFor(v);
  if (!std::isfinite(bound)) return;
  maximumSetting_.store(v);
  maximum_.store(bound);
}

void Phaser::setRate(float v) noexcept {
  const float step = stepFor(v);
  if (!std::isfinite(step)) return;
  rateSetting_.store(v);
  sweepIncrement_.store(step);
}

float Phaser::getMinimum() const noexcept {
  return minimum_.load() * (sampleRate_ * 0.5f) / 2600.0f;
}

float Phaser::getMaximum() const noexcept {
  return maximum_.load() * (sampleRate_ * 0.5f) / 2600.0f;
}

float Phaser::getRate() const noexcept { return sweepIncrement_.load() * sampleRate_ / kTwoPi; }

// Three passes per piece: the LFO phases (a short serial chain), their sines in SIMD lanes, and
// the allpass chain with its state in registers.
void Phaser::processBlock(const float* in, float* out, int32_t count,
                          const RenderKernels& kernels) noexcept {
  Run run(*this, kernels);
  for (int32_t first = 0; first < count; first += kPiece) {
    const int32_t n = std::min(kPiece, count - first);
    run.prepare(0, n);
    Run::Chain chain = run.chain();
    for (int32_t k = 0; k < n; ++k) out[first + k] = run.sample(chain, k, in[first + k]);
    run.keep(chain);
  }
}

Phaser::Run::Run(Phaser& owner, const RenderKernels& renderKernels) noexcept
    : phaser_(owner),
      kernels_(renderKernels),
      low_(owner.minimum_.load()),
      span_(owner.maximum_.load() - low_),
      loop_(owner.feedback_.load()),
      mix_(owner.depth_.load()),
      step_(owner.sweepIncrement_.load()),
      phase_(owner.sweepPhase_),
      kept_{owner.stages_[0].coefficient, owner.lastOutput_, {}} {
  for (std::size_t i = 0; i < kept_.state.size(); ++i) kept_.state[i] = owner.stages_[i].state;
}

Phaser::Run::~Run() {
  for (std::size_t i = 0; i < kept_.state.size(); ++i) {
    phaser_.stages_[i].coefficient = kept_.coefficient;
    phaser_.stages_[i].state = kept_.state[i];
  }
  phaser_.sweepPhase_ = phase_;
  phaser_.lastOutput_ = kept_.last;
}

void Phaser::Run::prepare(int32_t first, int32_t n) noexcept {
  for (int32_t k = first; k < first + n; ++k) {
    angles_[static_cast<std::size_t>(k)] = static_cast<double>(phase_);
    phase_ = wrapSweep(phase_ + step_);
  }
  kernels_.sines(angles_.data() + first, sines_.data() + first, n);
}
