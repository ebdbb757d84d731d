// The engine's render as heard at its output: pitch of the harmonics, the active band, the
// envelope banks, phase, routing, the effect switches and the main volume.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "EngineSetup.h"
#include "engine/RenderPath.h"
#include "engine/SynthEngine.h"
#include "tests/support/SignalMeasure.h"

namespace {

using engine_setup::constantCurve;
using engine_setup::render;
using engine_setup::soloOscillator;
using engine_setup::startNote;

constexpr double kRate = 44100.0;
constexpr double kTableRatio = 1024.0 / 1021.0;  // table step over table period

double expectedPitch(int32_t osc, int32_t note) {
  return static_cast<double>(osc + 1) * static_cast<double>(noteFrequency(note)) * kTableRatio;
}

// Phase of `probe` relative to `reference` in periods (0-1), from their rising crossings.
double phaseLead(const std::vector<float>& reference, const std::vector<float>& probe,
                 double periodSamples) {
  const auto a = signal_measure::risingCrossings(reference, 2000);
  const auto b = signal_measure::risingCrossings(probe, 2000);
  const double lead = (a.front() - b.front()) / periodSamples;
  return lead - std::floor(lead);
}

TEST(SynthEngine, HarmonicsSoundAtHarmonicTimesNoteTimes1024Over1021) {
  struct Case {
    int32_t osc;
    int32_t note;
  };
  for (const Case c : {Case{0, 69}, Case{1, 60}, Case{6, 45}, Case{15, 81}, Case{31, 40}}) {
    SynthEngine engine;
    soloOscillator(engine, c.osc);
    startNote(engine, c.note);
    const std::vector<float> out = render(engine, 44100);
    const double measured = signal_measure::frequency(out, kRate, 1000);
    EXPECT_NEAR(signal_measure::cents(measured, expectedPitch(c.osc, c.note)), 0.0, 0.01)
        << "oscillator " << c.osc << " note " << c.note << ": expected "
        << expectedPitch(c.osc, c.note) << " Hz, measured " << measured << " Hz";
  }
}

TEST(SynthEngine, DetunesScaleThePitchLinearly) {
  struct Case {
    float detune;
    float mainDetune;
    double factor;
  };
  for (const Case c : {Case{0.75f, 0.5f, 1.25}, Case{0.5f, 0.25f, 0.75}, Case{0.75f, 0.25f, 0.9375},
                       Case{0.0f, 0.5f, 0.5}}) {
    SynthEngine engine;
    soloOscillator(engine, 0);
    engine.setOscillatorDetune(0, c.detune);
    engine.setMainDetune(c.mainDetune);
    startNote(engine, 69);
    const double measured = signal_measure::frequency(render(engine, 44100), kRate, 1000);
    const double expected = expectedPitch(0, 69) * c.factor;
    EXPECT_NEAR(signal_measure::cents(measured, expected), 0.0, 0.01)
        << "detune " << c.detune << " main detune " << c.mainDetune << ": expected " << expected
        << " Hz, measured " << measured << " Hz";
  }
}

TEST(SynthEngine, PitchBankLayersAddToTheDetuneFactor) {
  struct Case {
    int32_t layers;
    double factor;
  };
  for (const Case c : {Case{1, 2.0}, Case{2, 3.0}, Case{5, 6.0}}) {
    SynthEngine engine;
    soloOscillator(engine, 0);
    const auto ones = constantCurve(1.0f);
    for (int32_t layer = 0; layer < c.layers; ++layer) {
      engine.loadEnvelopeLayer(0, EnvelopeBank::pitch, layer, ones.data());
    }
    startNote(engine, 57);  // 220 Hz
    const double measured = signal_measure::frequency(render(engine, 44100), kRate, 1000);
    const double expected = expectedPitch(0, 57) * c.factor;
    EXPECT_NEAR(signal_measure::cents(measured, expected), 0.0, 0.01)
        << c.layers << " pitch layers: expected " << expected << " Hz, measured " << measured;
  }
}

TEST(SynthEngine, ActiveBandEndsAtBothSides) {
  struct Case {
    int32_t osc;
    int32_t note;
    bool heard;
  };
  // 0.47 and 466 table entries per sample: about 20.3 Hz and 20.1 kHz
  for (const Case c :
       {Case{0, 15, false}, Case{0, 16, true}, Case{31, 75, true}, Case{31, 76, false}}) {
    SynthEngine engine;
    soloOscillator(engine, c.osc);
    startNote(engine, c.note);
    EXPECT_EQ(engine.isOscillatorActive(c.osc), c.heard)
        << "oscillator " << c.osc << " note " << c.note;
    const std::vector<float> out = render(engine, 4000);
    EXPECT_EQ(signal_measure::rms(out) > 0.1, c.heard)
        << "oscillator " << c.osc << " note " << c.note << " rms " << signal_measure::rms(out);
  }
}

// A pitch step that takes the oscillator out of the band inside a block: that whole block goes
// unheard (the oscillator is rendered but not mixed), on every render path.
TEST(SynthEngine, AnOscillatorLeavingTheBandInsideABlockIsNotMixedInThatBlock) {
  for (RenderPath path : kRenderPaths) {
    if (!renderPathSupported(path)) continue;
    SynthEngine engine;
    ASSERT_TRUE(engine.setRenderPath(path));
    soloOscillator(engine, 0);
    startNote(engine, 69);
    // Curve steps at samples 200 and 401: heard from the first on.
    const std::vector<float> before = render(engine, 250);
    EXPECT_GT(signal_measure::rms(before), 0.1) << renderPathName(path);
    const auto steep = constantCurve(30.0f);  // pitch factor 900: far above the band
    engine.loadEnvelopeLayer(0, EnvelopeBank::pitch, 0, steep.data());
    const std::vector<float> across = render(engine, 1000, 1000);
    EXPECT_TRUE(signal_measure::allZero(across))
        << renderPathName(path) << ": heard at sample "
        << signal_measure::firstNonZero(across).value_or(0) << " of the block";
    EXPECT_FALSE(engine.isOscillatorActive(0)) << renderPathName(path);
  }
}

TEST(SynthEngine, AmplitudeIsLayerZeroPlusTheMeanOfTheOtherFour) {
  const auto ones = constantCurve(1.0f);
  const auto zeros = constantCurve(0.0f);
  SynthEngine reference;
  soloOscillator(reference, 0);
  startNote(reference, 69);
  const std::vector<float> full = render(reference, 4000);

  SynthEngine fourLayers;
  soloOscillator(fourLayers, 0);
  fourLayers.loadEnvelopeLayer(0, EnvelopeBank::amplitude, 0, zeros.data());
  for (int32_t layer = 1; layer < 5; ++layer) {
    fourLayers.loadEnvelopeLayer(0, EnvelopeBank::amplitude, layer, ones.data());
  }
  startNote(fourLayers, 69);
  EXPECT_EQ(render(fourLayers, 4000), full) << "mean of four all-one layers is 1";

  SynthEngine oneLayer;
  soloOscillator(oneLayer, 0);
  oneLayer.loadEnvelopeLayer(0, EnvelopeBank::amplitude, 0, zeros.data());
  oneLayer.loadEnvelopeLayer(0, EnvelopeBank::amplitude, 3, ones.data());
  startNote(oneLayer, 69);
  const std::vector<float> quarter = render(oneLayer, 4000);
  for (std::size_t k = 0; k < full.size(); ++k) ASSERT_EQ(quarter[k], full[k] * 0.25f) << k;
}

TEST(SynthEngine, AmplitudeCurveEndsAfterAboutFiveAndAHalfSeconds) {
  SynthEngine engine;
  soloOscillator(engine, 0);
  startNote(engine, 69);
  const std::vector<float> out = render(engine, 44100 * 6);
  const std::span<const float> all(out);
  EXPECT_GT(signal_measure::rms(all.subspan(44100 * 5, 20000)), 0.5) << "still sounding at 5 s";
  const auto lastSound = std::find_if(out.rbegin(), out.rend(), [](float v) { return v != 0.0f; });
  const double endSeconds = static_cast<double>(out.rend() - lastSound) / kRate;
  EXPECT_NEAR(endSeconds, 1280.0 * 201.0 / kRate, 0.05);
}

TEST(SynthEngine, PhaseSettingShiftsTheWaveByAQuarterPeriodPerHalfUnit) {
  SynthEngine reference;
  soloOscillator(reference, 0);
  SynthEngine shifted;
  soloOscillator(shifted, 0);
  shifted.setOscillatorPhase(0, 1.0f);  // from 0.5: +255.25 of 1021 entries
  startNote(reference, 69);
  startNote(shifted, 69);
  const double period = kRate / expectedPitch(0, 69);
  EXPECT_NEAR(phaseLead(render(reference, 8000), render(shifted, 8000), period), 0.25, 1e-3);
  EXPECT_EQ(shifted.getOscillatorPhase(0), 1.0f);
}

TEST(SynthEngine, PhaseBankShiftsTheWaveByItsSumTimesHalfAPeriod) {
  SynthEngine reference;
  soloOscillator(reference, 0);
  SynthEngine shifted;
  soloOscillator(shifted, 0);
  const auto half = constantCurve(0.5f);  // squared: 0.25 → 0.125 period
  shifted.loadEnvelopeLayer(0, EnvelopeBank::phase, 2, half.data());
  startNote(reference, 69);
  startNote(shifted, 69);
  const double period = kRate / expectedPitch(0, 69);
  EXPECT_NEAR(phaseLead(render(reference, 8000), render(shifted, 8000), period), 0.125, 1e-3);
}

TEST(SynthEngine, RoutingSelectsABusByExactValue) {
  SynthEngine reference;
  soloOscillator(reference, 3, 0.0f);
  startNote(reference, 60);
  const std::vector<float> dry = render(reference, 6000);
  ASSERT_GT(signal_measure::rms(dry), 0.1);

  struct Case {
    float routing;
    bool heard;
  };
  for (const Case c :
       {Case{0.0f, true}, Case{0.25f, true}, Case{0.5f, true}, Case{0.75f, true}, Case{1.0f, true},
        Case{0.3f, false}, Case{0.2499999f, false}, Case{1.0000001f, false}, Case{-0.25f, false},
        Case{2.0f, false}, Case{-0.0f, true}}) {
    SynthEngine engine;
    soloOscillator(engine, 3, c.routing);
    startNote(engine, 60);
    const std::vector<float> out = render(engine, 6000);
    if (c.heard) {
      EXPECT_EQ(out, dry) << "routing " << c.routing << " with its effect off passes unchanged";
    } else {
      EXPECT_TRUE(signal_measure::allZero(out)) << "routing " << c.routing << " must be silent";
    }
  }
}

TEST(SynthEngine, EachBusFeedsItsOwnEffect) {
  using Switch = void (SynthEngine::*)(float) noexcept;
  struct Effect {
    const char* name;
    float routing;
    Switch on;
  };
  const Effect effects[] = {{"flanger", 0.25f, &SynthEngine::setFlangerSwitch},
                            {"delay", 0.5f, &SynthEngine::setDelaySwitch},
                            {"phaser", 0.75f, &SynthEngine::setPhaserSwitch},
                            {"reverb", 1.0f, &SynthEngine::setReverbSwitch}};
  SynthEngine reference;
  soloOscillator(reference, 2);
  startNote(reference, 60);
  const std::vector<float> dry = render(reference, 50000);
  for (const Effect& routed : effects) {
    for (const Effect& switched : effects) {
      SynthEngine engine;
      soloOscillator(engine, 2, routed.routing);
      engine.setDelayTime(0.25f);
      (engine.*switched.on)(1.0f);
      startNote(engine, 60);
      const bool changed = render(engine, 50000) != dry;
      EXPECT_EQ(changed, &routed == &switched)
          << "routed to the " << routed.name << " with the " << switched.name << " on";
    }
  }
}

TEST(SynthEngine, WithEffectsOffTheOutputIsTheSumOfTheOscillators) {
  const int32_t oscillators[] = {0, 4, 9};
  const float routings[] = {0.0f, 0.5f, 1.0f};
  std::vector<float> sum(8000, 0.0f);
  for (int32_t i = 0; i < 3; ++i) {
    SynthEngine single;
    soloOscillator(single, oscillators[i], routings[i]);
    startNote(single, 52);
    const std::vector<float> out = render(single, 8000);
    for (std::size_t k = 0; k < out.size(); ++k) sum[k] += out[k];
  }
  SynthEngine together;
  soloOscillator(together, oscillators[0], routings[0]);
  const auto ones = constantCurve(1.0f);
  for (int32_t i = 1; i < 3; ++i) {
    together.setOscillatorSwitch(oscillators[i], 1.0f);
    together.setOscillatorVolume(oscillators[i], 1.0f);
    together.setRouting(oscillators[i], routings[i]);
    together.loadEnvelopeLayer(oscillators[i], EnvelopeBank::amplitude, 0, ones.data());
  }
  startNote(together, 52);
  const std::vector<float> out = render(together, 8000);
  for (std::size_t k = 0; k < out.size(); ++k) ASSERT_NEAR(out[k], sum[k], 1e-6f) << k;
}

TEST(SynthEngine, SwitchedOffOscillatorIsNotHeard) {
  for (float value : {0.5f, 0.0f, -1.0f}) {
    SynthEngine engine;
    soloOscillator(engine, 0);
    engine.setOscillatorSwitch(0, value);
    startNote(engine, 69);
    EXPECT_TRUE(signal_measure::allZero(render(engine, 3000))) << "switch " << value;
  }
}

TEST(SynthEngine, MainVolumeIsAppliedSquared) {
  SynthEngine full;
  soloOscillator(full, 0);
  SynthEngine half;
  soloOscillator(half, 0);
  half.setMainVolume(0.5f);
  EXPECT_EQ(half.getMainVolume(), 0.5f);
  startNote(full, 69);
  startNote(half, 69);
  const std::vector<float> a = render(full, 3000);
  const std::vector<float> b = render(half, 3000);
  for (std::size_t k = 0; k < a.size(); ++k) ASSERT_EQ(b[k], a[k] * 0.25f) << k;
}

TEST(SynthEngine, NoteAmplitudeScalesTheOutput) {
  SynthEngine loud;
  soloOscillator(loud, 0);
  SynthEngine soft;
  soloOscillator(soft, 0);
  startNote(loud, 69, 1.0f);
  startNote(soft, 69, 0.5f);
  const std::vector<float> a = render(loud, 3000);
  const std::vector<float> b = render(soft, 3000);
  for (std::size_t k = 0; k < a.size(); ++k) ASSERT_EQ(b[k], a[k] * 0.5f) << k;
}

TEST(SynthEngine, DecayingEffectTailsHoldNoDenormals) {
  using Switch = void (SynthEngine::*)(float) noexcept;
  struct Case {
    const char* name;
    float routing;
    Switch on;
  };
  for (const Case c : {Case{"flanger", 0.25f, &SynthEngine::setFlangerSwitch},
                       Case{"delay", 0.5f, &SynthEngine::setDelaySwitch},
                       Case{"phaser", 0.75f, &SynthEngine::setPhaserSwitch},
                       Case{"reverb", 1.0f, &SynthEngine::setReverbSwitch}}) {
    SynthEngine engine;
    soloOscillator(engine, 0, c.routing);
    engine.setDelayTime(0.01f);
    engine.setDelayFeedback(0.5f);
    (engine.*c.on)(1.0f);
    startNote(engine, 48);
    (void)render(engine, 11025);
    engine.setOscillatorSwitch(0, 0.0f);
    const std::vector<float> tail = render(engine, 44100 * 4);
    EXPECT_GT(signal_measure::rms(std::span(tail).first(441)), 0.0) << c.name << " had no tail";
    EXPECT_EQ(signal_measure::subnormalCount(tail), 0u) << c.name << " tail";
  }
}

TEST(SynthEngine, SettingsReadBackAsDesigned) {
  SynthEngine engine;
  struct Case {
    const char* name;
    void (SynthEngine::*set)(float) noexcept;
    float (SynthEngine::*get)() const noexcept;
  };
  const Case cases[] = {
      {"main volume", &SynthEngine::setMainVolume, &SynthEngine::getMainVolume},
      {"main detune", &SynthEngine::setMainDetune, &SynthEngine::getMainDetune},
      {"delay switch", &SynthEngine::setDelaySwitch, &SynthEngine::getDelaySwitch},
      {"delay time", &SynthEngine::setDelayTime, &SynthEngine::getDelayTime},
      {"delay feedback", &SynthEngine::setDelayFeedback, &SynthEngine::getDelayFeedback},
      {"delay level", &SynthEngine::setDelayLevel, &SynthEngine::getDelayLevel},
      {"flanger switch", &SynthEngine::setFlangerSwitch, &SynthEngine::getFlangerSwitch},
      {"flanger centre", &SynthEngine::setFlangerCentreDelay, &SynthEngine::getFlangerCentreDelay},
      {"flanger dry", &SynthEngine::setFlangerDryLevel, &SynthEngine::getFlangerDryLevel},
      {"flanger wet", &SynthEngine::setFlangerWetLevel, &SynthEngine::getFlangerWetLevel},
      {"flanger gain", &SynthEngine::setFlangerInputGain, &SynthEngine::getFlangerInputGain},
      {"flanger depth", &SynthEngine::setFlangerSweepDepth, &SynthEngine::getFlangerSweepDepth},
      {"flanger rate", &SynthEngine::setFlangerRate, &SynthEngine::getFlangerRate},
      {"flanger shape", &SynthEngine::setFlangerWaveform, &SynthEngine::getFlangerWaveform},
      {"phaser switch", &SynthEngine::setPhaserSwitch, &SynthEngine::getPhaserSwitch},
      {"phaser depth", &SynthEngine::setPhaserDepth, &SynthEngine::getPhaserDepth},
      {"phaser feedback", &SynthEngine::setPhaserFeedback, &SynthEngine::getPhaserFeedback},
      {"phaser minimum", &SynthEngine::setPhaserMinimum, &SynthEngine::getPhaserMinimum},
      {"phaser maximum", &SynthEngine::setPhaserMaximum, &SynthEngine::getPhaserMaximum},
      {"phaser rate", &SynthEngine::setPhaserRate, &SynthEngine::getPhaserRate},
      {"reverb switch", &SynthEngine::setReverbSwitch, &SynthEngine::getReverbSwitch},
      {"reverb room", &SynthEngine::setReverbRoomSize, &SynthEngine::getReverbRoomSize},
      {"reverb damping", &SynthEngine::setReverbDamping, &SynthEngine::getReverbDamping},
      {"reverb wet", &SynthEngine::setReverbWet, &SynthEngine::getReverbWet},
      {"reverb dry", &SynthEngine::setReverbDry, &SynthEngine::getReverbDry},
      {"reverb width", &SynthEngine::setReverbWidth, &SynthEngine::getReverbWidth},
  };
  for (const Case& c : cases) {
    for (float v : {0.0f, 0.3f, 0.5f, 0.9f, 1.0f}) {
      (engine.*c.set)(v);
      EXPECT_NEAR((engine.*c.get)(), v, 2e-6f) << c.name << " set to " << v;
    }
  }
  for (float v : {0.0f, 0.3f, 0.5f, 1.0f}) {
    engine.setOscillatorVolume(7, v);
    engine.setOscillatorPhase(7, v);
    engine.setOscillatorDetune(7, v);
    engine.setRouting(7, v);
    engine.setOscillatorSwitch(7, v);
    EXPECT_NEAR(engine.getOscillatorVolume(7), v, 1e-6f);
    EXPECT_EQ(engine.getOscillatorPhase(7), v);
    EXPECT_EQ(engine.getOscillatorDetune(7), v);
    EXPECT_EQ(engine.getRouting(7), v);
    EXPECT_EQ(engine.getOscillatorSwitch(7), v);
  }
}

}  // namespace
