// The built plug-in driven from two threads at once, as hosts do: the audio thread sends MIDI
// (notes, note ends, all notes off) and renders through both entry points while another thread
// sets every parameter (the test note and hostile values included), selects programs and reads
// values and texts back. Every sample stays finite, and afterwards every parameter reads back
// what the same calls give an instance nobody renders with. Under the ThreadSanitizer build the
// run also shows that the plug-in shares no value between the threads without an atomic access.
// A second case turns the roles round: the audio thread automates parameters while the other
// thread works on programs, names and chunks (ProgramTraffic.h).
#include <cmath>
#include <cstdio>
#include <limits>
#include <span>
#include <vector>

#include "tests/support/ChangeStream.h"
#include "tests/support/MidiMessage.h"
#include "tests/support/PluginFixture.h"
#include "tests/support/RenderWhileSetting.h"
#include "tests/support/SignalMeasure.h"
#include "tests/synth/ProgramTraffic.h"

namespace {

using change_stream::Stream;

constexpr int32_t kBlock = 128;
constexpr int32_t kHostCalls = 3000;

// One call a host makes off the audio thread.
void hostCall(hostlib::PluginInstance& plugin, Stream& stream) {
  static constexpr float kOdd[] = {
      std::numeric_limits<float>::quiet_NaN(), 1e30f, -3e38f, 2e19f, -1.0f, 2.0f};
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
  const int32_t delta = stream.below(kBlock);
  VstMidiEvent event{};
  switch (stream.below(3)) {
    case 0:
      lastNote = 30 + stream.below(70);
      event = midi_message::event(0x90, lastNote, 1 + stream.below(127), delta);
      break;
    case 1: event = midi_message::event(0x80, lastNote, 0, delta); break;
    default: event = midi_message::event(0xB0, 126, 0, delta); break;
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

// The main thread's program calls through the host library. Without a panel the envelope command
// has no curve to apply; the host sends it all the same.
class PluginCalls : public program_traffic::ProgramCalls {
 public:
  explicit PluginCalls(hostlib::PluginInstance& instance) : plugin(instance) {}
  void select(int32_t program) override { plugin.setProgram(program); }
  void duplicate(int32_t destination) override { plugin.dispatch(effCopyProgram, destination); }
  void rename(const char* name) override {
    plugin.dispatch(effSetProgramName, 0, 0, const_cast<char*>(name));
  }
  void readName(program_traffic::NameBuffer& buffer) override {
    plugin.dispatch(effGetProgramName, 0, 0, buffer.data());
  }
  bool readNameAt(int32_t index, program_traffic::NameBuffer& buffer) override {
    return plugin.dispatch(effGetProgramNameIndexed, index, 0, buffer.data()) == 1;
  }
  std::vector<unsigned char> take(bool program) override { return plugin.getChunk(program); }
  bool restore(const std::vector<unsigned char>& chunk, bool program) override {
    return plugin.setChunk(chunk, program);
  }
  void envelopeCommand(Stream& stream) override {
    plugin.setParameter(8, static_cast<float>(stream.below(123)));
  }
  void readParameter(int32_t index) override {
    (void)plugin.parameterDisplay(index);
    (void)plugin.getParameter(index);
  }

 private:
  hostlib::PluginInstance& plugin;
};

// A bank whose programs have names and a few drawn curves, so that duplicates and chunk round
// trips have curves to carry.
std::vector<unsigned char> bankWithCurves() {
  chunkformat::State state;
  state.kind = chunkformat::Kind::bank;
  state.currentProgram = 3;
  Stream stream(31);
  for (int32_t p = 0; p < program_traffic::kProgramCount; ++p) {
    chunkformat::Program program;
    std::snprintf(program.name.data(), program.name.size(), "drawn %d", static_cast<int>(p));
    for (int32_t slot = p % 5; slot < chunkformat::kSlotCount; slot += 5 + p % 7) {
      chunkformat::SlotCurve curve;
      curve.slot = static_cast<uint32_t>(slot);
      for (float& point : curve.points) point = stream.unit();
      program.curves.push_back(curve);
    }
    state.programs.push_back(program);
  }
  return chunkformat::write(state);
}

TEST(ThreadStress, ProgramsNamesAndChunksWhileTheAudioThreadAutomatesKeepWhatOnlyTheHostChanged) {
  using program_traffic::Automation;
  using program_traffic::Traffic;
  constexpr int32_t kSteps = 600;
  auto plugin = newInstance();
  auto twin = newInstance();
  ASSERT_TRUE(plugin && twin);
  plugin->start(44100.0f, kBlock);
  twin->start(44100.0f, kBlock);
  const std::vector<unsigned char> start = bankWithCurves();
  ASSERT_TRUE(plugin->setChunk(start, false));
  ASSERT_TRUE(twin->setChunk(start, false));
  PluginCalls pluginCalls(*plugin);
  PluginCalls twinCalls(*twin);
  std::vector<float> out(kBlock, 0.0f);
  Stream midi(11);
  Automation automation(12);
  Traffic traffic(13);
  int32_t lastNote = 45;
  int64_t nonFiniteBlocks = 0;
  const int64_t blocks = renderWhileSetting(
      [&] {
        automation.beforeBlock(
            [&](int32_t index, float value) { plugin->setParameter(index, value); });
        if (midi.below(4) == 0) midiEvent(*plugin, midi, lastNote);
        plugin->processReplacing(out.data(), kBlock);
        if (!signal_measure::allFinite(out)) ++nonFiniteBlocks;
      },
      [&] {
        for (int32_t k = 0; k < kSteps; ++k) traffic.step(pluginCalls);
      });
  Traffic calm(13);
  for (int32_t k = 0; k < kSteps; ++k) calm.step(twinCalls);

  EXPECT_GT(blocks, 0);
  EXPECT_GT(automation.count, 0);
  EXPECT_EQ(nonFiniteBlocks, 0) << "of " << blocks << " blocks";
  program_traffic::expectNoFaults(traffic);
  program_traffic::expectNoFaults(calm);
  EXPECT_EQ(plugin->program(), twin->program());
  program_traffic::expectSameBankApartFromAutomation(
      program_traffic::decoded(plugin->getChunk(false)),
      program_traffic::decoded(twin->getChunk(false)), automation);
  // The live values, through what a third instance reads back for each value sent.
  auto probe = newInstance();
  ASSERT_TRUE(probe);
  for (VstInt32 index = 0; index < 237; ++index) {
    const float value = plugin->getParameter(index);
    const auto readBack = [&](float sent) {
      probe->setParameter(index, sent);
      return probe->getParameter(index);
    };
    EXPECT_TRUE(automation.allows(index, twin->getParameter(index), value, readBack))
        << "index " << index << ": " << value << " was never sent";
  }
}

}  // namespace
