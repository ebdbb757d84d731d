// The curve step's arithmetic, inline for the oscillator and for the bank's render loop (which
// takes a step for each of its oscillators every 201 samples).
#pragma once

#include <cmath>

#include "engine/Oscillator.h"

// The fifteen layers are only ever reset together (start) and stepped together (here and in
// curveStep), so they share one read position: it is advanced once and each layer reads its
// curve there.
inline void Oscillator::curveStepShared() noexcept {
  const float from = amplitudeBank[0].readPosition();
  const EnvelopeLayer::Read read = EnvelopeLayer::advanced(from);
  StepValues values;
  // A silent layer's interpolation gives exactly +0: it is skipped.
  auto step = [&read](EnvelopeLayer& layer) {
    layer.follow(read);
    return layer.isSilent() ? 0.0f : layer.valueAt(read);
  };
  for (std::size_t k = 0; k < static_cast<std::size_t>(kLayerCount); ++k) {
    values.amplitude[k] = step(amplitudeBank[k]);
    values.pitch[k] = step(pitchBank[k]);
    values.phase[k] = step(phaseBank[k]);
  }
  applyStep(values);
}

inline void Oscillator::applyStep(const StepValues& values) noexcept {
  const auto& a = values.amplitude;
  const float level = a[0] + (a[1] + a[2] + a[3] + a[4]) / 4.0f;
  amplitude = std::isfinite(level) ? level : 0.0f;

  float pitchSum = 0.0f;
  for (float value : values.pitch) pitchSum += value;
  setIncrement((pitchSum + (1.0f + mainDetune.load()) * (1.0f + detune.load())) *
               (static_cast<float>(harmonic) * frequency.load() * tableStep));

  float phaseSum = 0.0f;
  for (float value : values.phase) phaseSum += value;
  const float offset = phaseSum * (static_cast<float>(tableLength) * 0.5f);
  currentPhaseOffset = std::isfinite(offset) ? offset : 0.0f;
  const float shifted = phase + (currentPhaseOffset - previousPhaseOffset);
  // A phase already inside the table is what the wrap would leave it.
  phase = shifted > 0.0f && shifted < static_cast<float>(tableLength)
              ? shifted
              : wrapOscillatorPhase(shifted, tableLength);
  previousPhaseOffset = currentPhaseOffset;
}
