// The oscillator's start, render loop, curve step and settings.
#include "engine/Oscillator.h"

#include <algorithm>
#include <cmath>

#include "engine/EngineRate.h"
#include "engine/Interpolation.h"
#include "engine/OscillatorStep.h"
#include "engine/SharedField.h"

namespace {

// Beyond this magnitude the designed one-step-at-a-time wrap would take many steps (or never end,
// once 1024 no longer changes the float): the remainder is taken at once instead.
constexpr float kDirectWrapLimit = 65536.0f;

// The phase after the phase parameter moved from `from` to `to`: half a period per unit, wrapped.
float shiftedPhase(float phase, float from, float to, int32_t period) noexcept {
  return wrapOscillatorPhase(phase + (to - from) * (static_cast<float>(period) * 0.5f), period);
}

}  // namespace

float wrapOscillatorPhase(float phase, int32_t period) noexcept {
  if (!std::isfinite(phase)) return 0.0f;
  const float length = static_cast<float>(period);
  if (phase < -kDirectWrapLimit) phase = std::fmod(phase, 1024.0f);
  while (phase <= 0.0f) phase += 1024.0f;
  if (phase > kDirectWrapLimit) phase = std::fmod(phase, length);
  while (phase >= length) phase -= length;
  return phase;
}

Oscillator::Oscillator() noexcept : table(sineTable().data()), tableStep(1024.0f / kDesignRate) {}

// Before the first note the oscillator sounds at 3 table entries per sample, whatever the rate.
void Oscillator::init(const SineTable& sine, int32_t period, int32_t harmonicNumber,
                      float rate) noexcept {
  table = sine.data();
  tableLength = period;
  harmonic = harmonicNumber;
  setSampleRate(rate);
  tuningReads = tuningWrites;
  increment.store(3.0f);
  frequency.store(3.0f);
  active.store(true);
}

// Called while the host has suspended the instance; the render retunes before its next block.
void Oscillator::setSampleRate(float rate) noexcept {
  tableStep = 1024.0f / rate;
  const double ratio = static_cast<double>(kDesignRate) / static_cast<double>(rate);
  lowestIncrement = static_cast<float>(0.47 * ratio);
  highestIncrement =
      static_cast<float>(std::min(466.0, 466.0 * ratio));  // never above 0.456 of the rate
  stepLimit = scaledLength(201, rate) - 1;
  markRetuned();
}

// Setter side.
void Oscillator::start(float noteFrequency, float noteVelocityGain) noexcept {
  velocityGain.store(noteVelocityGain);
  frequency.store(noteFrequency);
  storeShared(startWrites, loadShared(startWrites) + 1);
}

// Render side: a start restarts the layers; a start or a tuning sets the increment the settings
// give (a pitch step changes it again at the next curve step).
void Oscillator::applyStartAndTuning() noexcept {
  const uint32_t starts = loadShared(startWrites);
  const uint32_t tunings = loadShared(tuningWrites);
  if (starts != startReads) {
    for (Bank* bank : {&amplitudeBank, &pitchBank, &phaseBank}) {
      for (EnvelopeLayer& layer : *bank) layer.reset();
    }
  }
  setIncrement(tunedIncrement());
  storeShared(startReads, starts);
  storeShared(tuningReads, tunings);
}

bool Oscillator::isActive() const noexcept {
  const bool pending = loadShared(startWrites) != loadShared(startReads) ||
                       loadShared(tuningWrites) != loadShared(tuningReads);
  return pending ? inBand(tunedIncrement()) : active.load();
}

void Oscillator::render(float* buffer, int32_t count) noexcept {
  applySettings();
  applyQueuedPhases();
  int32_t done = 0;
  while (done < count) {
    if (sampleCounter >= stepLimit) {  // this sample's count passes the limit: a curve step
      sampleCounter = 0;
      curveStep();
      renderRun(buffer + done, 1);
      ++done;
      continue;
    }
    const int32_t run = std::min(count - done, stepLimit - sampleCounter);
    renderRun(buffer + done, run);
    sampleCounter += run;
    done += run;
  }
}

// Samples between curve steps: one interpolated table read, scaled, and the phase update.
void Oscillator::renderRun(float* out, int32_t count) noexcept {
  const float* sine = table;
  const float length = static_cast<float>(tableLength);
  const float step = increment.load();
  const float scale = gain;
  const float level = amplitude;
  float position = phase;
  for (int32_t k = 0; k < count; ++k) {
    const int32_t readIndex = static_cast<int32_t>(position);
    const float readFraction = position - static_cast<float>(readIndex);
    const float* y = sine + readIndex;
    out[k] = interpolateFourPoint(y[0], y[1], y[2], y[3], readFraction) * scale * level;
    position += step;
    if (position >= length) position -= length;
    // Only an increment outside the audible band (the oscillator turned inactive inside this
    // block and is not mixed) can leave the table; keep every later read inside it.
    if (!(position >= 0.0f && position < length)) {
      position = wrapOscillatorPhase(position, tableLength);
    }
  }
  phase = position;
}

void Oscillator::curveStep() noexcept {
  StepValues values;
  for (int32_t k = kLayerCount - 1; k >= 0; --k) {  // A4, A3, A2, A1, then A0
    values.amplitude[static_cast<std::size_t>(k)] =
        amplitudeBank[static_cast<std::size_t>(k)].next();
  }
  for (std::size_t k = 0; k < values.pitch.size(); ++k) values.pitch[k] = pitchBank[k].next();
  for (std::size_t k = 0; k < values.phase.size(); ++k) values.phase[k] = phaseBank[k].next();
  applyStep(values);
}

float Oscillator::tunedIncrement() const noexcept {
  return static_cast<float>(harmonic) * frequency.load() * tableStep * (1.0f + mainDetune.load()) *
         (1.0f + detune.load());
}

// A value whose square overflows is ignored like a non-finite one.
void Oscillator::setVolume(float v) noexcept {
  if (const float squared = v * v; std::isfinite(squared)) volume.store(squared);
}

float Oscillator::getVolume() const noexcept { return std::sqrt(volume.load()); }

// Setter side: records the setting; the render applies it (applyQueuedPhases).
void Oscillator::setPhase(float v) noexcept {
  if (!std::isfinite(v)) return;
  const float parameter = v - 0.5f;
  storeShared(phaseSetting, parameter);
  const uint32_t writes = loadShared(phaseWrites);
  const uint32_t reads = loadShared(phaseReads);
  if (writes - reads < kQueuedPhases) {
    queuedPhases[writes % kQueuedPhases].store(parameter);
    storeShared(phaseWrites, writes + 1);
  }
}

float Oscillator::getPhase() const noexcept { return loadShared(phaseSetting) + 0.5f; }

// Each queued setting shifts the phase in turn, as if it had been applied when it was set;
// settings that found the queue full are applied together at the end.
Oscillator::PhaseReplay Oscillator::replayQueuedPhases() const noexcept {
  const uint32_t writes = loadShared(phaseWrites);
  PhaseReplay replay{phase, phaseParameter, loadShared(phaseReads)};
  for (; replay.reads != writes; ++replay.reads) {
    const float parameter = queuedPhases[replay.reads % kQueuedPhases].load();
    replay.phase = shiftedPhase(replay.phase, replay.parameter, parameter, tableLength);
    replay.parameter = parameter;
  }
  const float latest = loadShared(phaseSetting);
  if (latest != replay.parameter) {
    replay.phase = shiftedPhase(replay.phase, replay.parameter, latest, tableLength);
    replay.parameter = latest;
  }
  return replay;
}

void Oscillator::applyQueuedPhasesNow() noexcept {
  const PhaseReplay replay = replayQueuedPhases();
  phase = replay.phase;
  phaseParameter = replay.parameter;
  storeShared(phaseReads, replay.reads);
}

float Oscillator::currentPhase() const noexcept { return replayQueuedPhases().phase; }

void Oscillator::setDetune(float v) noexcept {
  if (!std::isfinite(v)) return;
  detune.store(v - 0.5f);
  markRetuned();
}

void Oscillator::setMainDetune(float v) noexcept {
  if (!std::isfinite(v)) return;
  mainDetune.store(v - 0.5f);
  markRetuned();
}

void Oscillator::loadEnvelopeLayer(EnvelopeBank bank, int32_t layer, const float* curve) noexcept {
  if (!curve || layer < 0 || layer >= kLayerCount) return;
  switch (bank) {
    case EnvelopeBank::amplitude: amplitudeBank[static_cast<std::size_t>(layer)].load(curve); break;
    case EnvelopeBank::pitch: pitchBank[static_cast<std::size_t>(layer)].load(curve); break;
    case EnvelopeBank::phase: phaseBank[static_cast<std::size_t>(layer)].load(curve); break;
  }
}
