// The comb-and-allpass reverb: first reflection, dry and wet levels, width, flushing, retuning.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/Reverb.h"
#include "tests/engine/EngineSetup.h"
#include "tests/support/SignalMeasure.h"

namespace {

using engine_setup::impulseResponse;

TEST(Reverb, FirstOutputComesFromTheShortestCombAfter1116Samples) {
  Reverb reverb;
  reverb.setDry(0.0f);
  reverb.setWet(0.5f);
  const std::vector<float> out = impulseResponse(reverb, 5000);
  const auto first = signal_measure::firstNonZero(out);
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(*first, 1116u);
}

TEST(Reverb, WetZeroGivesTheInputTimesDry) {
  Reverb reverb;
  reverb.setWet(0.0f);
  reverb.setDry(0.25f);  // dry gain 0.5
  std::vector<float> signal(6000);
  for (std::size_t k = 0; k < signal.size(); ++k)
    signal[k] = std::sin(0.05f * static_cast<float>(k));
  std::vector<float> out(signal.size());
  reverb.processSamples(signal.data(), out.data(), 2000);
  reverb.processSamples(signal.data() + 2000, out.data() + 2000, 4000);
  for (std::size_t k = 0; k < signal.size(); ++k) ASSERT_EQ(out[k], signal[k] * 0.5f) << k;
}

TEST(Reverb, WidthChangesNothing) {
  Reverb narrow;
  Reverb wide;
  narrow.setWidth(0.0f);
  wide.setWidth(1.0f);
  EXPECT_EQ(impulseResponse(narrow, 8000), impulseResponse(wide, 8000));
  EXPECT_EQ(narrow.getWidth(), 0.0f);
  EXPECT_EQ(wide.getWidth(), 1.0f);
}

TEST(Reverb, SettingsReadBackThroughTheirScaling) {
  Reverb reverb;
  reverb.setRoomSize(0.25f);
  reverb.setDamping(0.75f);
  reverb.setWet(0.2f);
  reverb.setDry(0.6f);
  EXPECT_NEAR(reverb.getRoomSize(), 0.25f, 1e-6f);
  EXPECT_NEAR(reverb.getDamping(), 0.75f, 1e-6f);
  EXPECT_NEAR(reverb.getWet(), 0.2f, 1e-6f);
  EXPECT_NEAR(reverb.getDry(), 0.6f, 1e-6f);
  for (float bad : {NAN, INFINITY, -INFINITY}) {
    reverb.setRoomSize(bad);
    reverb.setDamping(bad);
    reverb.setWet(bad);
    reverb.setDry(bad);
    reverb.setWidth(bad);
  }
  EXPECT_NEAR(reverb.getRoomSize(), 0.25f, 1e-6f);
  EXPECT_NEAR(reverb.getDamping(), 0.75f, 1e-6f);
  EXPECT_NEAR(reverb.getWet(), 0.2f, 1e-6f);
  EXPECT_NEAR(reverb.getDry(), 0.6f, 1e-6f);
  EXPECT_EQ(reverb.getWidth(), 1.0f);
}

TEST(Reverb, TailDecaysToExactZero) {
  Reverb reverb;
  reverb.setRoomSize(0.0f);
  const std::vector<float> out = impulseResponse(reverb, 44100 * 14);
  EXPECT_TRUE(signal_measure::allZero(std::span(out).last(44100))) << "the tail never reached zero";
}

TEST(Reverb, ConstantInputSettlesToAConstantOutput) {
  Reverb reverb;
  std::vector<float> signal(44100 * 4, 0.5f);
  for (std::size_t done = 0; done < signal.size(); done += 2000) {
    reverb.processSamples(signal.data() + done, signal.data() + done,
                          static_cast<int32_t>(std::min<std::size_t>(2000, signal.size() - done)));
  }
  const auto tail = std::span(signal).last(2000);
  for (float v : tail) EXPECT_NEAR(v, tail[0], 1e-5f * std::fabs(tail[0]));
}

TEST(Reverb, RecoversFromAHugeRoomSize) {
  Reverb reverb;
  reverb.setRoomSize(1e30f);
  (void)impulseResponse(reverb, 10000);
  reverb.setRoomSize(0.5f);
  std::vector<float> silence(44100, 0.0f);
  reverb.processSamples(silence.data(), silence.data(), 44100);
  std::vector<float> after = impulseResponse(reverb, 20000);
  EXPECT_TRUE(signal_measure::allFinite(after));
}

TEST(Reverb, StrideSkipsInterleavedSamples) {
  Reverb plain;
  Reverb strided;
  std::vector<float> mono(3000, 0.0f);
  mono[0] = 1.0f;
  std::vector<float> interleaved(6000, 7.0f);
  for (std::size_t k = 0; k < mono.size(); ++k) interleaved[2 * k] = mono[k];
  plain.processSamples(mono.data(), mono.data(), 3000);
  strided.processStrided(interleaved.data(), interleaved.data(), 3000, 2);
  for (std::size_t k = 0; k < mono.size(); ++k) {
    ASSERT_EQ(interleaved[2 * k], mono[k]) << k;
    ASSERT_EQ(interleaved[2 * k + 1], 7.0f) << k;
  }
}

TEST(Reverb, RetunedLinesKeepTheFirstReflectionInSeconds) {
  for (float rate : {22050.0f, 48000.0f, 96000.0f, 192000.0f}) {
    Reverb reverb;
    reverb.prepare(rate,
                   std::vector<float>(static_cast<std::size_t>(reverb.storageLength(rate)), 0.0f));
    reverb.setDry(0.0f);
    const auto first =
        signal_measure::firstNonZero(impulseResponse(reverb, static_cast<int32_t>(rate / 10)));
    ASSERT_TRUE(first.has_value()) << rate;
    EXPECT_NEAR(double(*first), 1116.0 * double(rate) / 44100.0, 0.5) << "rate " << rate;
  }
}

}  // namespace
