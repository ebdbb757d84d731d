// Sample-rate changes: pitch, band, delay time, reverb and curve timing stay the same in hertz
// and seconds; 44100 Hz stays exactly as designed; bad rates are ignored.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "EngineSetup.h"
#include "engine/SynthEngine.h"
#include "tests/support/SignalMeasure.h"

namespace {

using engine_setup::render;
using engine_setup::soloOscillator;
using engine_setup::startNote;

constexpr float kRates[] = {22050.0f, 48000.0f, 88200.0f, 96000.0f, 176400.0f, 192000.0f};

double pitchAt(float rate, int32_t osc, int32_t note) {
  SynthEngine engine;
  engine.setSampleRate(rate);
  soloOscillator(engine, osc);
  startNote(engine, note);
  const std::vector<float> out = render(engine, static_cast<int32_t>(rate));
  return signal_measure::frequency(out, static_cast<double>(rate),
                                   static_cast<std::size_t>(rate / 40.0f));
}

TEST(Retune, PitchMatches44100WithinATenthOfACent) {
  struct Case {
    int32_t osc;
    int32_t note;
  };
  for (const Case c : {Case{0, 69}, Case{4, 50}, Case{11, 64}}) {
    const double reference = pitchAt(44100.0f, c.osc, c.note);
    for (float rate : kRates) {
      const double measured = pitchAt(rate, c.osc, c.note);
      EXPECT_NEAR(signal_measure::cents(measured, reference), 0.0, 0.1)
          << "rate " << rate << " oscillator " << c.osc << " note " << c.note << ": " << measured
          << " Hz against " << reference << " Hz at 44100";
    }
  }
}

TEST(Retune, ActiveBandStaysInHertzAndBelowNyquist) {
  struct Case {
    float rate;
    int32_t osc;
    int32_t note;
    bool active;
  };
  for (const Case c :
       {Case{96000.0f, 0, 15, false}, Case{96000.0f, 0, 16, true}, Case{96000.0f, 31, 75, true},
        Case{96000.0f, 31, 76, false}, Case{192000.0f, 31, 76, false}, Case{22050.0f, 31, 63, true},
        Case{22050.0f, 31, 64, false}}) {
    SynthEngine engine;
    engine.setSampleRate(c.rate);
    soloOscillator(engine, c.osc);
    startNote(engine, c.note);
    EXPECT_EQ(engine.isOscillatorActive(c.osc), c.active)
        << "rate " << c.rate << " oscillator " << c.osc << " note " << c.note;
  }
}

// Frames between the oscillator's first sound and its first echo through the delay.
std::size_t measuredDelay(float rate, float time) {
  SynthEngine direct;
  SynthEngine delayed;
  for (SynthEngine* engine : {&direct, &delayed}) {
    engine->setSampleRate(rate);
    soloOscillator(*engine, 0, 0.5f);
    engine->setDelayTime(time);
    engine->setDelayLevel(1.0f);
    startNote(*engine, 69);
  }
  delayed.setDelaySwitch(1.0f);
  const int32_t frames =
      static_cast<int32_t>(2.0f * time * rate) + static_cast<int32_t>(rate / 10.0f);
  const std::vector<float> a = render(direct, frames);
  const std::vector<float> b = render(delayed, frames);
  std::vector<float> echo(a.size());
  for (std::size_t k = 0; k < a.size(); ++k) echo[k] = b[k] - a[k];
  const auto sound = signal_measure::firstNonZero(a);
  const auto repeat = signal_measure::firstNonZero(echo);
  if (!sound || !repeat) return 0;
  return *repeat - *sound;
}

TEST(Retune, DelayTimeStaysInSeconds) {
  EXPECT_EQ(measuredDelay(44100.0f, 0.25f), 22050u);
  for (float rate : {48000.0f, 96000.0f}) {
    for (float time : {0.1f, 0.25f}) {
      EXPECT_NEAR(double(measuredDelay(rate, time)), 2.0 * double(time) * double(rate), 1.0)
          << "rate " << rate << " time " << time;
    }
  }
}

TEST(Retune, ReverbFirstReflectionStaysInSeconds) {
  for (float rate : {44100.0f, 48000.0f, 96000.0f}) {
    SynthEngine engine;
    engine.setSampleRate(rate);
    soloOscillator(engine, 0, 1.0f);
    engine.setReverbSwitch(1.0f);
    engine.setReverbDry(0.0f);
    engine.setReverbWet(0.5f);
    SynthEngine dry;
    dry.setSampleRate(rate);
    soloOscillator(dry, 0, 1.0f);
    startNote(engine, 69);
    startNote(dry, 69);
    const int32_t frames = static_cast<int32_t>(rate / 10.0f);
    const auto sound = signal_measure::firstNonZero(render(dry, frames));
    const auto reflection = signal_measure::firstNonZero(render(engine, frames));
    ASSERT_TRUE(sound && reflection) << rate;
    EXPECT_NEAR(double(*reflection - *sound), 1116.0 * double(rate) / 44100.0, 0.5)
        << "rate " << rate;
  }
}

TEST(Retune, BackTo44100RendersExactlyAsAFreshEngine) {
  SynthEngine fresh;
  SynthEngine travelled;
  travelled.setSampleRate(48000.0f);
  travelled.setSampleRate(96000.0f);
  travelled.setSampleRate(44100.0f);
  for (SynthEngine* engine : {&fresh, &travelled}) {
    engine_setup::richPatch(*engine);
    startNote(*engine, 45);
  }
  EXPECT_EQ(render(travelled, 44100), render(fresh, 44100));
  EXPECT_EQ(travelled.getSampleRate(), 44100.0f);
}

TEST(Retune, BadRatesAreIgnored) {
  SynthEngine engine;
  engine.setSampleRate(48000.0f);
  for (float bad : {0.0f, -44100.0f, NAN, INFINITY, -INFINITY}) {
    engine.setSampleRate(bad);
    EXPECT_EQ(engine.getSampleRate(), 48000.0f) << "rate " << bad;
  }
  soloOscillator(engine, 0);
  startNote(engine, 69);
  const std::vector<float> out = render(engine, 48000);
  EXPECT_NEAR(signal_measure::frequency(out, 48000.0, 2000), 440.0 * 1024.0 / 1021.0, 0.01);
}

TEST(Retune, ExtremeRatesAreTunedForTheNearestSupportedRate) {
  for (float rate : {1.0f, 1e30f, 3e38f}) {
    SynthEngine engine;
    engine.setSampleRate(rate);
    EXPECT_EQ(engine.getSampleRate(), rate);
    engine_setup::richPatch(engine);
    startNote(engine, 69);
    EXPECT_TRUE(signal_measure::allFinite(render(engine, 20000))) << "rate " << rate;
  }
}

}  // namespace
