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

Flanger::Flanger() : line(static_cast<std::size_t>(lineLength(kDesignRate)), 0.0f) {
  applyRate(kDesignRate);
}

int32_t Flanger::lineLength(float rate) noexcept { return static_cast<int32_t>(rate / 2.0f); }

int32_t Flanger::storageLength(float rate) const noexcept { return lineLength(rate); }

void Flanger::prepare(float rate, std::vector<float>&& fresh) noexcept {
  line = std::move(fresh);
  readPosition = 0.0f;
  applyRate(rate);
}

void Flanger::reset() noexcept {
  std::fill(line.begin(), line.end(), 0.0f);
  readPosition = 0.0f;
  sinePhase = 0.0;
  sweepValue = 0.0f;
  applyRate(sampleRate);
}

void Flanger::applyRate(float rate) noexcept {
  sampleRate = rate;
  writeIndex =
      static_cast<int32_t>(static_cast<double>(rate) * 0.01) % static_cast<int32_t>(line.size());
  centreFactor = static_cast<double>(rate) * static_cast<double>(0.02f);
  depthFactor = static_cast<double>(rate) * static_cast<double>(0.01f);
  sineUnit = 6.283184f / (rate / 2.0f);
  centreDelay.store(samplesToFloat(static_cast<double>(centreSetting.load()) * centreFactor));
  sweepDepth.store(samplesToFloat(static_cast<double>(depthSetting.load()) * depthFactor));
  sineRate.store(rateSetting.load() * sineUnit);
  setTriangleStep(rateSetting.load() * 3.0f / rate);
}

void Flanger::setTriangleStep(float step) noexcept {
  triangleSetting.store(step);
  storeShared(triangleSettings, loadShared(triangleSettings) + 1);
}

void Flanger::applyTriangleSetting() noexcept {
  const uint32_t settings = loadShared(triangleSettings);
  if (settings == appliedTriangleSettings) return;
  appliedTriangleSettings = settings;
  triangleStep = triangleSetting.load();
}

Flanger::Tap Flanger::tap() noexcept {
  return {line.data(),
          static_cast<int32_t>(line.size()),
          static_cast<float>(line.size()),
          centreDelay.load(),
          sweepDepth.load(),
          wet.load(),
          dry.load(),
          inputGain.load()};
}

void Flanger::processSamples(const float* in, float* out, int32_t count) noexcept {
  applyTriangleSetting();
  const Tap lineTap = tap();
  const bool sine = waveform.load() < 0.5f;
  const double sineStep = static_cast<double>(sineRate.load());
  int32_t write = writeIndex;
  float value = sweepValue;
  float step = triangleStep;
  double phase = sinePhase;
  float position = readPosition;
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
  writeIndex = write;
  sweepValue = value;
  triangleStep = step;
  sinePhase = phase;
  readPosition = position;
}

// The sine LFO in two passes per piece: its phases (a short serial chain), then their sines in
// SIMD lanes.
void Flanger::processBlock(const float* in, float* out, int32_t count,
                           const RenderKernels& kernels) noexcept {
  if (waveform.load() >= 0.5f) {
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
    : flanger(owner),
      kernels(renderKernels),
      lineTap(owner.tap()),
      rate(static_cast<double>(owner.sineRate.load())),
      write(owner.writeIndex),
      value(owner.sweepValue),
      phase(owner.sinePhase),
      position(owner.readPosition) {}

Flanger::Run::~Run() {
  flanger.writeIndex = write;
  flanger.sweepValue = value;
  flanger.sinePhase = phase;
  flanger.readPosition = position;
}

// The sine's values after each of those samples.
void Flanger::Run::prepare(int32_t first, int32_t n) noexcept {
  for (int32_t k = first; k < first + n; ++k) {
    angles[static_cast<std::size_t>(k)] = phase;
    phase += rate;
    if (phase > kSineRestart || phase < -kSineRestart) phase = 0.0;
  }
  kernels.sines(angles.data() + first, sines.data() + first, n);
}

void Flanger::advanceSine(double& phase, float& value, double step) noexcept {
  value = static_cast<float>(std::sin(phase));
  phase += step;
  if (phase > kSineRestart || phase < -kSineRestart) phase = 0.0;
}

// A value whose delay in samples or LFO step overflows is ignored like a non-finite one.
void Flanger::setCentreDelay(float v) noexcept {
  const float samples = samplesToFloat(static_cast<double>(v) * centreFactor);
  if (!std::isfinite(samples)) return;
  centreSetting.store(v);
  centreDelay.store(samples);
}

void Flanger::setSweepDepth(float v) noexcept {
  const float samples = samplesToFloat(static_cast<double>(v) * depthFactor);
  if (!std::isfinite(samples)) return;
  depthSetting.store(v);
  sweepDepth.store(samples);
}

void Flanger::setRate(float v) noexcept {
  const float sineStep = v * sineUnit;
  const float triangle = v * 3.0f / sampleRate;
  if (!std::isfinite(sineStep) || !std::isfinite(triangle)) return;
  rateSetting.store(v);
  sineRate.store(sineStep);
  setTriangleStep(triangle);
}

float Flanger::getCentreDelay() const noexcept {
  return static_cast<float>(static_cast<double>(centreDelay.load()) / centreFactor);
}

float Flanger::getSweepDepth() const noexcept {
  return static_cast<float>(static_cast<double>(sweepDepth.load()) / depthFactor);
}

float Flanger::getRate() const noexcept { return sineRate.load() / sineUnit; }
