// The flanger's per-sample loop, its two LFOs and its rate-dependent settings.
#include "engine/Flanger.h"

#include <cmath>
#include <limits>

#include "engine/EngineRate.h"
#include "engine/FloatGuards.h"

namespace {

constexpr double kSineRestart = 3141.592;  // the sine phase restarts at 0 beyond ±1000π

// A delay in samples as a float; products beyond the float range become ±inf explicitly.
float samplesToFloat(double samples) noexcept {
  constexpr double kLargest = double(std::numeric_limits<float>::max());
  if (samples > kLargest) return std::numeric_limits<float>::infinity();
  if (samples < -kLargest) return -std::numeric_limits<float>::infinity();
  return float(samples);
}

}  // namespace

Flanger::Flanger() : line(std::size_t(lineLength(kDesignRate)), 0.0f) { applyRate(kDesignRate); }

int32_t Flanger::lineLength(float rate) noexcept { return int32_t(rate / 2.0f); }

void Flanger::retune(float rate, std::vector<float>&& fresh) noexcept {
  line = std::move(fresh);
  readPosition = 0.0f;
  applyRate(rate);
}

void Flanger::applyRate(float rate) noexcept {
  sampleRate = rate;
  writeIndex = int32_t(double(rate) * 0.01) % int32_t(line.size());
  centreFactor = double(rate) * double(0.02f);
  depthFactor = double(rate) * double(0.01f);
  sineUnit = 6.283184f / (rate / 2.0f);
  centreDelay = samplesToFloat(double(centreSetting) * centreFactor);
  sweepDepth = samplesToFloat(double(depthSetting) * depthFactor);
  sineRate = rateSetting * sineUnit;
  triangleStep = rateSetting * 3.0f / rate;
}

void Flanger::process(const float* in, float* out, int32_t count) noexcept {
  float* samples = line.data();
  const int32_t length = int32_t(line.size());
  const float lengthF = float(length);
  const float centre = centreDelay;
  const float depth = sweepDepth;
  const float wetLevel = wet;
  const float dryLevel = dry;
  const float gain = inputGain;
  const bool sine = waveform < 0.5f;
  int32_t write = writeIndex;
  float value = sweepValue;
  float step = triangleStep;
  double phase = sinePhase;
  float position = readPosition;
  for (int32_t k = 0; k < count; ++k) {
    const float x = in[k];
    float delay = centre + depth * std::fabs(value);
    if (delay < 1.0f) delay = 1.0f;
    position = float(write) - delay;
    // Settings outside 0-1 can ask for more delay than the line holds: reduce modulo the line.
    if (!(position > -lengthF && position < lengthF)) {
      position = std::isfinite(position) ? std::fmod(position, lengthF) : float(write) - 1.0f;
    }
    int32_t i0 = int32_t(position);
    int32_t i1 = i0 + 1;
    const float f = position - float(i0);
    if (i0 < 0) i0 += length;
    if (i0 > length - 1) i0 -= length;
    if (i1 < 0) i1 += length;
    if (i1 > length - 1) i1 -= length;
    const float h = (1.0f - f) * samples[i0] + f * samples[i1];
    out[k] = h * wetLevel + x * dryLevel;
    samples[write] = finiteOrZero((h * wetLevel + x) * gain);
    write = write == length - 1 ? 0 : write + 1;
    if (sine) {
      advanceSine(phase, value);
    } else {
      advanceTriangle(value, step);
    }
  }
  writeIndex = write;
  sweepValue = value;
  triangleStep = step;
  sinePhase = phase;
  readPosition = position;
}

void Flanger::advanceSine(double& phase, float& value) const noexcept {
  value = float(std::sin(phase));
  phase += double(sineRate);
  if (phase > kSineRestart || phase < -kSineRestart) phase = 0.0;
}

// Turns down at 1 and up at 0. The turn sets the direction rather than flipping it, so a sweep
// value left outside 0-1 (by the sine, or by a huge step) heads back instead of sticking there.
void Flanger::advanceTriangle(float& value, float& step) const noexcept {
  value += step;
  if (value >= 1.0f) step = -std::fabs(step);
  if (value <= 0.0f) step = std::fabs(step);
}

void Flanger::setCentreDelay(float v) noexcept {
  if (!std::isfinite(v)) return;
  centreSetting = v;
  centreDelay = samplesToFloat(double(v) * centreFactor);
}

void Flanger::setSweepDepth(float v) noexcept {
  if (!std::isfinite(v)) return;
  depthSetting = v;
  sweepDepth = samplesToFloat(double(v) * depthFactor);
}

void Flanger::setRate(float v) noexcept {
  if (!std::isfinite(v)) return;
  rateSetting = v;
  sineRate = v * sineUnit;
  triangleStep = v * 3.0f / sampleRate;
}

float Flanger::getCentreDelay() const noexcept {
  return float(double(centreDelay) / centreFactor);
}

float Flanger::getSweepDepth() const noexcept { return float(double(sweepDepth) / depthFactor); }

float Flanger::getRate() const noexcept { return sineRate / sineUnit; }

void Flanger::processBlock(const float* in, float* out, int32_t count, RenderPath) noexcept {
  process(in, out, count);
}
