// The built plug-in driven from two threads at once, as hosts do: the audio thread sends MIDI
// (notes, note ends, all notes off) and renders through both entry points while another thread
// sets every parameter (the test note and hostile values included), selects programs and reads
// values and texts back. Every sample stays finite, and afterwards every parameter reads back
// what the same calls give an instance nobody renders with. Under the ThreadSanitizer build the
// run also shows that the plug-in shares no value between the threads without an atomic access.
#include <cmath>
#include <limits>
#include <span>
#include <vector>

#include "tests/support/ChangeStream.h"
#include "tests/support/PluginFixture.h"
#include "tests/support/RenderWhileSetting.h"
#include "tests/support/SignalMeasure.h"

namespace {

using change_stream::Stream;

constexpr int32_t kBlock = 128;
constexpr int32_t kHostCalls = 3000;

// One call a host makes off the audio thread.
void hostCall(hostlib::PluginInstance& plugin, Stream& stream) {
  static constexpr float kOdd[] = {std::numeric_limits<float>::quiet_NaN(), 1e30f, -3e38f, 2e19f,
                                   -1.0f, 2.0f};
  const int32_t index = stream.below(237);
  switch (stream.below(40)) {
    case 0: plugin.setProgram(stream.below(32)); break;
    case 1: (void)plugin.parameterDisplay(index); break;
    case 2: (void)plugin.programName(); break;
    case 3: (void)plugin.getParameter(index); break;
    case 4: plugin.setParameter(236, stream.unit()); break;  // the test note, on or off
    default: {
      const float value = stream.below(10) == 0 ? kOdd[stream.below(6)] : stream.unit();
      plugin.setParameter(index, value);
      break;
    }
  }
}

// MIDI for the coming block: a note start, its end or all notes off, at any offset.
void midiEvent(hostlib::PluginInstance& plugin, Stream& stream, int32_t& lastNote) {
  VstMidiEvent event{};
  event.type = kVstMidiType;
  event.byteSize = sizeof(VstMidiEvent);
  event.deltaFrames = stream.below(kBlock);
  switch (stream.below(3)) {
    case 0:
      lastNote = 30 + stream.below(70);
      event.midiData[0] = char(0x90);
      event.midiData[1] = char(lastNote);
      event.midiData[2] = char(1 + stream.below(127));
      break;
    case 1:
      event.midiData[0] = char(0x80);
      event.midiData[1] = char(lastNote);
      break;
    default:
      event.midiData[0] = char(0xB0);
      event.midiData[1] = 126;
      break;
  }
  plugin.sendEvents(std::span(&event, 1));
}

TEST(ThreadStress, HostCallsWhileTheAudioThreadRendersKeepEveryValueAndEverySampleFinite) {
  auto plugin = newInstance();
  auto twin = newInstance();
  ASSERT_TRUE(plugin && twin);
  plugin->start(44100.0f, kBlock);
  twin->start(44100.0f, kBlock);
  std::vector<float> out(kBlock, 0.0f);
  Stream midi(3);
  int32_t lastNote = 45;
  int64_t nonFiniteBlocks = 0;
  const int64_t blocks = renderWhileSetting(
      [&] {
        if (midi.below(4) == 0) midiEvent(*plugin, midi, lastNote);
        if (midi.below(2) == 0) {
          plugin->processReplacing(out.data(), kBlock);
        } else {
          plugin->process(out.data(), kBlock);
        }
        if (!signal_measure::allFinite(out)) ++nonFiniteBlocks;
      },
      [&] {
        Stream calls(5);
        for (int32_t k = 0; k < kHostCalls; ++k) hostCall(*plugin, calls);
      });
  Stream calls(5);
  for (int32_t k = 0; k < kHostCalls; ++k) hostCall(*twin, calls);

  EXPECT_GT(blocks, 0);
  EXPECT_EQ(nonFiniteBlocks, 0) << "of " << blocks << " blocks";
  EXPECT_EQ(plugin->program(), twin->program());
  for (VstInt32 index = 0; index < 237; ++index) {
    const float expected = twin->getParameter(index);
    const float actual = plugin->getParameter(index);
    EXPECT_TRUE(actual == expected || (std::isnan(actual) && std::isnan(expected)))
        << "index " << index << ": expected " << expected << ", got " << actual;
  }
}

}  // namespace
