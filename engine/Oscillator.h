// One partial of the additive voice. It reads the shared sine table with four-point
// interpolation at an increment set by the note, its harmonic, the two detunes and the pitch
// bank; scales by its volume, the note's velocity gain and the amplitude bank; and is shifted by
// its phase parameter and the phase bank. The three banks of five layers step once per curve
// step (every 201 samples at 44.1 kHz). The table step uses 1024 while the table period is 1021,
// so a partial sounds at harmonic × frequency × 1024 / 1021.
//
// `render` is the straightforward per-sample form; OscillatorBank renders many oscillators side
// by side with the same arithmetic. Settings and note starts may arrive on another thread while a
// block renders, so the setters only store the settings and the render works out its own state
// from them before its next block (applySettings): the increment, the active flag, the gain and
// the layers' read position have the render as their one writer. A phase setting is queued and
// the render applies the queued values in order before it next reads the phase, so no change is
// lost.
#pragma once

#include <array>
#include <cstdint>

#include "engine/EnvelopeLayer.h"
#include "engine/SharedField.h"
#include "engine/SineTable.h"

// The designed wrap of a read phase into [0, period): while ≤ 0 add 1024, then while ≥ period
// subtract the period. Ends for any value: non-finite gives 0, huge magnitudes are reduced first.
[[nodiscard]] float wrapOscillatorPhase(float phase, int32_t period) noexcept;

class alignas(64) Oscillator {
 public:
  static constexpr int32_t kLayerCount = 5;

  // Fields as after construction for 44100 Hz; `init` gives the table, harmonic and rate.
  Oscillator() noexcept;
  void init(const SineTable& sine, int32_t period, int32_t harmonicNumber, float rate) noexcept;
  // Retunes table step, active band and curve-step interval for a rate the caller checked.
  void setSampleRate(float rate) noexcept;

  // A note start: the render restarts the layers and retunes before its next block.
  void start(float noteFrequency, float noteVelocityGain) noexcept;
  // Render side: takes up the note starts and settings made since the last block. render calls
  // it; the engine calls it for every oscillator before it decides which ones sound.
  void applySettings() noexcept {
    gain = velocityGain.load() * volume.load();
    if (loadShared(startWrites) != startReads || loadShared(tuningWrites) != tuningReads) {
      applyStartAndTuning();
    }
  }
  void render(float* buffer, int32_t count) noexcept;

  // Settings take the host value; non-finite values are ignored.
  void setVolume(float v) noexcept;
  void setPhase(float v) noexcept;
  void setDetune(float v) noexcept;
  void setMainDetune(float v) noexcept;
  [[nodiscard]] float getVolume() const noexcept;
  [[nodiscard]] float getPhase() const noexcept;
  [[nodiscard]] float getDetune() const noexcept { return detune.load() + 0.5f; }
  [[nodiscard]] float getMainDetune() const noexcept { return mainDetune.load() + 0.5f; }

  // Ignores a layer outside 0-4, a bank outside the three and a null curve.
  void loadEnvelopeLayer(EnvelopeBank bank, int32_t layer, const float* curve) noexcept;

  // Whether the increment lies in the audible band, with the settings made so far taken up.
  [[nodiscard]] bool isActive() const noexcept;
  // Render side, after applySettings: whether the increment lies in the audible band.
  [[nodiscard]] bool inAudibleBand() const noexcept { return active.load(); }
  // The read phase with every queued phase setting applied.
  [[nodiscard]] float currentPhase() const noexcept;
  // Read-only view of one layer (0-4) of one bank; the caller passes a valid bank and layer.
  [[nodiscard]] const EnvelopeLayer& layer(EnvelopeBank bank, int32_t index) const noexcept {
    const Bank& banks = bank == EnvelopeBank::amplitude ? amplitudeBank
                        : bank == EnvelopeBank::pitch   ? pitchBank
                                                        : phaseBank;
    return banks[static_cast<size_t>(index)];
  }

 private:
  friend class OscillatorBank;
  using Bank = std::array<EnvelopeLayer, kLayerCount>;
  static constexpr uint32_t kQueuedPhases = 16;

  struct PhaseReplay {
    float phase;
    float parameter;
    uint32_t reads;
  };

  [[nodiscard]] PhaseReplay replayQueuedPhases() const noexcept;
  // Render side: applies the queued phase settings to `phase` (most blocks find none).
  void applyQueuedPhases() noexcept {
    if (loadShared(phaseWrites) != phaseReads || loadShared(phaseSetting) != phaseParameter) {
      applyQueuedPhasesNow();
    }
  }
  void applyQueuedPhasesNow() noexcept;
  // The fifteen layer values of one curve step, layer 0 first in each bank.
  struct StepValues {
    std::array<float, kLayerCount> amplitude;
    std::array<float, kLayerCount> pitch;
    std::array<float, kLayerCount> phase;
  };

  // A curve step with each layer stepping on its own (the designed form).
  void curveStep() noexcept;
  // The same step with the read position shared by all layers (the bank's form).
  void curveStepShared() noexcept;
  void applyStep(const StepValues& values) noexcept;
  void renderRun(float* out, int32_t count) noexcept;
  // The increment of the settings alone (no pitch step): what a start or a tuning gives.
  [[nodiscard]] float tunedIncrement() const noexcept;
  [[nodiscard]] bool inBand(float value) const noexcept {
    return value >= lowestIncrement && value <= highestIncrement;
  }
  void setIncrement(float value) noexcept {
    increment.store(value);
    active.store(inBand(value));
  }
  void applyStartAndTuning() noexcept;
  // Setter side: tells the render to retune before its next block.
  void markRetuned() noexcept { storeShared(tuningWrites, loadShared(tuningWrites) + 1); }

  // The fields every block reads share the object's first cache line; the large envelope banks
  // come last. The render writes `active` and `increment`; other threads may read them.
  SharedValue<bool> active = true;
  float amplitude = 0.0f;
  int32_t sampleCounter = 0;
  int32_t tableLength = SineTable::kPeriod;
  const float* table;
  float gain = 0.25f;
  SharedValue<float> increment = 3.0f;
  float phase = 0.0f;
  // The phase parameter (v − 0.5) the render has applied to `phase`; render side only.
  float phaseParameter = 0.0f;
  // Setter side: the latest phase parameter and a queue of the settings not yet applied. The
  // setter writes `phaseSetting`, `queuedPhases` and `phaseWrites`, the render only
  // `phaseReads`. Settings that find the queue full are applied together, from `phaseSetting`.
  float phaseSetting = 0.0f;
  uint32_t phaseWrites = 0;
  uint32_t phaseReads = 0;
  // Retuned with the rate: the curve-step interval (the counter value after which the next
  // sample takes a step: 200 at 44.1 kHz) and the audible band in entries per sample.
  int32_t stepLimit = 200;
  float lowestIncrement = 0.47f;
  float highestIncrement = 466.0f;
  int32_t harmonic = 1;
  float previousPhaseOffset = 0.0f;
  float currentPhaseOffset = 0.0f;
  float tableStep;
  // Settings, written by the setters (any thread) and read by the render.
  SharedValue<float> velocityGain = 0.5f;
  SharedValue<float> volume = 0.5f;
  SharedValue<float> detune = 0.0f;
  SharedValue<float> frequency = 3.0f;
  SharedValue<float> mainDetune = 0.0f;
  // Note starts and tunings made (setter side) and taken up (render side: it stores the counts it
  // took up with single stores, since isActive reads them on other threads).
  uint32_t startWrites = 0;
  uint32_t tuningWrites = 0;
  uint32_t startReads = 0;
  uint32_t tuningReads = 0;
  std::array<SharedValue<float>, kQueuedPhases> queuedPhases{};
  Bank amplitudeBank{};
  Bank pitchBank{};
  Bank phaseBank{};
};
