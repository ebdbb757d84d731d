// Tests of block-wise rendering against the fixture plug-in: block lengths, what reaches the
// sink, event delivery before the block, stopping on a sink error, and the level meter.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

#include "overtonic-host/app/Renderer.h"
#include "overtonic-host/lib/PluginLibrary.h"

namespace {

using namespace hostapp;
using ::testing::ElementsAre;

constexpr int32_t kAskEventCount = 0;  // the fixture's vendor-specific questions
constexpr int32_t kAskEventDelta = 1;

std::unique_ptr<hostlib::PluginInstance> fake() {
  auto library = hostlib::PluginLibrary::open(FAKE_PLUGIN_PATH);
  EXPECT_TRUE(library.ok()) << library.error();
  auto instance = library.value().instantiate();
  EXPECT_TRUE(instance.ok()) << instance.error();
  return instance.ok() ? std::move(instance).value() : nullptr;
}

TEST(Render, CutsTheTimelineIntoHostBlocks) {
  auto plugin = fake();
  ASSERT_TRUE(plugin);
  plugin->start(44100, 100);
  std::vector<size_t> lengths;
  std::vector<float> lastSamples;
  std::vector<double> progress;
  auto status = render(
      *plugin, {}, {100, 250},
      [&](std::span<const float> block) {
        lengths.push_back(block.size());
        lastSamples.push_back(block.back());
        return hostlib::Status{};
      },
      [&](double done) {
        progress.push_back(done);
        return true;
      });
  ASSERT_TRUE(status.ok()) << status.error();
  EXPECT_THAT(lengths, ElementsAre(100u, 100u, 50u));
  EXPECT_THAT(lastSamples, ElementsAre(99.0f, 99.0f, 49.0f))
      << "the fixture writes each frame's index";
  EXPECT_THAT(progress, ElementsAre(0.4, 0.8, 1.0));
}

TEST(Render, EventsArriveBeforeTheirBlockWithDeltaFrames) {
  auto plugin = fake();
  ASSERT_TRUE(plugin);
  plugin->start(44100, 64);
  const std::vector<TimedMidiEvent> events = {{10, {0x90, 60, 100}, 3}, {150, {0x80, 60, 0}, 3}};
  std::vector<intptr_t> countsSeen;
  std::vector<intptr_t> deltasSeen;
  auto status = render(*plugin, events, {64, 192}, [&](std::span<const float>) {
    countsSeen.push_back(plugin->dispatch(effVendorSpecific, kAskEventCount));
    deltasSeen.push_back(plugin->dispatch(effVendorSpecific, kAskEventDelta, 0));
    return hostlib::Status{};
  });
  ASSERT_TRUE(status.ok()) << status.error();
  // The fixture keeps the last list it was sent: blocks without events send none.
  EXPECT_THAT(countsSeen, ElementsAre(1, 1, 1));
  EXPECT_THAT(deltasSeen, ElementsAre(10, 10, 150 - 128));
}

TEST(Render, SinkErrorOrInterruptionStopsTheRender) {
  auto plugin = fake();
  ASSERT_TRUE(plugin);
  plugin->start(44100, 10);
  int blocks = 0;
  auto failed = render(*plugin, {}, {10, 100}, [&](std::span<const float>) {
    return ++blocks == 3 ? hostlib::Status(hostlib::fail("disk full")) : hostlib::Status{};
  });
  EXPECT_EQ(failed.error(), "disk full");
  EXPECT_EQ(blocks, 3);
  auto stopped = render(
      *plugin, {}, {10, 100}, [](std::span<const float>) { return hostlib::Status{}; },
      [](double done) { return done < 0.5; });
  EXPECT_EQ(stopped.error(), "interrupted");
}

TEST(SignalMeter, MeasuresPeakAndRmsAndCountsNonFiniteSamples) {
  SignalMeter meter;
  meter.add(std::vector<float>{0.5f, -1.0f, 0.5f});
  meter.add(std::vector<float>{NAN, INFINITY, -1.0f});
  EXPECT_EQ(meter.frames(), 6);
  EXPECT_EQ(meter.nonFinite(), 2);
  EXPECT_EQ(meter.peak(), 1.0);
  EXPECT_NEAR(meter.rms(), std::sqrt((0.25 + 1 + 0.25 + 1) / 4), 1e-12);
  EXPECT_EQ(formatDecibelsFullScale(0.5), "-6.02 dBFS");
  EXPECT_EQ(formatDecibelsFullScale(0.0), "-inf dBFS");
}

}  // namespace
