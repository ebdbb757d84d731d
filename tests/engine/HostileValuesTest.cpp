// Hostile host values: every setter with NaN, ±inf, huge values and values whose designed
// transform overflows, bad indexes, bad curves, bad notes and bad rates. Nothing may crash or
// hang; non-finite values leave the setting as it was; every sample rendered while a setting is
// hostile is finite; once sane values return, the output sounds again within a second.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "EngineSetup.h"
#include "engine/SynthEngine.h"
#include "tests/support/SignalMeasure.h"

namespace {

using engine_setup::render;

constexpr float kHuge = 1e30f;
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kLargest = std::numeric_limits<float>::max();
// 2e19 is the first magnitude whose square overflows, 1.2e38 the first that overflows × 3.
constexpr float kHostileValues[] = {kNaN,  kInf,     -kInf,    kHuge,    -kHuge,
                                    2e19f, -1.2e38f, kLargest, -kLargest};

std::string text(float value) {
  std::ostringstream out;
  out << value;
  return out.str();
}

struct Setting {
  std::string name;
  void (*set)(SynthEngine&, float);
  float (*get)(const SynthEngine&);
  float sane;
};

template <void (SynthEngine::*Set)(float) noexcept, float (SynthEngine::*Get)() const noexcept>
Setting global(const char* name, float sane) {
  return {name, [](SynthEngine& e, float v) { (e.*Set)(v); },
          [](const SynthEngine& e) { return (e.*Get)(); }, sane};
}

template <void (SynthEngine::*Set)(int32_t, float) noexcept,
          float (SynthEngine::*Get)(int32_t) const noexcept, int32_t Osc>
Setting perOscillator(const char* name, float sane) {
  return {std::string(name) + " " + std::to_string(Osc),
          [](SynthEngine& e, float v) { (e.*Set)(Osc, v); },
          [](const SynthEngine& e) { return (e.*Get)(Osc); }, sane};
}

template <int32_t Osc>
void addOscillatorSettings(std::vector<Setting>& settings, float routing) {
  using E = SynthEngine;
  settings.push_back(perOscillator<&E::setRouting, &E::getRouting, Osc>("routing", routing));
  settings.push_back(
      perOscillator<&E::setOscillatorSwitch, &E::getOscillatorSwitch, Osc>("switch", 1.0f));
  settings.push_back(
      perOscillator<&E::setOscillatorVolume, &E::getOscillatorVolume, Osc>("volume", 0.5f));
  settings.push_back(
      perOscillator<&E::setOscillatorPhase, &E::getOscillatorPhase, Osc>("phase", 0.5f));
  settings.push_back(
      perOscillator<&E::setOscillatorDetune, &E::getOscillatorDetune, Osc>("detune", 0.5f));
}

std::vector<Setting> allSettings() {
  using E = SynthEngine;
  std::vector<Setting> settings = {
      global<&E::setMainVolume, &E::getMainVolume>("main volume", 0.9f),
      global<&E::setMainDetune, &E::getMainDetune>("main detune", 0.5f),
      global<&E::setDelaySwitch, &E::getDelaySwitch>("delay switch", 1.0f),
      global<&E::setDelayTime, &E::getDelayTime>("delay time", 0.5f),
      global<&E::setDelayFeedback, &E::getDelayFeedback>("delay feedback", 0.3f),
      global<&E::setDelayLevel, &E::getDelayLevel>("delay level", 0.5f),
      global<&E::setFlangerSwitch, &E::getFlangerSwitch>("flanger switch", 1.0f),
      global<&E::setFlangerCentreDelay, &E::getFlangerCentreDelay>("flanger centre", 0.5f),
      global<&E::setFlangerDryLevel, &E::getFlangerDryLevel>("flanger dry", 0.5f),
      global<&E::setFlangerWetLevel, &E::getFlangerWetLevel>("flanger wet", 0.5f),
      global<&E::setFlangerInputGain, &E::getFlangerInputGain>("flanger gain", 0.5f),
      global<&E::setFlangerSweepDepth, &E::getFlangerSweepDepth>("flanger depth", 0.5f),
      global<&E::setFlangerRate, &E::getFlangerRate>("flanger rate", 0.5f),
      global<&E::setFlangerWaveform, &E::getFlangerWaveform>("flanger shape", 0.0f),
      global<&E::setPhaserSwitch, &E::getPhaserSwitch>("phaser switch", 1.0f),
      global<&E::setPhaserDepth, &E::getPhaserDepth>("phaser depth", 0.5f),
      global<&E::setPhaserFeedback, &E::getPhaserFeedback>("phaser feedback", 0.5f),
      global<&E::setPhaserMinimum, &E::getPhaserMinimum>("phaser minimum", 0.5f),
      global<&E::setPhaserMaximum, &E::getPhaserMaximum>("phaser maximum", 0.5f),
      global<&E::setPhaserRate, &E::getPhaserRate>("phaser rate", 0.5f),
      global<&E::setReverbSwitch, &E::getReverbSwitch>("reverb switch", 1.0f),
      global<&E::setReverbRoomSize, &E::getReverbRoomSize>("reverb room", 0.5f),
      global<&E::setReverbDamping, &E::getReverbDamping>("reverb damping", 0.5f),
      global<&E::setReverbWet, &E::getReverbWet>("reverb wet", 0.5f),
      global<&E::setReverbDry, &E::getReverbDry>("reverb dry", 0.5f),
      global<&E::setReverbWidth, &E::getReverbWidth>("reverb width", 0.5f),
  };
  // Oscillators 0-4 carry the five buses in the rich patch; 31 is the last index.
  addOscillatorSettings<0>(settings, 0.0f);
  addOscillatorSettings<1>(settings, 0.25f);
  addOscillatorSettings<2>(settings, 0.5f);
  addOscillatorSettings<3>(settings, 0.75f);
  addOscillatorSettings<4>(settings, 1.0f);
  addOscillatorSettings<31>(settings, 0.25f);
  return settings;
}

// A patch on every bus and effect, with oscillator 31 sounding too, playing a note.
void playRichPatch(SynthEngine& engine) {
  engine_setup::richPatch(engine, 6);
  engine.setOscillatorSwitch(31, 1.0f);
  engine.setOscillatorVolume(31, 0.5f);
  engine.setRouting(31, 0.25f);
  engine_setup::startNote(engine, 33);
}

// Renders one second after sane values returned, then expects finite sound.
void expectRecovered(SynthEngine& engine, const std::string& what) {
  (void)render(engine, 44100);
  const std::vector<float> after = render(engine, 4410);
  EXPECT_TRUE(signal_measure::allFinite(after)) << what << ": output not finite after 1 s";
  EXPECT_GT(signal_measure::rms(after), 1e-3) << what << ": silent after recovering";
}

TEST(HostileValues, NonFiniteValuesLeaveEverySettingAsItWas) {
  for (const Setting& setting : allSettings()) {
    SynthEngine engine;
    playRichPatch(engine);
    setting.set(engine, setting.sane);
    const float before = setting.get(engine);
    for (float bad : {kNaN, kInf, -kInf}) {
      setting.set(engine, bad);
      EXPECT_EQ(setting.get(engine), before) << setting.name << " took " << bad;
    }
    EXPECT_TRUE(signal_measure::allFinite(render(engine, 4410))) << setting.name;
  }
}

TEST(HostileValues, EverySettingRecoversFromEveryHostileValue) {
  for (const Setting& setting : allSettings()) {
    for (float bad : kHostileValues) {
      SynthEngine engine;
      playRichPatch(engine);
      (void)render(engine, 2205);
      setting.set(engine, bad);
      const std::vector<float> hostile = render(engine, 4410);
      const auto at = signal_measure::firstNonFinite(hostile);
      EXPECT_FALSE(at) << setting.name << " = " << text(bad) << ": sample " << at.value_or(0)
                       << " is " << hostile[at.value_or(0)];
      setting.set(engine, setting.sane);
      expectRecovered(engine, setting.name + " = " + text(bad));
    }
  }
}

TEST(HostileValues, AllSettingsHugeAtOnceThenSane) {
  for (float bad : {kHuge, -kHuge, kLargest, -kLargest}) {
    SynthEngine engine;
    playRichPatch(engine);
    const std::vector<Setting> settings = allSettings();
    for (const Setting& setting : settings) setting.set(engine, bad);
    EXPECT_TRUE(signal_measure::allFinite(render(engine, 22050))) << "every setting " << bad;
    for (const Setting& setting : settings) setting.set(engine, setting.sane);
    engine_setup::startNote(engine, 33);
    expectRecovered(engine, "every setting " + text(bad));
  }
}

TEST(HostileValues, BadOscillatorIndexesAreIgnored) {
  SynthEngine reference;
  playRichPatch(reference);
  SynthEngine probed;
  playRichPatch(probed);
  const auto loud = engine_setup::constantCurve(3.0f);
  for (int32_t osc : {-1, 32, 33, 1000, INT32_MIN, INT32_MAX}) {
    probed.setRouting(osc, 0.0f);
    probed.setOscillatorSwitch(osc, 1.0f);
    probed.setOscillatorVolume(osc, 1.0f);
    probed.setOscillatorPhase(osc, 0.9f);
    probed.setOscillatorDetune(osc, 0.9f);
    probed.loadEnvelopeLayer(osc, EnvelopeBank::amplitude, 0, loud.data());
    EXPECT_EQ(probed.getRouting(osc), 0.0f) << osc;
    EXPECT_EQ(probed.getOscillatorSwitch(osc), 0.0f) << osc;
    EXPECT_EQ(probed.getOscillatorVolume(osc), 0.0f) << osc;
    EXPECT_EQ(probed.getOscillatorPhase(osc), 0.0f) << osc;
    EXPECT_EQ(probed.getOscillatorDetune(osc), 0.0f) << osc;
    EXPECT_FALSE(probed.isOscillatorActive(osc)) << osc;
  }
  for (int32_t layer : {-1, 5, INT32_MIN, INT32_MAX}) {
    probed.loadEnvelopeLayer(0, EnvelopeBank::amplitude, layer, loud.data());
  }
  for (int32_t bank : {-1, 3, INT32_MAX}) {
    probed.loadEnvelopeLayer(0, static_cast<EnvelopeBank>(bank), 0, loud.data());
  }
  probed.loadEnvelopeLayer(0, EnvelopeBank::amplitude, 0, nullptr);
  EXPECT_EQ(render(probed, 8000), render(reference, 8000));
}

TEST(HostileValues, HostileCurvesRecoverOnceSaneCurvesReturn) {
  for (const EnvelopeBank bank :
       {EnvelopeBank::amplitude, EnvelopeBank::pitch, EnvelopeBank::phase}) {
    for (float bad : {kNaN, kInf, -kInf, kHuge, 1e19f}) {
      SynthEngine engine;
      playRichPatch(engine);
      const auto hostile = engine_setup::constantCurve(bad);
      for (int32_t osc = 0; osc < SynthEngine::kOscillatorCount; ++osc) {
        for (int32_t layer = 0; layer < 5; ++layer) {
          engine.loadEnvelopeLayer(osc, bank, layer, hostile.data());
        }
      }
      (void)render(engine, 11025);
      const auto ones = engine_setup::constantCurve(1.0f);
      const auto zeros = engine_setup::constantCurve(0.0f);
      for (int32_t osc = 0; osc < SynthEngine::kOscillatorCount; ++osc) {
        for (int32_t layer = 0; layer < 5; ++layer) {
          const bool steady = bank == EnvelopeBank::amplitude && layer == 0;
          engine.loadEnvelopeLayer(osc, bank, layer, steady ? ones.data() : zeros.data());
        }
      }
      engine_setup::startNote(engine, 33);
      expectRecovered(engine,
                      "bank " + std::to_string(static_cast<int>(bank)) + " curve " + text(bad));
    }
  }
}

TEST(HostileValues, HostileNoteStartsAreIgnoredOrRecovered) {
  for (float bad : kHostileValues) {
    for (bool badFrequency : {true, false}) {
      SynthEngine engine;
      playRichPatch(engine);
      engine.startAllOscillators(badFrequency ? bad : 440.0f, badFrequency ? 1.0f : bad);
      (void)render(engine, 11025);
      engine_setup::startNote(engine, 33);
      expectRecovered(engine, std::string(badFrequency ? "frequency " : "amplitude ") + text(bad));
    }
  }
}

TEST(HostileValues, HostileSampleRatesThenSane) {
  for (float bad : {kNaN, kInf, -kInf, kHuge, -kHuge, 0.0f, 1e-30f}) {
    SynthEngine engine;
    playRichPatch(engine);
    engine.setSampleRate(bad);
    (void)render(engine, 11025);
    engine.setSampleRate(44100.0f);
    playRichPatch(engine);
    expectRecovered(engine, "sample rate " + text(bad));
  }
}

}  // namespace
