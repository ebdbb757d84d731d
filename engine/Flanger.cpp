// The flanger's per-sample loop, its two LFOs and its rate-dependent settings.
#include "engine/Flanger.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "engine/EngineRate.h"
#include "engine/FloatGuards.h"
#include "engine/RenderKernels.h"

namespace {

constexpr double kSineRestart = 3141.592;  // the sine phase restarts at 0 beyond ±1000π

// A delay in samples as a float; products beyond the float range become ±inf explicitly.
float samplesToFloat(double samples) noexcept {
  constexpr double kLargest = static_cast<double>(std::numeric_limits<float>::max());
  if (samples > kLargest) return std::numeric_limits<float>::infinity();
  if (samples < -kLargest) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(samples);
}

}  // namespace

Flanger::Flanger() : line_(static_cast<std::size_t>(lineLength(kDesignRate)), 0.0f) { applyRate(kDesignRate); }

int32_t Flanger::lineLength(float rate) noexcept { return static_cast<int32_t>(rate / 2.0f); }

int32_t Flanger::storageLength(float rate) const noexcept { return lineLength(rate); }

void Flanger::prepare(float rate, std::vector<float>&& fresh) noexcept {
  line_ = std::move(fresh);
  readPosition_ = 0.0f;
  applyRate(rate);
}

void Flanger::reset() noexcept {
  std::fill(line_.begin(), line_.end(), 0.0f);
  readPosition_ = 0.0f;
  sinePhase_ = 0.0;
  sweepValue_ = 0.0f;
  applyRate(sampleRate_);
}

void Flanger::applyRate(float rate) noexcept {
  sampleRate_ = rate;
  writeIndex_ = static_cast<int32_t>(static_cast<double>(rate) * 0.01) % static_cast<int32_t>(line_.size());
  centreFactor_ = static_cast<double>(rate) * static_cast<double>(0.02f);
  depthFactor_ = static_cast<double>(rate) * static_cast<double>(0.01f);
  sineUnit_ = 6.283184f / (rate / 2.0f);
  centreDelay_.store(samplesToFloat(static_cast<double>(centreSetting_.load()) * centreFactor_));
  sweepDepth_.store(samplesToFloat(static_cast<double>(depthSetting_.load()) * depthFactor_));
  sineRate_.store(rateSetting_.load() * sineUnit_);
  setTriangleStep(rateSetting_.load() * 3.0f / rate);
}

void Flanger::setTriangleStep(float step) noexcept {
  triangleSetting_.store(step);
  storeShared(triangleSettings_, loadShared(triangleSettings_) + 1);
}

void Flanger::applyTriangleSetting() noexcept {
  const uint32_t settings = loadShared(triangleSettings_);
  if (settings == appliedTriangleSettings_) return;
  appliedTriangleSettings_ = settings;
  triangleStep_ = triangleSetting_.load();
}

Flanger::Tap Flanger::tap() noexcept {
  return {line_.data(),       static_cast<int32_t>(line_.size()), static_cast<float>(line_.size()), centreDelay_.load(),
          sweepDepth_.load(), wet_.load(), dry_.load(), inputGain_.load()};
}

void Flanger::processSamples(const float* in, float* out, int32_t count) noexcept {
  applyTriangleSetting();
  const Tap lineTap = tap();
  const bool sine = waveform_.load() < 0.5f;
  const double sineStep = static_cast<double>(sineRate_.load());
  int32_t write = writeIndex_;
  float value = sweepValue_;
  float step = triangleStep_;
  double phase = sinePhase_;
  float position = readPosition_;
  if (sine) {
    for (int32_t k = 0; k < count; ++k) {
      out[k] = flangeSample(lineTap, in[k], value, write, position);
      advanceSine(phase, value, sineStep);
    }
  } else {
    for (int32_t k = 0; k < count; ++k) {
      out[k] = flangeSample(lineTap, in[k], value, write, position);
      advanceTriangle(value, step);
    }
  }
  writeIndex_ = write;
  sweepValue_ = value;
  triangleStep_ = step;
  sinePhase_ = phase;
  readPosition_ = position;
}

// The sine LFO in two passes per piece: its phases (a short serial chain), then their sines in
// SIMD lanes.
void Flanger::processBlock(const float* in, float* out, int32_t count,
                           const RenderKernels& kernels) noexcept {
  if (waveform_.load() >= 0.5f) {
    processSamples(in, out, count);  // the triangle needs no sine: the per-sample form is as fast
    return;
  }
  Run run(*this, kernels);
  for (int32_t first = 0; first < count; first += kPiece) {
    const int32_t n = std::min(kPiece, count - first);
    run.prepare(0, n);
    for (int32_t k = 0; k < n; ++k) out[first + k] = run.sample(k, in[first + k]);
  }
}

Flanger::Run::Run(Flanger& owner, const RenderKernels& renderKernels) noexcept
    : flanger_(owner),
      kernels_(renderKernels),
      lineTap_(owner.tap()),
      rate_(static_cast<double>(owner.sineRate_.load())),
      write_(owner.writeIndex_),
      value_(owner.sweepValue_),
      phase_(owner.sinePhase_),
      position_(owner.readPosition_) {}

Flanger::Run::~Run() {
  flanger_.writeIndex_ = write_;
  flanger_.sweepValue_ = value_;
  flanger_.sinePhase_ = phase_;
  flanger_.readPosition_ = position_;
}

// The sine's values after each of those samples.
void Flanger::Run::prepare(int32_t first, int32_t n) noexcept {
  for (int32_t k = first; k < first + n; ++k) {
    angles_[static_cast<std::size_t>(k)] = phase_;
    phase_ += rate_;
    if (phase_ > kSineRestart || phase_ < -kSineRestart) phase_ = 0.0;
  }
  kernels_.sines(angles_.data() + first, sines_.data() + first, n);
}

void Flanger::advanceSine(double& phase, float& value, double step) noexcept {
  value = static_cast<float>(std::sin(phase));
  phase += step;
  if (phase > kSineRestart || phase < -kSineRestart) phase = 0.0;
}

// A value whose delay in samples or LFO step overflows is ignored like a non-finite one.
void Flanger::setCentreDelay(float v) noexcept {
  const float samples = samplesToFloat(static_cast<double>(v) * centreFactor_);
  if (!std::isfinite(samples)) return;
  centreSetting_.store(v);
  centreDelay_.store(samples);
}

void Flanger::setSweepDepth(float v) noexcept {
  const float samples = samplesToFloat(static_cast<double>(v) * depthFactor_);
  if (!std::isfinite(samples)) return;
  depthSetting_.store(v);
  sweepDepth_.store(samples);
}

void Flanger::setRate(float v) noexcept {
  const float sineStep = v * sineUnit_;
  const float triangle = v * 3.0f / sampleRate_;
  if (!std::isfinite(sineStep) || !std::isfinite(triangle)) return;
  rateSetting_.store(v);
  sineRate_.store(sineStep);
  setTriangleStep(triangle);
}

float Flanger::getCentreDelay() const noexcept {
  return static_cast<float>(static_cast<double>(centreDelay_.load()) / centreFactor_);
}

float Flanger::getSweepDepth() const noexcept {
  return static_cast<float>(static_cast<double>(sweepDepth_.load()) / depthFactor_);
}

float Flanger::getRate() const noexcept { return sineRate_.load() / sineUnit_; }
