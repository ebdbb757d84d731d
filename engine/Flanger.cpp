// The flanger's per-sample loop, its two LFOs and its rate-dependent settings.
#include "engine/Flanger.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "engine/BlockSine.h"
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

Flanger::Tap Flanger::tap() noexcept {
  return {line.data(), int32_t(line.size()), float(line.size()), centreDelay, sweepDepth, wet, dry,
          inputGain};
}

// One sample through the line at the sweep value `value`; moves the write index on.
float Flanger::flangeSample(const Tap& tap, float x, float value, int32_t& write,
                            float& position) noexcept {
  float delay = tap.centre + tap.depth * std::fabs(value);
  if (delay < 1.0f) delay = 1.0f;
  position = float(write) - delay;
  // Settings outside 0-1 can ask for more delay than the line holds: reduce modulo the line.
  if (!(position > -tap.lengthF && position < tap.lengthF)) {
    position = std::isfinite(position) ? std::fmod(position, tap.lengthF) : float(write) - 1.0f;
  }
  int32_t i0 = int32_t(position);
  int32_t i1 = i0 + 1;
  const float f = position - float(i0);
  if (i0 < 0) i0 += tap.length;
  if (i0 > tap.length - 1) i0 -= tap.length;
  if (i1 < 0) i1 += tap.length;
  if (i1 > tap.length - 1) i1 -= tap.length;
  const float h = (1.0f - f) * tap.samples[i0] + f * tap.samples[i1];
  tap.samples[write] = finiteOrZero((h * tap.wet + x) * tap.gain);
  write = write == tap.length - 1 ? 0 : write + 1;
  return h * tap.wet + x * tap.dry;
}

void Flanger::process(const float* in, float* out, int32_t count) noexcept {
  const Tap lineTap = tap();
  const bool sine = waveform < 0.5f;
  int32_t write = writeIndex;
  float value = sweepValue;
  float step = triangleStep;
  double phase = sinePhase;
  float position = readPosition;
  for (int32_t k = 0; k < count; ++k) {
    out[k] = flangeSample(lineTap, in[k], value, write, position);
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

// The sine LFO in two passes per piece: its phases (a short serial chain), then their sines in
// SIMD lanes; the triangle LFO costs little and keeps the per-sample form.
void Flanger::processBlock(const float* in, float* out, int32_t count, RenderPath path) noexcept {
  if (path == RenderPath::reference || waveform >= 0.5f) {
    process(in, out, count);
    return;
  }
  constexpr int32_t kPiece = 256;
  std::array<double, kPiece> angles;
  std::array<float, kPiece> sines;
  const Tap lineTap = tap();
  const double rate = double(sineRate);
  int32_t write = writeIndex;
  float value = sweepValue;
  double phase = sinePhase;
  float position = readPosition;
  for (int32_t first = 0; first < count; first += kPiece) {
    const int32_t n = std::min(kPiece, count - first);
    for (int32_t k = 0; k < n; ++k) {
      angles[std::size_t(k)] = phase;
      phase += rate;
      if (phase > kSineRestart || phase < -kSineRestart) phase = 0.0;
    }
    sineToFloat(angles.data(), sines.data(), n, path);
    for (int32_t k = 0; k < n; ++k) {
      out[first + k] = flangeSample(lineTap, in[first + k], value, write, position);
      value = sines[std::size_t(k)];
    }
  }
  writeIndex = write;
  sweepValue = value;
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
