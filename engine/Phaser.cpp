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
  sampleRate = rate;
  minimum.store(boundFor(minimumSetting.load()));
  maximum.store(boundFor(maximumSetting.load()));
  sweepIncrement.store(stepFor(rateSetting.load()));
}

float Phaser::boundFor(float v) const noexcept { return v * 2600.0f / (sampleRate * 0.5f); }

float Phaser::stepFor(float v) const noexcept { return v / sampleRate * kTwoPi; }

void Phaser::reset() noexcept {
  stages = {};
  sweepPhase = 0.0f;
  lastOutput = 0.0f;
}

void Phaser::processSamples(const float* in, float* out, int32_t count) noexcept {
  const float low = minimum.load();
  const float span = maximum.load() - low;
  const float loop = feedback.load();
  const float mix = depth.load();
  const float step = sweepIncrement.load();
  float phase = sweepPhase;
  float last = lastOutput;
  float coefficient = stages[0].coefficient;
  for (int32_t k = 0; k < count; ++k) {
    const float x = in[k];
    const float d =
        low + span * (static_cast<float>(std::sin(static_cast<double>(phase))) + 1.0f) / 2.0f;
    phase = wrapSweep(phase + step);
    const float denominator = 1.0f + d;
    if (denominator != 0.0f) {  // d = -1 keeps the previous coefficient
      const float a = (1.0f - d) / denominator;
      if (std::isfinite(a)) coefficient = a;
    }
    float y = x + loop * last;
    for (Stage& stage : stages) {
      const float o = y * -coefficient + stage.state;
      stage.state = finiteOrZero(o * coefficient + y);
      y = o;
    }
    last = finiteOrZero(y);
    out[k] = x + y * mix;
  }
  for (Stage& stage : stages) stage.coefficient = coefficient;
  sweepPhase = phase;
  lastOutput = last;
}

// A value whose scaled form overflows is ignored like a non-finite one.
void Phaser::setMinimum(float v) noexcept {
  const float bound = boundFor(v);
  if (!std::isfinite(bound)) return;
  minimumSetting.store(v);
  minimum.store(bound);
}

void Phaser::setMaximum(float v) noexcept {
  const float bound = boundFor(v);
  if (!std::isfinite(bound)) return;
  maximumSetting.store(v);
  maximum.store(bound);
}

void Phaser::setRate(float v) noexcept {
  const float step = stepFor(v);
  if (!std::isfinite(step)) return;
  rateSetting.store(v);
  sweepIncrement.store(step);
}

float Phaser::getMinimum() const noexcept { return minimum.load() * (sampleRate * 0.5f) / 2600.0f; }

float Phaser::getMaximum() const noexcept { return maximum.load() * (sampleRate * 0.5f) / 2600.0f; }

float Phaser::getRate() const noexcept { return sweepIncrement.load() * sampleRate / kTwoPi; }

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
    : phaser(owner),
      kernels(renderKernels),
      low(owner.minimum.load()),
      span(owner.maximum.load() - low),
      loop(owner.feedback.load()),
      mix(owner.depth.load()),
      step(owner.sweepIncrement.load()),
      phase(owner.sweepPhase),
      kept{owner.stages[0].coefficient, owner.lastOutput, {}} {
  for (std::size_t i = 0; i < kept.state.size(); ++i) kept.state[i] = owner.stages[i].state;
}

Phaser::Run::~Run() {
  for (std::size_t i = 0; i < kept.state.size(); ++i) {
    phaser.stages[i].coefficient = kept.coefficient;
    phaser.stages[i].state = kept.state[i];
  }
  phaser.sweepPhase = phase;
  phaser.lastOutput = kept.last;
}

void Phaser::Run::prepare(int32_t first, int32_t n) noexcept {
  for (int32_t k = first; k < first + n; ++k) {
    angles[static_cast<std::size_t>(k)] = static_cast<double>(phase);
    phase = wrapSweep(phase + step);
  }
  kernels.sines(angles.data() + first, sines.data() + first, n);
}
