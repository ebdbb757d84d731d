// The panel makes the instrument playable, end to end: the built plug-in loaded by our host
// library, its editor embedded in a window on a private X server, worked with the real pointer
// (XTest) while the plug-in's own press handling and drag loops follow it, the sound measured
// from processReplacing, and what was painted saved and restored as a host's session does. A
// private server per test keeps the one pointer to ourselves while other test programs run in
// parallel.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "editor/PanelLayout.h"
#include "gui/platform/x11/X11Window.h"
#include "overtonic-host/app/EditorHost.h"
#include "overtonic-host/app/PanelPointer.h"
#include "overtonic-host/app/PanelScript.h"
#include "tests/support/MidiMessage.h"
#include "tests/support/PluginFixture.h"
#include "tests/support/SignalMeasure.h"

namespace {

using hostapp::PointerGesture;

constexpr double kRate = 44100.0;
constexpr int32_t kBlock = 512;
// A curve is read 0.3 points per step of 201 samples (at 44.1 kHz): its 384 points in 1280 steps,
// about 5.8 s.
constexpr std::size_t kCurveSamples = 1280 * 201;
constexpr int kNoteA4 = 69;

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
    const VstMidiEvent on = midi_message::event(0x90, kNoteA4, 127);
    plugin->sendEvents(std::span<const VstMidiEvent>(&on, 1));
    std::vector<float> out(frames, 0.0f);
    for (std::size_t done = 0; done < frames; done += kBlock) {
      const auto count = static_cast<int32_t>(std::min<std::size_t>(kBlock, frames - done));
      plugin->processReplacing(out.data() + done, count);
    }
    const VstMidiEvent off = midi_message::event(0x80, kNoteA4, 0);
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
  const double curveSeconds = static_cast<double>(kCurveSamples) / kRate;
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

// ---- what the host hears of held presses --------------------------------------------------------

// The begin and end of the host's automation bracket and the automation reports, in order.
struct EditCall {
  int32_t opcode;
  int32_t index;
  float value;
  friend bool operator==(const EditCall&, const EditCall&) = default;
};

std::ostream& operator<<(std::ostream& out, const EditCall& call) {
  const char* name = call.opcode == audioMasterBeginEdit ? "begin edit"
                     : call.opcode == audioMasterEndEdit ? "end edit"
                                                         : "automate";
  return out << name << " " << call.index << (call.opcode == audioMasterAutomate ? " = " : "")
             << (call.opcode == audioMasterAutomate ? std::to_string(call.value) : "");
}

class PanelHostCallsTest : public PanelPlaysTest {
 protected:
  std::vector<EditCall> editCalls() {
    std::vector<EditCall> found;
    for (const hostlib::HostCall& call : plugin->calls()) {
      if (call.opcode == audioMasterBeginEdit || call.opcode == audioMasterEndEdit ||
          call.opcode == audioMasterAutomate) {
        found.push_back({call.opcode, call.index, call.opt});
      }
    }
    return found;
  }
  // The left button held down on `tag`, unmoved, until the plug-in opened its host bracket, and
  // a little longer; then released.
  void holdOn(std::int32_t tag) {
    const auto gesture = hostapp::clickOn(tag);
    ASSERT_TRUE(gesture) << "tag " << tag;
    const auto bracketOpened = [this] { return plugin->countCalls(audioMasterBeginEdit) > 0; };
    const hostlib::Status held =
        pointer->hold(*window, gesture->path.front(), bracketOpened, std::chrono::milliseconds(30));
    ASSERT_TRUE(held.ok()) << held.error();
  }
};

// Reset clears the curve on show at every notification, press and release alike, and sends it
// as parameter 8 with the slot number: the press's reports lie inside the bracket of Reset's own
// tag, the release's after it. (While it is held the button is notified again after each redraw
// of the whole panel, which keeps it dirty, so the press may report more than once.)
TEST_F(PanelHostCallsTest, ResetHeldAndReleasedBracketsItsPressWithTheCurveReportsInside) {
  click(7);   // the phase curve kind
  click(17);  // group "Fourth 1/4": slot 122 on show
  paint(panel::kPhaseCurve, {0.2f, -0.3f, 0.4f});
  plugin->clearCalls();
  holdOn(panel::kResetTag);
  const std::vector<EditCall> calls = editCalls();
  const EditCall begin{audioMasterBeginEdit, panel::kResetTag, 0.0f};
  const EditCall end{audioMasterEndEdit, panel::kResetTag, 0.0f};
  const EditCall curveSent{audioMasterAutomate, 8, 122.0f};
  ASSERT_GE(calls.size(), 4u) << ::testing::PrintToString(calls);
  EXPECT_EQ(calls.front(), begin);
  EXPECT_EQ(calls[calls.size() - 2], end);
  EXPECT_EQ(calls.back(), curveSent) << "the release's report, after the bracket";
  for (std::size_t i = 1; i + 2 < calls.size(); ++i) {
    EXPECT_EQ(calls[i], curveSent) << "call " << i << " inside the bracket";
  }
}

// A routing switch changes its parameter without an automation report (the design sends none
// for routing), still bracketed with its tag.
TEST_F(PanelHostCallsTest, ARoutingSwitchHeldAndReleasedIsBracketedWithItsTagAndReportsNothing) {
  plugin->clearCalls();
  holdOn(18);  // routing of oscillator 1: dry -> flanger
  const std::vector<EditCall> expected{{audioMasterBeginEdit, 18, 0.0f},
                                       {audioMasterEndEdit, 18, 0.0f}};
  EXPECT_EQ(editCalls(), expected);
  EXPECT_EQ(plugin->getParameter(18), 0.25f) << "the flanger bus";
}

// A bar notifies at every pass of its drag loop, also while the pointer stands still (so the
// host keeps hearing the value); the loop waits for the pointer between passes, so that is at
// most one report per pacing interval, not one per round trip to the X server.
TEST_F(PanelHostCallsTest, ABarHeldStillKeepsReportingAtAPacedRate) {
  click(2);  // the volume bars
  const auto gesture = hostapp::barGesture(82, 0.6f);
  ASSERT_TRUE(gesture);
  plugin->clearCalls();
  const auto reported = [this] { return plugin->countCalls(audioMasterAutomate) > 0; };
  const auto start = std::chrono::steady_clock::now();
  const hostlib::Status held =
      pointer->hold(*window, gesture->path.back(), reported, std::chrono::milliseconds(300));
  const auto elapsed = std::chrono::steady_clock::now() - start;
  ASSERT_TRUE(held.ok()) << held.error();
  std::size_t reports = 0;
  for (const EditCall& call : editCalls()) {
    ASSERT_EQ(call.opcode, audioMasterAutomate) << call << ": a bar has no bracket";
    ASSERT_EQ(call.index, 82);
    EXPECT_NEAR(call.value, 0.6f, 0.011f);
    ++reports;
  }
  // The loop ran inside the hold, and each pass after its first two waited kPaceMs at least.
  const auto paces = elapsed / std::chrono::milliseconds(X11Window::kPaceMs);
  EXPECT_LE(reports, static_cast<std::size_t>(paces) + 2) << "in " << paces << " pacing intervals";
  EXPECT_GE(reports, 3u) << "a bar held still keeps reporting";
}

}  // namespace
