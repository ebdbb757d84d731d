// Patches and render helpers shared by the engine tests.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "engine/BusEffect.h"
#include "engine/SynthEngine.h"

namespace engine_setup {

using Curve = std::array<float, 385>;

// An effect's answer to a unit impulse at sample 0, `frames` long, in blocks of 2000.
inline std::vector<float> impulseResponse(BusEffect& effect, int32_t frames) {
  std::vector<float> signal(static_cast<std::size_t>(std::max(frames, 1)), 0.0f);
  signal[0] = 1.0f;
  for (int32_t done = 0; done < frames; done += 2000) {
    const int32_t count = std::min(2000, frames - done);
    effect.processSamples(signal.data() + done, signal.data() + done, count);
  }
  return signal;
}

inline Curve constantCurve(float value) {
  Curve curve;
  curve.fill(value);
  return curve;
}

// Only oscillator `osc` sounds, at full volume and a steady amplitude of 1 (amplitude layer 0
// all ones), routed by `routing`; every effect off, main volume 1, detunes centred.
inline void soloOscillator(SynthEngine& engine, int32_t osc, float routing = 0.0f) {
  const Curve ones = constantCurve(1.0f);
  engine.setMainVolume(1.0f);
  engine.setMainDetune(0.5f);
  for (int32_t i = 0; i < SynthEngine::kOscillatorCount; ++i) {
    engine.setOscillatorSwitch(i, i == osc ? 1.0f : 0.0f);
    engine.setOscillatorVolume(i, i == osc ? 1.0f : 0.0f);
    engine.setOscillatorDetune(i, 0.5f);
    engine.setRouting(i, i == osc ? routing : 0.0f);
  }
  engine.loadEnvelopeLayer(osc, EnvelopeBank::amplitude, 0, ones.data());
  engine.setDelaySwitch(0.0f);
  engine.setFlangerSwitch(0.0f);
  engine.setPhaserSwitch(0.0f);
  engine.setReverbSwitch(0.0f);
}

// A patch using every bus and every effect: `count` oscillators with non-zero volumes, routed
// in turn dry, flanger, delay, phaser, reverb, with steady amplitude layers.
inline void richPatch(SynthEngine& engine, int32_t count = SynthEngine::kOscillatorCount) {
  static constexpr std::array<float, 5> kRoutings = {0.0f, 0.25f, 0.5f, 0.75f, 1.0f};
  const Curve ones = constantCurve(1.0f);
  const Curve gentle = constantCurve(0.1f);
  engine.setMainVolume(0.9f);
  engine.setMainDetune(0.5f);
  for (int32_t i = 0; i < SynthEngine::kOscillatorCount; ++i) {
    const bool on = i < count;
    engine.setOscillatorSwitch(i, on ? 1.0f : 0.0f);
    engine.setOscillatorVolume(i, on ? 1.0f / static_cast<float>(i + 1) : 0.0f);
    engine.setOscillatorDetune(i, 0.5f);
    engine.setOscillatorPhase(i, 0.5f);
    engine.setRouting(i, kRoutings[static_cast<std::size_t>(i) % kRoutings.size()]);
    engine.loadEnvelopeLayer(i, EnvelopeBank::amplitude, 0, ones.data());
    engine.loadEnvelopeLayer(i, EnvelopeBank::amplitude, 1, ones.data());
    engine.loadEnvelopeLayer(i, EnvelopeBank::pitch, 1, gentle.data());
    engine.loadEnvelopeLayer(i, EnvelopeBank::phase, 2, gentle.data());
  }
  engine.setDelaySwitch(1.0f);
  engine.setDelayTime(0.5f);
  engine.setDelayFeedback(0.3f);
  engine.setDelayLevel(0.5f);
  engine.setFlangerSwitch(1.0f);
  for (auto set : {&SynthEngine::setFlangerCentreDelay, &SynthEngine::setFlangerDryLevel,
                   &SynthEngine::setFlangerWetLevel, &SynthEngine::setFlangerInputGain,
                   &SynthEngine::setFlangerSweepDepth, &SynthEngine::setFlangerRate}) {
    (engine.*set)(0.5f);
  }
  engine.setFlangerWaveform(0.0f);
  engine.setPhaserSwitch(1.0f);
  for (auto set : {&SynthEngine::setPhaserDepth, &SynthEngine::setPhaserFeedback,
                   &SynthEngine::setPhaserMinimum, &SynthEngine::setPhaserMaximum,
                   &SynthEngine::setPhaserRate}) {
    (engine.*set)(0.5f);
  }
  engine.setReverbSwitch(1.0f);
  for (auto set :
       {&SynthEngine::setReverbRoomSize, &SynthEngine::setReverbDamping, &SynthEngine::setReverbWet,
        &SynthEngine::setReverbDry, &SynthEngine::setReverbWidth}) {
    (engine.*set)(0.5f);
  }
}

inline void startNote(SynthEngine& engine, int32_t note, float amplitude = 1.0f) {
  engine.startAllOscillators(noteFrequency(note), amplitude);
}

// `frames` frames rendered through the host entry in blocks of `block` (replacing).
inline std::vector<float> render(SynthEngine& engine, int32_t frames, int32_t block = 512) {
  std::vector<float> out(static_cast<std::size_t>(frames), 0.0f);
  for (int32_t done = 0; done < frames; done += block) {
    engine.renderHostBlock(out.data() + done, std::min(block, frames - done), 0, true);
  }
  return out;
}

}  // namespace engine_setup
