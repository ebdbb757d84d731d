// The full patch and its player.
#include "tests/support/FullPatch.h"

#include <cmath>

#include "engine/NoteTable.h"
#include "engine/SynthEngine.h"

namespace full_patch {

Curve shapedCurve(float first, float last, float ripple, float cycles) {
  Curve curve{};
  for (std::size_t k = 0; k < curve.size(); ++k) {
    const double t = static_cast<double>(k) / 384.0;
    curve[k] = static_cast<float>(
        static_cast<double>(first) + (static_cast<double>(last) - static_cast<double>(first)) * t +
        static_cast<double>(ripple) *
            std::sin(6.283185307179586 * static_cast<double>(cycles) * t));
  }
  return curve;
}

void apply(SynthEngine& engine) {
  static constexpr std::array<float, 5> kRoutings = {0.0f, 0.25f, 0.5f, 0.75f, 1.0f};
  engine.setMainVolume(0.8f);
  engine.setMainDetune(0.52f);
  for (int32_t i = 0; i < SynthEngine::kOscillatorCount; ++i) {
    const float shade = static_cast<float>(i) / 31.0f;
    engine.setOscillatorSwitch(i, 1.0f);
    engine.setOscillatorVolume(i, 1.0f - 0.7f * shade);
    engine.setOscillatorDetune(i, 0.48f + 0.04f * shade);
    engine.setOscillatorPhase(i, 0.3f + 0.4f * shade);
    engine.setRouting(i, kRoutings[static_cast<std::size_t>(i) % kRoutings.size()]);
    const Curve amplitude =
        shapedCurve(1.0f - 0.5f * shade, 0.3f, 0.1f, 3.0f + static_cast<float>(i % 4));
    engine.loadEnvelopeLayer(i, EnvelopeBank::amplitude, 0, amplitude.data());
    for (int32_t layer = 1; layer < 5; ++layer) {
      const Curve shared =
          shapedCurve(0.2f * static_cast<float>(layer), 0.1f, 0.05f, static_cast<float>(layer));
      engine.loadEnvelopeLayer(i, EnvelopeBank::amplitude, layer, shared.data());
    }
    const Curve pitch = shapedCurve(0.0f, 0.08f, 0.03f, 5.0f);
    engine.loadEnvelopeLayer(i, EnvelopeBank::pitch, 0, pitch.data());
    const Curve phase = shapedCurve(0.0f, 0.6f, 0.2f, 2.0f + shade);
    engine.loadEnvelopeLayer(i, EnvelopeBank::phase, 0, phase.data());
  }
  engine.setDelaySwitch(1.0f);
  engine.setDelayTime(0.3f);
  engine.setDelayFeedback(0.4f);
  engine.setDelayLevel(0.5f);
  engine.setFlangerSwitch(1.0f);
  engine.setFlangerCentreDelay(0.4f);
  engine.setFlangerDryLevel(0.6f);
  engine.setFlangerWetLevel(0.5f);
  engine.setFlangerInputGain(0.7f);
  engine.setFlangerSweepDepth(0.6f);
  engine.setFlangerRate(0.3f);
  engine.setFlangerWaveform(0.0f);
  engine.setPhaserSwitch(1.0f);
  engine.setPhaserDepth(0.8f);
  engine.setPhaserFeedback(0.6f);
  engine.setPhaserMinimum(0.2f);
  engine.setPhaserMaximum(0.9f);
  engine.setPhaserRate(0.4f);
  engine.setReverbSwitch(1.0f);
  engine.setReverbRoomSize(0.7f);
  engine.setReverbDamping(0.4f);
  engine.setReverbWet(0.3f);
  engine.setReverbDry(0.2f);
  engine.setReverbWidth(1.0f);
}

void Player::render(float* out, int32_t block) noexcept {
  if (frame >= nextRestart) {
    engine.startAllOscillators(noteFrequency(kNote), 0.8f);
    nextRestart = frame + kRestartFrames;
  }
  engine.renderHostBlock(out, block, 0, true);
  frame += block;
}

}  // namespace full_patch
