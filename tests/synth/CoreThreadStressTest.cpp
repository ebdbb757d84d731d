// The synth core driven from two threads at once, with the envelope command's work (a curve
// into a program and the oscillators' layers) that a host reaches only through the open panel:
// the audio thread sends MIDI and renders while another thread sets parameters, selects programs
// and applies curves to every slot. Every sample stays finite, and afterwards every parameter and
// every program's curves are what the same calls give a core nobody renders with. Under the
// ThreadSanitizer build the run also shows that nothing is shared without an atomic access.
// A second case turns the roles round: the audio thread automates parameters while the other
// thread works on programs, names, chunks and curves (ProgramTraffic.h).
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "synth/SynthPlugin.h"
#include "tests/support/ChangeStream.h"
#include "tests/support/MidiMessage.h"
#include "tests/support/RenderWhileSetting.h"
#include "tests/support/SignalMeasure.h"
#include "tests/synth/ProgramTraffic.h"

namespace {

using change_stream::Stream;

constexpr int32_t kBlock = 128;
constexpr int32_t kCalls = 2000;

VstIntPtr quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? 2400 : 0;
}

void call(SynthPlugin& core, Stream& stream) {
  switch (stream.below(20)) {
    case 0: core.selectProgram(stream.below(SynthCore::kProgramCount)); break;
    case 1:
    case 2:
    case 3:
    case 4: {
      EnvelopeCurve curve{};
      const float start = stream.unit();
      const float end = stream.unit();
      for (std::size_t k = 0; k < curve.size(); ++k) {
        curve[k] = start + (end - start) * static_cast<float>(k) / 384.0f;
      }
      core.applyEnvelope(stream.below(123), curve.data());
      break;
    }
    default: core.setParameter(stream.below(SynthCore::kParameterCount), stream.unit()); break;
  }
}

void sendNote(SynthCore& core, Stream& stream) {
  const int32_t delta = stream.below(kBlock);
  const int status = stream.below(3) == 0 ? 0x80 : 0x90;
  const int note = 36 + stream.below(48);
  VstMidiEvent event = midi_message::event(status, note, 1 + stream.below(127), delta);
  VstEvents events{};
  events.numEvents = 1;
  events.events[0] = reinterpret_cast<VstEvent*>(&event);
  core.handleEvents(&events);
}

TEST(CoreThreadStress, ParametersProgramsAndCurvesWhileRenderingAreKept) {
  auto core = std::make_unique<SynthPlugin>(&quietHost);
  auto twin = std::make_unique<SynthPlugin>(&quietHost);
  std::vector<float> out(kBlock, 0.0f);
  float* channel = out.data();
  Stream midi(9);
  int64_t nonFiniteBlocks = 0;
  const int64_t blocks = renderWhileSetting(
      [&] {
        if (midi.below(3) == 0) sendNote(*core, midi);
        core->processReplacing(nullptr, &channel, kBlock);
        if (!signal_measure::allFinite(out)) ++nonFiniteBlocks;
      },
      [&] {
        Stream calls(4);
        for (int32_t k = 0; k < kCalls; ++k) call(*core, calls);
      });
  Stream calls(4);
  for (int32_t k = 0; k < kCalls; ++k) call(*twin, calls);

  EXPECT_GT(blocks, 0);
  EXPECT_EQ(nonFiniteBlocks, 0) << "of " << blocks << " blocks";
  for (VstInt32 index = 0; index < SynthCore::kParameterCount; ++index) {
    EXPECT_EQ(core->getParameter(index), twin->getParameter(index)) << "index " << index;
  }
  for (VstInt32 program = 0; program < SynthCore::kProgramCount; ++program) {
    for (int slot = 0; slot < kEnvelopeSlotCount; ++slot) {
      ASSERT_EQ(core->program(program).curve(slot), twin->program(program).curve(slot))
          << "program " << program << ", slot " << slot;
    }
  }
}

// The main thread's program calls on the core; envelope commands carry a curve of their own.
class CoreCalls : public program_traffic::ProgramCalls {
 public:
  explicit CoreCalls(SynthPlugin& instance) : core(instance) {}
  void select(int32_t program) override { core.selectProgram(program); }
  void duplicate(int32_t destination) override { (void)core.duplicateProgram(destination); }
  void rename(const char* name) override { core.renameProgram(const_cast<char*>(name)); }
  void readName(program_traffic::NameBuffer& buffer) override {
    core.readProgramName(buffer.data());
  }
  bool readNameAt(int32_t index, program_traffic::NameBuffer& buffer) override {
    return core.readProgramNameAt(0, index, buffer.data());
  }
  std::vector<unsigned char> take(bool program) override {
    void* data = nullptr;
    const VstInt32 size = core.readChunk(&data, program);
    const auto* bytes = static_cast<const unsigned char*>(data);
    return size > 0 && bytes ? std::vector<unsigned char>(bytes, bytes + size)
                             : std::vector<unsigned char>{};
  }
  bool restore(const std::vector<unsigned char>& chunk, bool program) override {
    std::vector<unsigned char> copy = chunk;
    return core.writeChunk(copy.data(), static_cast<VstInt32>(copy.size()), program) == 1;
  }
  void envelopeCommand(Stream& stream) override {
    EnvelopeCurve curve{};
    const float level = stream.below(4) == 0 ? 0.0f : stream.unit();
    for (std::size_t k = 0; k < curve.size(); ++k)
      curve[k] = level * static_cast<float>(k % 97) / 96.0f;
    core.applyEnvelope(stream.below(kEnvelopeSlotCount), curve.data());
  }
  void readParameter(int32_t index) override {
    char text[64];
    core.readParameterDisplay(index, text);
    (void)core.getParameter(index);
  }

 private:
  SynthPlugin& core;
};

TEST(CoreThreadStress, ProgramsNamesChunksAndCurvesWhileTheAudioThreadAutomates) {
  using program_traffic::Automation;
  using program_traffic::Traffic;
  constexpr int32_t kSteps = 600;
  auto core = std::make_unique<SynthPlugin>(&quietHost);
  auto twin = std::make_unique<SynthPlugin>(&quietHost);
  CoreCalls coreCalls(*core);
  CoreCalls twinCalls(*twin);
  std::vector<float> out(kBlock, 0.0f);
  float* channel = out.data();
  Stream midi(21);
  Automation automation(22);
  Traffic traffic(23);
  int64_t nonFiniteBlocks = 0;
  const int64_t blocks = renderWhileSetting(
      [&] {
        automation.beforeBlock(
            [&](int32_t index, float value) { core->setParameter(index, value); });
        if (midi.below(3) == 0) sendNote(*core, midi);
        core->processReplacing(nullptr, &channel, kBlock);
        if (!signal_measure::allFinite(out)) ++nonFiniteBlocks;
      },
      [&] {
        for (int32_t k = 0; k < kSteps; ++k) traffic.step(coreCalls);
      });
  Traffic calm(23);
  for (int32_t k = 0; k < kSteps; ++k) calm.step(twinCalls);

  EXPECT_GT(blocks, 0);
  EXPECT_GT(automation.count, 0);
  EXPECT_EQ(nonFiniteBlocks, 0) << "of " << blocks << " blocks";
  program_traffic::expectNoFaults(traffic);
  program_traffic::expectNoFaults(calm);
  EXPECT_EQ(core->currentProgramIndex(), twin->currentProgramIndex());
  program_traffic::expectSameBankApartFromAutomation(
      program_traffic::decoded(coreCalls.take(false)),
      program_traffic::decoded(twinCalls.take(false)), automation);
  // The live values, through what a third core reads back for each value sent.
  auto probe = std::make_unique<SynthPlugin>(&quietHost);
  for (VstInt32 index = 0; index < SynthCore::kParameterCount; ++index) {
    const float value = core->getParameter(index);
    const auto readBack = [&](float sent) {
      probe->setParameter(index, sent);
      return probe->getParameter(index);
    };
    EXPECT_TRUE(automation.allows(index, twin->getParameter(index), value, readBack))
        << "index " << index << ": " << value << " was never sent";
  }
}

}  // namespace
