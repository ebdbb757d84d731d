// The feedback delay: echo positions and levels, the time setting's wrapping, retuning.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/Delay.h"
#include "tests/engine/EngineSetup.h"
#include "tests/support/SignalMeasure.h"

namespace {

using engine_setup::impulseResponse;

Delay retunedDelay(float rate) {
  Delay delay;
  delay.prepare(rate,
                std::vector<float>(static_cast<std::size_t>(delay.storageLength(rate)), 0.0f));
  return delay;
}

TEST(Delay, HalfTimeEchoesAfterOneSecondThenAgainThroughTheFeedback) {
  Delay delay;
  delay.setTime(0.5f);
  delay.setLevel(0.5f);
  delay.setFeedback(0.3f);
  const std::vector<float> out = impulseResponse(delay, 90000);
  EXPECT_EQ(out[0], 1.0f) << "the dry signal passes";
  const auto first = signal_measure::firstNonZero(out, 1);
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(*first, 44100u);
  EXPECT_FLOAT_EQ(out[44100], 0.5f);
  const auto second = signal_measure::firstNonZero(out, 44101);
  ASSERT_TRUE(second.has_value());
  EXPECT_EQ(*second, 88200u);
  EXPECT_FLOAT_EQ(out[88200], 0.5f * 0.3f * 0.5f);
}

TEST(Delay, TimeZeroAndOneBothDelayByTheWholeLine) {
  for (float time : {0.0f, 1.0f}) {
    Delay delay;
    delay.setTime(time);
    delay.setLevel(1.0f);
    const std::vector<float> out = impulseResponse(delay, 90000);
    const auto echo = signal_measure::firstNonZero(out, 1);
    ASSERT_TRUE(echo.has_value()) << "time " << time;
    EXPECT_EQ(*echo, 88200u) << "time " << time;
  }
}

TEST(Delay, TimesOutsideZeroToOneWrapIntoTheLine) {
  struct Case {
    float time;
    std::size_t echo;
  };
  // size × time modulo the 88200-sample line
  for (const Case c : {Case{1.75f, 66150}, Case{-0.25f, 66150}, Case{5.5f, 44100},
                       Case{-3.6f, 35280}, Case{1e30f, 0}, Case{-1e30f, 0}}) {
    Delay delay;
    delay.setTime(c.time);
    delay.setLevel(1.0f);
    const std::vector<float> out = impulseResponse(delay, 90000);
    const auto echo = signal_measure::firstNonZero(out, 1);
    ASSERT_TRUE(echo.has_value()) << "time " << c.time;
    if (c.echo != 0) {
      EXPECT_NEAR(double(*echo), double(c.echo), 1.0) << "time " << c.time;
    }
    EXPECT_LE(*echo, 88200u) << "time " << c.time;
  }
}

TEST(Delay, NonFiniteSettingsAreIgnored) {
  Delay delay;
  delay.setTime(0.25f);
  delay.setLevel(0.5f);
  delay.setFeedback(0.1f);
  for (float bad : {NAN, INFINITY, -INFINITY}) {
    delay.setTime(bad);
    delay.setLevel(bad);
    delay.setFeedback(bad);
  }
  EXPECT_EQ(delay.getTime(), 0.25f);
  EXPECT_EQ(delay.getLevel(), 0.5f);
  EXPECT_EQ(delay.getFeedback(), 0.1f);
  const auto echo = signal_measure::firstNonZero(impulseResponse(delay, 30000), 1);
  ASSERT_TRUE(echo.has_value());
  EXPECT_EQ(*echo, 22050u);
}

TEST(Delay, RetunedLineKeepsTheTimeInSeconds) {
  for (float rate : {22050.0f, 48000.0f, 96000.0f, 192000.0f}) {
    Delay delay = retunedDelay(rate);
    delay.setTime(0.3f);
    delay.setLevel(1.0f);
    const std::vector<float> out = impulseResponse(delay, static_cast<int32_t>(rate) + 1000);
    const auto echo = signal_measure::firstNonZero(out, 1);
    ASSERT_TRUE(echo.has_value()) << rate;
    EXPECT_NEAR(double(*echo), 2.0 * 0.3 * double(rate), 1.0) << "rate " << rate;
  }
}

TEST(Delay, HugeBurstLeavesNoInfinityInTheLine) {
  Delay delay;
  delay.setTime(0.01f);
  delay.setFeedback(0.5f);
  delay.setLevel(1e30f);
  std::vector<float> block(2000, 1e30f);
  for (int32_t k = 0; k < 5; ++k) delay.processSamples(block.data(), block.data(), 2000);
  delay.setLevel(0.5f);
  std::vector<float> out;
  for (int32_t k = 0; k < 50; ++k) {
    std::vector<float> silence(2000, 0.0f);
    delay.processSamples(silence.data(), silence.data(), 2000);
    out.insert(out.end(), silence.begin(), silence.end());
  }
  EXPECT_TRUE(signal_measure::allFinite(out));
}

}  // namespace
