// The panel makes the instrument playable, end to end: the built plug-in loaded by our host
// library, its editor embedded in a window on a private X server, worked with the real pointer
// (XTest) while the plug-in's own press handling and drag loops follow it, the sound measured
// from processReplacing, and what was painted saved and restored as a host's session does. A private server per test keeps the one pointer to ourselves while
// other test programs run in parallel.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <span>
#include <vector>

#include "editor/PanelLayout.h"
#include "overtonic-host/app/EditorHost.h"
#include "overtonic-host/app/PanelPointer.h"
#include "overtonic-host/app/PanelScript.h"
#include "tests/engine/SignalMeasure.h"
#include "tests/support/PluginFixture.h"

namespace {

using hostapp::PointerGesture;

constexpr double kRate = 44100.0;
constexpr int32_t kBlock = 512;
// A curve is read 0.3 points per step of 201 samples (at 44.1 kHz): its 384 points in 1280 steps,
// about 5.8 s.
constexpr std::size_t kCurveSamples = 1280 * 201;
constexpr int kNoteA4 = 69;

VstMidiEvent midi(unsigned char status, unsigned char data1, unsigned char data2) {
  VstMidiEvent event{};
  event.type = kVstMidiType;
  event.byteSize = sizeof(VstMidiEvent);
  event.midiData[0] = static_cast<char>(status);
  event.midiData[1] = static_cast<char>(data1);
  event.midiData[2] = static_cast<char>(data2);
  return event;
}

class PanelPlaysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto display = hostapp::EditorDisplay::startPrivate(640, 640);
    if (!display.ok()) GTEST_SKIP() << display.error();
    screen = std::move(display).value();
    plugin = newInstance();
    ASSERT_TRUE(plugin);
    plugin->start(static_cast<float>(kRate), kBlock);
    auto opened = hostapp::EditorWindow::open(*screen, *plugin, "panel test");
    ASSERT_TRUE(opened.ok()) << opened.error();
    window = std::move(opened).value();
    auto connected = hostapp::PanelPointer::connect(*screen);
    ASSERT_TRUE(connected.ok()) << connected.error();
    pointer = std::move(connected).value();
    for (int i = 0; i < 10; ++i) window->idle();  // the first paint
  }
  void TearDown() override {
    pointer.reset();
    window.reset();
    plugin.reset();
    screen.reset();
  }

  void play(const PointerGesture& gesture) {
    const hostlib::Status played = pointer->play(*window, gesture);
    ASSERT_TRUE(played.ok()) << played.error();
  }
  void click(std::int32_t tag) {
    const auto gesture = hostapp::clickOn(tag);
    ASSERT_TRUE(gesture) << "tag " << tag;
    play(*gesture);
  }
  void paint(std::int32_t kind, const std::vector<float>& values) {
    play(hostapp::paintGesture(kind, values));
  }
  void dragBar(std::int32_t tag, float value) {
    const auto gesture = hostapp::barGesture(tag, value);
    ASSERT_TRUE(gesture) << "tag " << tag;
    play(*gesture);
  }

  // A note of A4 at full velocity from the start, rendered for `frames` frames.
  std::vector<float> renderNote(std::size_t frames) {
    const VstMidiEvent on = midi(0x90, kNoteA4, 127);
    plugin->sendEvents(std::span<const VstMidiEvent>(&on, 1));
    std::vector<float> out(frames, 0.0f);
    for (std::size_t done = 0; done < frames; done += kBlock) {
      const auto count = static_cast<int32_t>(std::min<std::size_t>(kBlock, frames - done));
      plugin->processReplacing(out.data() + done, count);
    }
    const VstMidiEvent off = midi(0x80, kNoteA4, 0);
    plugin->sendEvents(std::span<const VstMidiEvent>(&off, 1));
    return out;
  }

  static float peakOf(const std::vector<float>& x) {
    float peak = 0.0f;
    for (float v : x) peak = std::max(peak, std::abs(v));
    return peak;
  }

  static double rmsAround(const std::vector<float>& x, double seconds, double width = 0.1) {
    const auto first = static_cast<std::size_t>((seconds - width / 2) * kRate);
    const auto count = static_cast<std::size_t>(width * kRate);
    return signal_measure::rms(std::span<const float>(x).subspan(first, count));
  }

  std::unique_ptr<hostapp::EditorDisplay> screen;
  std::unique_ptr<hostlib::PluginInstance> plugin;
  std::unique_ptr<hostapp::EditorWindow> window;
  std::unique_ptr<hostapp::PanelPointer> pointer;
};

TEST_F(PanelPlaysTest, APaintedVolumeCurveIsHeardAtHarmonicOneAndResetSilencesIt) {
  click(50);  // oscillator 1; the volume curve kind is on from the start
  paint(panel::kVolumeCurve, {0.05f, 0.9f, 0.05f});
  click(2);  // the volume layer
  dragBar(82, 0.8f);
  EXPECT_NEAR(plugin->getParameter(82), 0.8f, 0.011f) << "the volume bar of oscillator 1";
  EXPECT_GE(plugin->countCalls(audioMasterAutomate), 1u) << "bars are reported to the host";

  const std::vector<float> sound = renderNote(kCurveSamples);
  ASSERT_TRUE(signal_measure::allFinite(sound));
  const double curveSeconds = double(kCurveSamples) / kRate;
  const double middle = rmsAround(sound, curveSeconds * 0.5);
  const double early = rmsAround(sound, curveSeconds * 0.15);
  const double late = rmsAround(sound, curveSeconds * 0.85);
  EXPECT_GT(middle, 0.01) << "the note sounds";
  EXPECT_GT(middle, 2.0 * early) << "louder where the curve is higher";
  EXPECT_GT(middle, 2.0 * late) << "louder where the curve is higher";
  const auto from = static_cast<std::size_t>(curveSeconds * 0.3 * kRate);
  const std::span<const float> loud = std::span<const float>(sound).subspan(from, 20000);
  const double pitch = signal_measure::frequency(loud, kRate);
  EXPECT_LT(std::abs(signal_measure::cents(pitch, 440.0)), 10.0) << "harmonic 1 of A4: " << pitch;

  click(panel::kResetTag);
  const std::vector<float> after = renderNote(kCurveSamples / 2);
  // The oscillator starts the new note from where the last one's level ended (about 1e-11).
  EXPECT_LT(peakOf(after), 1e-6f) << "Reset cleared the curve on show: silence";
  EXPECT_TRUE(signal_measure::allZero(std::span<const float>(after).subspan(kBlock)));
}

TEST_F(PanelPlaysTest, OscillatorOneRoutedToTheDelayIsHeardAgainOneSecondLater) {
  click(50);
  // A burst at the start of the note (the first tenth of the curve, about 0.6 s), then nothing.
  std::vector<float> burst(20, 0.0f);
  burst[0] = burst[1] = 0.9f;
  paint(panel::kVolumeCurve, burst);
  click(2);
  dragBar(82, 0.8f);
  const std::vector<float> dry = renderNote(static_cast<std::size_t>(1.6 * kRate));
  EXPECT_GT(rmsAround(dry, 0.15), 0.01);
  EXPECT_LT(rmsAround(dry, 1.15), 1e-4) << "without the delay nothing follows the burst";

  click(18);  // routing of oscillator 1: dry -> flanger
  click(18);  //                         flanger -> delay
  EXPECT_EQ(plugin->getParameter(18), 0.5f) << "the delay bus";
  click(231);  // the delay's switch
  EXPECT_EQ(plugin->getParameter(231), 1.0f);
  const std::vector<float> echoed = renderNote(static_cast<std::size_t>(1.6 * kRate));
  const double sound = rmsAround(echoed, 0.15);
  const double echo = rmsAround(echoed, 1.15);  // the default delay time is one second
  EXPECT_GT(sound, 0.01);
  EXPECT_GT(echo, 0.1 * sound) << "the echo";
  EXPECT_LT(rmsAround(echoed, 0.8), 0.1 * echo) << "silence between the burst and its echo";
}

// What the panel painted is saved with the host's session: the bank chunk taken after painting
// restores the curves and values into a fresh instance, which then plays the same note sample for
// sample.
TEST_F(PanelPlaysTest, ASavedStateAfterPaintingPlaysTheSameInAFreshInstance) {
  click(50);
  paint(panel::kVolumeCurve, {0.1f, 0.8f, 0.3f, 0.6f, 0.0f});
  click(6);  // the detune curve of oscillator 1
  paint(panel::kDetuneCurve, {0.0f, 0.3f, -0.2f, 0.0f});
  click(10);  // "Lower 1/2": the detune curve of oscillators 1-16
  paint(panel::kDetuneCurve, {0.1f, -0.1f});
  click(2);
  dragBar(82, 0.7f);
  dragBar(83, 0.5f);
  const std::vector<unsigned char> saved = plugin->getChunk(false);
  ASSERT_FALSE(saved.empty());

  auto restored = newInstance();
  ASSERT_TRUE(restored);
  restored->start(static_cast<float>(kRate), kBlock);
  ASSERT_TRUE(restored->setChunk(saved, false));
  for (std::int32_t index : {82, 83, 50, 199}) {
    EXPECT_EQ(restored->getParameter(index), plugin->getParameter(index)) << index;
  }
  const std::vector<float> original = renderNote(kCurveSamples / 2);
  std::swap(plugin, restored);
  const std::vector<float> copy = renderNote(kCurveSamples / 2);
  std::swap(plugin, restored);
  EXPECT_GT(rmsAround(original, 1.0), 0.005) << "the painted note sounds";
  std::size_t differing = 0;
  for (std::size_t i = 0; i < original.size(); ++i) differing += original[i] == copy[i] ? 0 : 1;
  EXPECT_EQ(differing, 0u) << "samples that differ after the restore";
}

}  // namespace
