// One partial of the additive voice. It reads the shared sine table with four-point
// interpolation at an increment set by the note, its harmonic, the two detunes and the pitch
// bank; scales by its volume, the note's velocity gain and the amplitude bank; and is shifted by
// its phase parameter and the phase bank. The three banks of five layers step once per curve
// step (every 201 samples at 44.1 kHz). The table step uses 1024 while the table period is 1021,
// so a partial sounds at harmonic × frequency × 1024 / 1021.
//
// `render` is the straightforward per-sample form; OscillatorBank renders many oscillators side
// by side with the same arithmetic. A phase setting may arrive while a block renders: the setter
// only queues the new value and the render applies the queued values in order before it next
// reads the phase, so no change is lost and each field has one writer.
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

  void start(float noteFrequency, float noteVelocityGain) noexcept;
  void render(float* buffer, int32_t count) noexcept;

  // Settings take the host value; non-finite values are ignored.
  void setVolume(float v) noexcept;
  void setPhase(float v) noexcept;
  void setDetune(float v) noexcept;
  void setMainDetune(float v) noexcept;
  [[nodiscard]] float getVolume() const noexcept;
  [[nodiscard]] float getPhase() const noexcept;
  [[nodiscard]] float getDetune() const noexcept { return detune + 0.5f; }
  [[nodiscard]] float getMainDetune() const noexcept { return mainDetune + 0.5f; }

  // Ignores a layer outside 0-4, a bank outside the three and a null curve.
  void loadEnvelopeLayer(EnvelopeBank bank, int32_t layer, const float* curve) noexcept;

  [[nodiscard]] bool isActive() const noexcept { return active; }
  // The read phase with every queued phase setting applied.
  [[nodiscard]] float currentPhase() const noexcept;
  // Read-only view of one layer (0-4) of one bank; the caller passes a valid bank and layer.
  [[nodiscard]] const EnvelopeLayer& layer(EnvelopeBank bank, int32_t index) const noexcept {
    const Bank& banks = bank == EnvelopeBank::amplitude ? amplitudeBank
                        : bank == EnvelopeBank::pitch   ? pitchBank
                                                        : phaseBank;
    return banks[size_t(index)];
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
  void recomputeIncrement() noexcept;
  void updateActive() noexcept;

  // The fields every block reads share the object's first cache line; the large envelope banks
  // come last.
  bool active = true;
  float amplitude = 0.0f;
  int32_t sampleCounter = 0;
  int32_t tableLength = SineTable::kPeriod;
  const float* table;
  float gain = 0.25f;
  float increment = 3.0f;
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
  float velocityGain = 0.5f;
  float volume = 0.5f;
  float detune = 0.0f;
  float frequency = 3.0f;
  float mainDetune = 0.0f;
  std::array<float, kQueuedPhases> queuedPhases{};
  Bank amplitudeBank{};
  Bank pitchBank{};
  Bank phaseBank{};
};
