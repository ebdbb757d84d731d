// One oscillator on its own: curve-step cadence, phase wrapping, start and gain.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "engine/Oscillator.h"
#include "tests/support/SignalMeasure.h"

namespace {

using Curve = std::array<float, 385>;

Curve filled(float value) {
  Curve curve;
  curve.fill(value);
  return curve;
}

Oscillator makeOscillator(int32_t harmonic = 1, float rate = 44100.0f) {
  Oscillator oscillator;
  oscillator.init(sineTable(), SineTable::kPeriod, harmonic, rate);
  oscillator.setVolume(1.0f);
  return oscillator;
}

std::vector<float> renderOscillator(Oscillator& oscillator, int32_t frames) {
  std::vector<float> out(static_cast<std::size_t>(frames), 0.0f);
  for (int32_t done = 0; done < frames; done += 2000) {
    oscillator.render(out.data() + done, std::min(2000, frames - done));
  }
  return out;
}

// Sample indices at which the ratio of two renders (same phase, different amplitude curves)
// changes: the samples that took a curve step.
std::vector<std::size_t> amplitudeChanges(const std::vector<float>& steady,
                                          const std::vector<float>& ramped) {
  std::vector<std::size_t> changes;
  for (std::size_t k = 1; k < steady.size(); ++k) {
    if (std::fabs(steady[k]) < 1e-2f || std::fabs(steady[k - 1]) < 1e-2f) continue;
    const double before = static_cast<double>(ramped[k - 1]) / static_cast<double>(steady[k - 1]);
    const double now = static_cast<double>(ramped[k]) / static_cast<double>(steady[k]);
    if (std::fabs(now - before) > 1e-5 * std::fabs(now)) changes.push_back(k);
  }
  return changes;
}

void expectCurveStepsEvery(int32_t interval, float rate) {
  Oscillator steady = makeOscillator(1, rate);
  Oscillator ramped = makeOscillator(1, rate);
  const Curve ones = filled(1.0f);
  Curve ramp{};
  for (std::size_t k = 0; k < ramp.size(); ++k) ramp[k] = std::sqrt(static_cast<float>(k) / 384.0f);
  steady.loadEnvelopeLayer(EnvelopeBank::amplitude, 0, ones.data());
  ramped.loadEnvelopeLayer(EnvelopeBank::amplitude, 0, ramp.data());
  steady.start(440.0f, 1.0f);
  ramped.start(440.0f, 1.0f);
  const std::vector<float> steadyOut = renderOscillator(steady, 20 * interval);
  const std::vector<float> rampedOut = renderOscillator(ramped, 20 * interval);
  const std::vector<std::size_t> changes = amplitudeChanges(steadyOut, rampedOut);
  ASSERT_GE(changes.size(), 10u) << "too few curve steps seen";
  for (std::size_t k : changes) {
    EXPECT_EQ(k % std::size_t(interval), std::size_t(interval - 1))
        << "amplitude changed at sample " << k << ", not on a curve step every " << interval;
  }
}

TEST(Oscillator, TakesACurveStepEvery201SamplesAt44100) { expectCurveStepsEvery(201, 44100.0f); }

TEST(Oscillator, CurveStepKeepsItsDurationAtOtherRates) {
  expectCurveStepsEvery(219, 48000.0f);  // 201 × 48000 / 44100 = 218.8
  expectCurveStepsEvery(438, 96000.0f);  // 437.6
  expectCurveStepsEvery(101, 22050.0f);  // 100.5
}

TEST(Oscillator, PhaseSettingShiftsByHalfAPeriodPerUnitAndWrapsAsDesigned) {
  Oscillator oscillator = makeOscillator();
  oscillator.setPhase(0.5f);  // no shift, but the wrap turns phase 0 into 0 + 1024 - 1021
  EXPECT_EQ(oscillator.currentPhase(), 3.0f);
  oscillator.setPhase(1.0f);
  EXPECT_EQ(oscillator.currentPhase(), 258.25f);
  oscillator.setPhase(0.0f);  // 258.25 - 510.5 ≤ 0: the wrap adds 1024
  EXPECT_EQ(oscillator.currentPhase(), 771.75f);
  EXPECT_EQ(oscillator.getPhase(), 0.0f);
}

TEST(Oscillator, PhaseWrapEndsForAnyMagnitude) {
  for (float v : {1e7f, -1e7f, 1e30f, -1e30f, 3e38f, -3e38f, 0.5f}) {
    Oscillator oscillator = makeOscillator();
    oscillator.setPhase(v);
    EXPECT_GE(oscillator.currentPhase(), 0.0f) << "phase setting " << v;
    EXPECT_LT(oscillator.currentPhase(), 1021.0f) << "phase setting " << v;
    oscillator.setPhase(-v);
    EXPECT_GE(oscillator.currentPhase(), 0.0f) << "phase setting " << -v;
    EXPECT_LT(oscillator.currentPhase(), 1021.0f) << "phase setting " << -v;
  }
}

TEST(Oscillator, NonFiniteSettingsAreIgnored) {
  Oscillator oscillator = makeOscillator();
  oscillator.setPhase(0.75f);
  oscillator.setDetune(0.6f);
  oscillator.setMainDetune(0.4f);
  oscillator.setVolume(0.5f);
  for (float bad : {NAN, INFINITY, -INFINITY}) {
    oscillator.setPhase(bad);
    oscillator.setDetune(bad);
    oscillator.setMainDetune(bad);
    oscillator.setVolume(bad);
  }
  EXPECT_EQ(oscillator.getPhase(), 0.75f);
  EXPECT_FLOAT_EQ(oscillator.getDetune(), 0.6f);
  EXPECT_FLOAT_EQ(oscillator.getMainDetune(), 0.4f);
  EXPECT_EQ(oscillator.getVolume(), 0.5f);
}

TEST(Oscillator, VolumeIsStoredSquaredAndReadBack) {
  Oscillator oscillator = makeOscillator();
  oscillator.setVolume(0.5f);
  EXPECT_EQ(oscillator.getVolume(), 0.5f);
  oscillator.setVolume(-0.7f);
  EXPECT_FLOAT_EQ(oscillator.getVolume(), 0.7f);
}

TEST(Oscillator, TurningInactiveInsideABlockNeverReadsOutsideTheTable) {
  Oscillator oscillator = makeOscillator();
  const Curve steep = filled(30.0f);  // pitch bank 900: increment far above the band
  const Curve ones = filled(1.0f);
  oscillator.loadEnvelopeLayer(EnvelopeBank::amplitude, 0, ones.data());
  oscillator.loadEnvelopeLayer(EnvelopeBank::pitch, 0, steep.data());
  oscillator.start(440.0f, 1.0f);
  ASSERT_TRUE(oscillator.isActive());
  const std::vector<float> out = renderOscillator(oscillator, 2000);
  EXPECT_FALSE(oscillator.isActive());
  EXPECT_GE(oscillator.currentPhase(), 0.0f);
  EXPECT_LT(oscillator.currentPhase(), 1021.0f);
  EXPECT_TRUE(signal_measure::allFinite(out));
}

TEST(Oscillator, NegativeIncrementStaysInsideTheTable) {
  Oscillator oscillator = makeOscillator();
  oscillator.setDetune(-2.0f);  // factor 1 + (-2.5) < 0
  oscillator.start(440.0f, 1.0f);
  EXPECT_FALSE(oscillator.isActive());
  const std::vector<float> out = renderOscillator(oscillator, 4000);
  EXPECT_GE(oscillator.currentPhase(), 0.0f);
  EXPECT_LT(oscillator.currentPhase(), 1021.0f);
  EXPECT_TRUE(signal_measure::allFinite(out));
}

TEST(Oscillator, NewNoteKeepsThePhase) {
  Oscillator oscillator = makeOscillator();
  const Curve ones = filled(1.0f);
  oscillator.loadEnvelopeLayer(EnvelopeBank::amplitude, 0, ones.data());
  oscillator.start(440.0f, 1.0f);
  (void)renderOscillator(oscillator, 777);
  const float phase = oscillator.currentPhase();
  oscillator.start(523.25f, 0.5f);
  EXPECT_EQ(oscillator.currentPhase(), phase);
}

TEST(Oscillator, VelocityZeroIsSilent) {
  Oscillator oscillator = makeOscillator();
  const Curve ones = filled(1.0f);
  oscillator.loadEnvelopeLayer(EnvelopeBank::amplitude, 0, ones.data());
  oscillator.start(440.0f, 0.0f);
  EXPECT_TRUE(signal_measure::allZero(renderOscillator(oscillator, 1000)));
}

TEST(Oscillator, LayerNumbersOutsideZeroToFourAndNullCurvesChangeNothing) {
  Oscillator reference = makeOscillator();
  Oscillator probed = makeOscillator();
  const Curve ones = filled(1.0f);
  const Curve loud = filled(5.0f);
  reference.loadEnvelopeLayer(EnvelopeBank::amplitude, 0, ones.data());
  probed.loadEnvelopeLayer(EnvelopeBank::amplitude, 0, ones.data());
  for (int32_t layer : {-1, 5, 1000, INT32_MIN}) {
    probed.loadEnvelopeLayer(EnvelopeBank::amplitude, layer, loud.data());
  }
  probed.loadEnvelopeLayer(static_cast<EnvelopeBank>(3), 0, loud.data());
  probed.loadEnvelopeLayer(EnvelopeBank::amplitude, 0, nullptr);
  reference.start(440.0f, 1.0f);
  probed.start(440.0f, 1.0f);
  EXPECT_EQ(renderOscillator(reference, 1000), renderOscillator(probed, 1000));
}

}  // namespace
