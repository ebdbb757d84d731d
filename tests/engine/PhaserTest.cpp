// The six-stage phaser: identity at depth 0, the sweep, and its guards.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "engine/Phaser.h"
#include "tests/support/SignalMeasure.h"

namespace {

std::vector<float> noise(int32_t frames) {
  std::vector<float> signal(static_cast<std::size_t>(frames));
  uint32_t state = 12345u;
  for (float& v : signal) {
    state = state * 1664525u + 1013904223u;
    v = static_cast<float>(state >> 8) / static_cast<float>(1u << 24) - 0.5f;
  }
  return signal;
}

std::vector<float> processed(Phaser& phaser, std::vector<float> signal) {
  for (std::size_t done = 0; done < signal.size(); done += 2000) {
    const int32_t count = static_cast<int32_t>(std::min<std::size_t>(2000, signal.size() - done));
    phaser.processSamples(signal.data() + done, signal.data() + done, count);
  }
  return signal;
}

TEST(Phaser, DepthZeroPassesTheInputUnchanged) {
  Phaser phaser;
  phaser.setDepth(0.0f);
  phaser.setFeedback(0.9f);
  const std::vector<float> input = noise(20000);
  EXPECT_EQ(processed(phaser, input), input);
}

TEST(Phaser, DepthOneChangesTheSignal) {
  Phaser phaser;
  phaser.setDepth(1.0f);
  const std::vector<float> input = noise(20000);
  const std::vector<float> output = processed(phaser, input);
  double difference = 0.0;
  for (std::size_t k = 0; k < input.size(); ++k) {
    difference += static_cast<double>(std::fabs(output[k] - input[k]));
  }
  EXPECT_GT(difference / double(input.size()), 0.01);
}

TEST(Phaser, SettingsReadBackThroughTheirScaling) {
  Phaser phaser;
  phaser.setMinimum(0.25f);
  phaser.setMaximum(0.75f);
  phaser.setRate(0.4f);
  phaser.setDepth(0.3f);
  phaser.setFeedback(0.6f);
  EXPECT_FLOAT_EQ(phaser.getMinimum(), 0.25f);
  EXPECT_FLOAT_EQ(phaser.getMaximum(), 0.75f);
  EXPECT_FLOAT_EQ(phaser.getRate(), 0.4f);
  EXPECT_EQ(phaser.getDepth(), 0.3f);
  EXPECT_EQ(phaser.getFeedback(), 0.6f);
  phaser.prepare(96000.0f, {});
  EXPECT_FLOAT_EQ(phaser.getMinimum(), 0.25f);
  EXPECT_FLOAT_EQ(phaser.getRate(), 0.4f);
}

TEST(Phaser, BoundAtMinusOneDoesNotDivideByZero) {
  // A bound setting whose scaled value is exactly -1 makes 1 + d zero.
  float v = -22050.0f / 2600.0f;
  for (int32_t k = 0; k < 64 && v * 2600.0f / 22050.0f != -1.0f; ++k) {
    v = std::nextafter(v, v * 2600.0f / 22050.0f < -1.0f ? 0.0f : -100.0f);
  }
  ASSERT_EQ(v * 2600.0f / 22050.0f, -1.0f);
  Phaser phaser;
  phaser.setMinimum(v);
  phaser.setMaximum(v);
  phaser.setFeedback(0.5f);
  EXPECT_TRUE(signal_measure::allFinite(processed(phaser, noise(4000))));
}

TEST(Phaser, RecoversFromAHugeFeedbackBurst) {
  Phaser phaser;
  phaser.setFeedback(1e30f);
  (void)processed(phaser, noise(4000));
  phaser.setFeedback(0.5f);
  (void)processed(phaser, noise(4000));
  EXPECT_TRUE(signal_measure::allFinite(processed(phaser, noise(4000))));
}

TEST(Phaser, HugeRateKeepsTheSweepFinite) {
  for (float rate : {1e30f, -1e30f, 3e38f}) {
    Phaser phaser;
    phaser.setRate(rate);
    (void)processed(phaser, noise(4000));
    phaser.setRate(0.5f);
    EXPECT_TRUE(signal_measure::allFinite(processed(phaser, noise(4000)))) << "rate " << rate;
  }
}

}  // namespace
