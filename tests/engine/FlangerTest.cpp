// The flanger: identity, delay positions and clamping, the two LFOs, guards and retuning.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/Flanger.h"
#include "tests/engine/EngineSetup.h"
#include "tests/support/SignalMeasure.h"

namespace {

using engine_setup::impulseResponse;

// Impulse in, delayed signal only out (dry 0, wet 1, line gain 1, no sweep).
Flanger staticFlanger(float centre) {
  Flanger flanger;
  flanger.setDryLevel(0.0f);
  flanger.setWetLevel(1.0f);
  flanger.setInputGain(1.0f);
  flanger.setSweepDepth(0.0f);
  flanger.setCentreDelay(centre);
  return flanger;
}

TEST(Flanger, WetZeroDryOnePassesTheInputUnchanged) {
  Flanger flanger;
  flanger.setWetLevel(0.0f);
  flanger.setDryLevel(1.0f);
  std::vector<float> input(10000);
  for (std::size_t k = 0; k < input.size(); ++k) input[k] = std::sin(0.01f * static_cast<float>(k));
  std::vector<float> output = input;
  for (std::size_t done = 0; done < output.size(); done += 2000) {
    flanger.processSamples(output.data() + done, output.data() + done, 2000);
  }
  EXPECT_EQ(output, input);
}

TEST(Flanger, CentreDelayOfHalfIsTenMilliseconds) {
  Flanger flanger = staticFlanger(0.5f);
  const auto echo = signal_measure::firstNonZero(impulseResponse(flanger, 2000));
  ASSERT_TRUE(echo.has_value());
  EXPECT_EQ(*echo, 441u);
  EXPECT_FLOAT_EQ(flanger.getCentreDelay(), 0.5f);
}

TEST(Flanger, ZeroDelayIsClampedToOneSample) {
  Flanger flanger = staticFlanger(0.0f);
  const std::vector<float> out = impulseResponse(flanger, 100);
  EXPECT_EQ(out[0], 0.0f);
  EXPECT_EQ(out[1], 1.0f);
}

TEST(Flanger, DelaysLongerThanTheLineStayInsideIt) {
  for (float centre : {30.0f, 1e6f, -1e6f, 1e30f, -1e30f, 3e38f}) {
    Flanger flanger = staticFlanger(centre);
    flanger.setSweepDepth(centre);
    const std::vector<float> out = impulseResponse(flanger, 30000);
    EXPECT_TRUE(signal_measure::allFinite(out)) << "centre delay " << centre;
  }
}

TEST(Flanger, TriangleTurnsAtOneAndAtZero) {
  Flanger flanger;
  flanger.setWaveform(1.0f);
  flanger.setRate(1.0f);  // a full up-and-down cycle at 1.5 Hz: 29400 samples
  std::vector<float> block(1, 0.0f);
  std::vector<std::size_t> tops;
  std::vector<std::size_t> bottoms;
  float previous = flanger.sweep();
  bool rising = true;
  float highest = 0.0f;
  float lowest = 1.0f;
  for (std::size_t k = 0; k < 70000; ++k) {
    flanger.processSamples(block.data(), block.data(), 1);
    const float value = flanger.sweep();
    highest = std::max(highest, value);
    lowest = std::min(lowest, value);
    if (rising && value < previous) {
      tops.push_back(k);
      rising = false;
    } else if (!rising && value > previous) {
      bottoms.push_back(k);
      rising = true;
    }
    previous = value;
  }
  ASSERT_GE(tops.size(), 2u);
  ASSERT_GE(bottoms.size(), 2u);
  EXPECT_GE(highest, 1.0f);
  EXPECT_LT(highest, 1.0f + 1e-4f);
  EXPECT_LE(lowest, 0.0f);
  EXPECT_GT(lowest, -1e-4f);
  // Float accumulation of the step and the overshoot at each turn cost a few samples.
  EXPECT_NEAR(double(tops[1] - tops[0]), 44100.0 / 1.5, 30.0);
  EXPECT_NEAR(double(bottoms[0] - tops[0]), 44100.0 / 3.0, 15.0);
}

TEST(Flanger, TriangleStartedBelowZeroHeadsBackUp) {
  Flanger flanger;
  flanger.setRate(1.0f);
  std::vector<float> block(1, 0.0f);
  // Run the sine into its negative half, then switch to the triangle.
  while (!(flanger.sweep() < -0.5f)) flanger.processSamples(block.data(), block.data(), 1);
  flanger.setWaveform(1.0f);
  float highest = flanger.sweep();
  for (int32_t k = 0; k < 40000; ++k) {
    flanger.processSamples(block.data(), block.data(), 1);
    highest = std::max(highest, flanger.sweep());
  }
  EXPECT_GE(highest, 1.0f) << "the triangle stuck instead of sweeping";
}

TEST(Flanger, SineSweepsAtTwiceTheRateInHertz) {
  Flanger flanger;
  flanger.setRate(0.5f);  // 1 Hz
  std::vector<float> block(1, 0.0f);
  std::vector<float> sweep;
  for (int32_t k = 0; k < 3 * 44100; ++k) {
    flanger.processSamples(block.data(), block.data(), 1);
    sweep.push_back(flanger.sweep());
  }
  EXPECT_NEAR(signal_measure::frequency(sweep, 44100.0), 1.0, 1e-3);
}

TEST(Flanger, RetunedKeepsDelaysAndRatesInSeconds) {
  for (float rate : {22050.0f, 48000.0f, 96000.0f, 192000.0f}) {
    Flanger flanger = staticFlanger(0.5f);
    flanger.prepare(
        rate, std::vector<float>(static_cast<std::size_t>(flanger.storageLength(rate)), 0.0f));
    const auto echo =
        signal_measure::firstNonZero(impulseResponse(flanger, static_cast<int32_t>(rate / 10)));
    ASSERT_TRUE(echo.has_value()) << rate;
    EXPECT_NEAR(double(*echo), 0.01 * double(rate), 1.0) << "rate " << rate;
    EXPECT_FLOAT_EQ(flanger.getCentreDelay(), 0.5f) << "rate " << rate;

    flanger.setRate(0.5f);
    flanger.setWaveform(0.0f);
    std::vector<float> block(1, 0.0f);
    std::vector<float> sweep;
    for (int32_t k = 0; k < static_cast<int32_t>(3 * rate); ++k) {
      flanger.processSamples(block.data(), block.data(), 1);
      sweep.push_back(flanger.sweep());
    }
    EXPECT_NEAR(signal_measure::frequency(sweep, rate), 1.0, 1e-3) << "rate " << rate;
  }
}

TEST(Flanger, NonFiniteSettingsAreIgnored) {
  Flanger flanger;
  for (float bad : {NAN, INFINITY, -INFINITY}) {
    flanger.setCentreDelay(bad);
    flanger.setSweepDepth(bad);
    flanger.setRate(bad);
    flanger.setDryLevel(bad);
    flanger.setWetLevel(bad);
    flanger.setInputGain(bad);
    flanger.setWaveform(bad);
  }
  EXPECT_FLOAT_EQ(flanger.getCentreDelay(), 0.5f);
  EXPECT_FLOAT_EQ(flanger.getSweepDepth(), 0.5f);
  EXPECT_FLOAT_EQ(flanger.getRate(), 0.5f);
  EXPECT_EQ(flanger.getDryLevel(), 0.5f);
  EXPECT_EQ(flanger.getWetLevel(), 0.5f);
  EXPECT_EQ(flanger.getInputGain(), 0.5f);
  EXPECT_EQ(flanger.getWaveform(), 0.0f);
}

}  // namespace
