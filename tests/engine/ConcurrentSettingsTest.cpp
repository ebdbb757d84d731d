// Settings made on another thread while blocks render are never lost: a delay time or an
// oscillator phase set during a block reaches the sound by the next block, and the sound agrees
// with what the parameter reads back; every setting, note start and curve load made while the
// engine renders leaves it reading back what the same calls give without a renderer, and every
// sample finite. One thread renders without pause while another sets, for as long as it takes
// the setter to finish; nothing here depends on timing to pass. Under the ThreadSanitizer build
// these runs also show that no value is shared without an atomic access.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "EngineSetup.h"
#include "engine/Delay.h"
#include "engine/SynthEngine.h"
#include "tests/support/ChangeStream.h"
#include "tests/support/FullPatch.h"
#include "tests/support/RenderWhileSetting.h"
#include "tests/support/SignalMeasure.h"

namespace {

constexpr int32_t kSettings = 20000;
constexpr int32_t kBlock = 64;

// Where an impulse fed in now comes out again, in samples (or -1 within two seconds).
int32_t echoDistance(Delay& delay) {
  std::vector<float> in(88200 + 1, 0.0f);
  std::vector<float> out(in.size(), 0.0f);
  in[0] = 1.0f;
  for (std::size_t done = 0; done < in.size(); done += 2000) {
    const auto count = static_cast<int32_t>(std::min<std::size_t>(2000, in.size() - done));
    delay.processSamples(in.data() + done, out.data() + done, count);
  }
  for (std::size_t k = 1; k < out.size(); ++k) {
    if (out[k] != 0.0f) return static_cast<int32_t>(k);
  }
  return -1;
}

TEST(ConcurrentSettings, DelayTimeSetDuringBlocksMovesTheEchoToTheLastSetting) {
  Delay delay;
  std::vector<float> silence(kBlock, 0.0f);
  std::vector<float> out(kBlock, 0.0f);
  const int64_t blocks =
      renderWhileSetting([&] { delay.processSamples(silence.data(), out.data(), kBlock); },
                         [&] {
                           for (int32_t k = 0; k < kSettings; ++k)
                             delay.setTime(static_cast<float>(k % 97) / 97.0f + 0.004f);
                           delay.setTime(0.25f);
                         });
  EXPECT_GT(blocks, 0);
  EXPECT_EQ(delay.getTime(), 0.25f);
  EXPECT_EQ(echoDistance(delay), 22050) << "the echo must follow the last time setting";
}

TEST(ConcurrentSettings, PhaseSetDuringBlocksShiftsTheSoundByEveryChange) {
  // Rising settings only: every change shifts the phase forward, so the shifts add up exactly
  // to the last setting's and the design's wrap below zero never comes into play.
  SynthEngine shifted;
  SynthEngine twin;
  for (SynthEngine* engine : {&shifted, &twin}) {
    engine_setup::soloOscillator(*engine, 0);
    engine->setOscillatorPhase(0, 0.5f);
    engine_setup::startNote(*engine, 69);
  }
  std::vector<float> out(kBlock, 0.0f);
  float last = 0.5f;
  const int64_t blocks =
      renderWhileSetting([&] { shifted.renderHostBlock(out.data(), kBlock, 0, true); },
                         [&] {
                           for (int32_t k = 1; k <= kSettings; ++k) {
                             last = 0.5f + static_cast<float>(k) * 0.01f;
                             shifted.setOscillatorPhase(0, last);
                           }
                         });
  ASSERT_GT(blocks, 0);
  shifted.renderHostBlock(out.data(), kBlock, 0, true);
  // The twin renders as many frames with the last setting made before it started.
  twin.setOscillatorPhase(0, last);
  for (int64_t b = 0; b <= blocks; ++b) twin.renderHostBlock(out.data(), kBlock, 0, true);

  EXPECT_EQ(shifted.getOscillatorPhase(0), last);
  const double apart = std::remainder(static_cast<double>(shifted.oscillator(0).currentPhase()) -
                                          static_cast<double>(twin.oscillator(0).currentPhase()),
                                      1021.0);
  EXPECT_LT(std::fabs(apart), 1.0) << "each setting moves the phase by 5.1 table entries; " << apart
                                   << " entries apart means settings were lost";
}

using change_stream::Stream;

using GlobalSetting = void (SynthEngine::*)(float) noexcept;
using GlobalReading = float (SynthEngine::*)() const noexcept;
using OscillatorSetting = void (SynthEngine::*)(int32_t, float) noexcept;
using OscillatorReading = float (SynthEngine::*)(int32_t) const noexcept;
using E = SynthEngine;

constexpr std::pair<GlobalSetting, GlobalReading> kGlobals[] = {
    {&E::setMainVolume, &E::getMainVolume},
    {&E::setMainDetune, &E::getMainDetune},
    {&E::setDelaySwitch, &E::getDelaySwitch},
    {&E::setDelayTime, &E::getDelayTime},
    {&E::setDelayFeedback, &E::getDelayFeedback},
    {&E::setDelayLevel, &E::getDelayLevel},
    {&E::setFlangerSwitch, &E::getFlangerSwitch},
    {&E::setFlangerCentreDelay, &E::getFlangerCentreDelay},
    {&E::setFlangerDryLevel, &E::getFlangerDryLevel},
    {&E::setFlangerWetLevel, &E::getFlangerWetLevel},
    {&E::setFlangerInputGain, &E::getFlangerInputGain},
    {&E::setFlangerSweepDepth, &E::getFlangerSweepDepth},
    {&E::setFlangerRate, &E::getFlangerRate},
    {&E::setFlangerWaveform, &E::getFlangerWaveform},
    {&E::setPhaserSwitch, &E::getPhaserSwitch},
    {&E::setPhaserDepth, &E::getPhaserDepth},
    {&E::setPhaserFeedback, &E::getPhaserFeedback},
    {&E::setPhaserMinimum, &E::getPhaserMinimum},
    {&E::setPhaserMaximum, &E::getPhaserMaximum},
    {&E::setPhaserRate, &E::getPhaserRate},
    {&E::setReverbSwitch, &E::getReverbSwitch},
    {&E::setReverbRoomSize, &E::getReverbRoomSize},
    {&E::setReverbDamping, &E::getReverbDamping},
    {&E::setReverbWet, &E::getReverbWet},
    {&E::setReverbDry, &E::getReverbDry},
    {&E::setReverbWidth, &E::getReverbWidth},
};

constexpr std::pair<OscillatorSetting, OscillatorReading> kPerOscillator[] = {
    {&E::setRouting, &E::getRouting},
    {&E::setOscillatorSwitch, &E::getOscillatorSwitch},
    {&E::setOscillatorVolume, &E::getOscillatorVolume},
    {&E::setOscillatorPhase, &E::getOscillatorPhase},
    {&E::setOscillatorDetune, &E::getOscillatorDetune},
};

// One call of the setter thread: any setting (now and then a hostile value), a curve load or a
// note start, from the stream.
void anyChange(SynthEngine& engine, Stream& stream) {
  static constexpr float kOdd[] = {1e30f, -1e30f, 3e38f, 2e19f, -7.0f, 0.3f, 0.0f, 1.0f};
  const float v = stream.below(8) == 0 ? kOdd[stream.below(8)] : stream.unit();
  const int32_t osc = stream.below(SynthEngine::kOscillatorCount);
  switch (stream.below(10)) {
    case 0: {
      const auto curve = full_patch::shapedCurve(stream.unit(), stream.unit(), 0.1f, 2.0f);
      engine.loadEnvelopeLayer(osc, static_cast<EnvelopeBank>(stream.below(3)), stream.below(5),
                               curve.data());
      break;
    }
    case 1: engine.startAllOscillators(noteFrequency(30 + stream.below(70)), stream.unit()); break;
    case 2:
    case 3:
    case 4: {
      const OscillatorSetting set = kPerOscillator[static_cast<std::size_t>(stream.below(5))].first;
      (engine.*set)(osc, v);
      break;
    }
    default: {
      const auto which =
          static_cast<std::size_t>(stream.below(static_cast<int32_t>(std::size(kGlobals))));
      const GlobalSetting set = kGlobals[which].first;
      (engine.*set)(v);
      break;
    }
  }
}

void expectSameReadings(const SynthEngine& expected, const SynthEngine& actual) {
  int32_t setting = 0;
  for (const auto& [set, get] : kGlobals) {
    const float wanted = (expected.*get)();
    EXPECT_EQ((actual.*get)(), wanted) << "setting " << setting++;
  }
  setting = 0;
  for (const auto& [set, get] : kPerOscillator) {
    for (int32_t osc = 0; osc < SynthEngine::kOscillatorCount; ++osc) {
      const float wanted = (expected.*get)(osc);
      EXPECT_EQ((actual.*get)(osc), wanted)
          << "per-oscillator setting " << setting << ", oscillator " << osc;
    }
    ++setting;
  }
}

TEST(ConcurrentSettings, EverySettingNoteStartAndCurveWhileRenderingIsKeptAndSoundsFinite) {
  constexpr int32_t kChanges = 6000;
  SynthEngine engine;
  SynthEngine twin;
  for (SynthEngine* e : {&engine, &twin}) {
    full_patch::apply(*e);
    e->startAllOscillators(noteFrequency(full_patch::kNote), 0.8f);
  }
  std::vector<float> out(kBlock, 0.0f);
  int64_t nonFiniteBlocks = 0;
  const int64_t blocks = renderWhileSetting(
      [&] {
        engine.renderHostBlock(out.data(), kBlock, 0, true);
        if (!signal_measure::allFinite(out)) ++nonFiniteBlocks;
      },
      [&] {
        Stream stream(7);
        for (int32_t k = 0; k < kChanges; ++k) anyChange(engine, stream);
      });
  Stream stream(7);
  for (int32_t k = 0; k < kChanges; ++k) anyChange(twin, stream);
  EXPECT_GT(blocks, 0);
  EXPECT_EQ(nonFiniteBlocks, 0) << "of " << blocks << " blocks";
  expectSameReadings(twin, engine);
}

}  // namespace
