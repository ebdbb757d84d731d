// The core's own interface, for what a host cannot reach directly: envelope curves reaching the
// oscillators' layers, programs holding their own curves, the note state driven by MIDI, the
// test note and the envelope command's conversation with the panel.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <set>
#include <vector>

#include "engine/NoteTable.h"
#include "synth/ChunkFormat.h"
#include "synth/SynthPlugin.h"
#include "tests/support/MidiMessage.h"

namespace {

VstIntPtr quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? 2400 : 0;
}

std::unique_ptr<SynthPlugin> makePlugin() { return std::make_unique<SynthPlugin>(&quietHost); }

EnvelopeCurve constantCurve(float value) {
  EnvelopeCurve curve;
  curve.fill(value);
  return curve;
}

// The oscillators each group slot addresses, written out from the panel's group buttons.
std::set<int> groupMembers(int group) {
  std::set<int> members;
  auto range = [&](int first, int last, int step) {
    for (int o = first; o <= last; o += step) members.insert(o);
  };
  switch (group) {
    case 0: range(0, 15, 1); break;   // lower half
    case 1: range(16, 31, 1); break;  // upper half
    case 2: range(0, 30, 2); break;   // even
    case 3: range(1, 31, 2); break;   // odd
    case 4: members = {0, 6, 12, 18, 24, 30}; break;
    default: range((group - 5) * 8, (group - 5) * 8 + 7, 1); break;  // quarters
  }
  return members;
}

constexpr int kGroupLayer[9] = {1, 1, 2, 2, 3, 4, 4, 4, 4};

// Which slot, if any, addresses layer `layer` of bank `bank` of oscillator `osc`.
int slotAddressing(int osc, int bank, int layer) {
  if (layer == 0) return bank * 32 + osc;
  for (int group = 0; group < 9; ++group) {
    if (kGroupLayer[group] == layer && groupMembers(group).count(osc)) return 96 + 3 * group + bank;
  }
  return -1;
}

float slotValue(int slot) { return static_cast<float>(slot + 1) / 256.0f; }

TEST(EnvelopeSlots, EverySlotLoadsTheSquareIntoExactlyItsLayers) {
  auto plugin = makePlugin();
  for (int slot = 0; slot < 123; ++slot) {
    const EnvelopeCurve curve = constantCurve(-slotValue(slot));  // negative: squared on loading
    plugin->applyEnvelope(slot, curve.data());
  }
  int loaded = 0;
  for (int osc = 0; osc < 32; ++osc) {
    for (int bank = 0; bank < 3; ++bank) {
      for (int layer = 0; layer < 5; ++layer) {
        const int slot = slotAddressing(osc, bank, layer);
        const float expected = slot < 0 ? 0.0f : slotValue(slot) * slotValue(slot);
        const EnvelopeLayer& target =
            plugin->getEngine().oscillator(osc).layer(static_cast<EnvelopeBank>(bank), layer);
        for (int k : {0, 200, 384}) {
          ASSERT_EQ(target.point(k), expected)
              << "oscillator " << osc << " bank " << bank << " layer " << layer << " point " << k;
        }
        if (slot >= 0) ++loaded;
      }
    }
  }
  EXPECT_EQ(loaded, 402);
}

TEST(EnvelopeSlots, TheCurveIsStoredUnsquaredInTheCurrentProgramOnly) {
  auto plugin = makePlugin();
  plugin->selectProgram(4);
  plugin->applyEnvelope(40, constantCurve(-0.5f).data());
  EXPECT_EQ(plugin->program(4).curve(40)[0], -0.5f);
  EXPECT_EQ(plugin->program(4).curve(40)[384], -0.5f);
  EXPECT_EQ(plugin->program(0).curve(40)[0], 0.0f);
  EXPECT_EQ(plugin->getEngine().oscillator(8).layer(EnvelopeBank::pitch, 0).point(10), 0.25f);
}

TEST(EnvelopeSlots, SlotsOutsideTheTableChangeNothing) {
  auto plugin = makePlugin();
  for (int slot : {-1, 123, 1000}) plugin->applyEnvelope(slot, constantCurve(1.0f).data());
  for (int osc = 0; osc < 32; ++osc) {
    EXPECT_EQ(plugin->getEngine().oscillator(osc).layer(EnvelopeBank::amplitude, 0).point(5), 0.0f);
  }
}

TEST(Programs, SelectingAProgramRestoresItsCurvesIntoTheOscillators) {
  auto plugin = makePlugin();
  plugin->selectProgram(1);
  plugin->applyEnvelope(102, constantCurve(0.5f).data());  // amplitude layer 2, even oscillators
  plugin->selectProgram(0);
  EXPECT_EQ(plugin->getEngine().oscillator(2).layer(EnvelopeBank::amplitude, 2).point(7), 0.0f);
  plugin->selectProgram(1);
  EXPECT_EQ(plugin->getEngine().oscillator(2).layer(EnvelopeBank::amplitude, 2).point(7), 0.25f);
  EXPECT_EQ(plugin->getEngine().oscillator(3).layer(EnvelopeBank::amplitude, 2).point(7), 0.0f);
}

TEST(Programs, ACopyHoldsTheCurvesInItsOwnStorage) {
  auto plugin = makePlugin();
  plugin->selectProgram(2);
  plugin->applyEnvelope(7, constantCurve(0.75f).data());
  ASSERT_TRUE(plugin->duplicateProgram(5));
  EXPECT_EQ(plugin->program(5).curve(7)[100], 0.75f);
  EXPECT_NE(plugin->program(5).curve(7).data(), plugin->program(2).curve(7).data());
  plugin->applyEnvelope(7, constantCurve(0.1f).data());  // program 2 changes, the copy does not
  EXPECT_EQ(plugin->program(5).curve(7)[100], 0.75f);
}

// ---- notes -------------------------------------------------------------------------------

struct MidiList {
  explicit MidiList(std::initializer_list<std::array<int, 4>> messages) {
    for (const auto& m : messages) {
      storage.push_back(midi_message::event(m[0], m[1], m[2], m[3]));
    }
    pointers.resize(storage.size() + 2);
    list = reinterpret_cast<VstEvents*>(pointers.data());
    list->numEvents = static_cast<VstInt32>(storage.size());
    for (size_t i = 0; i < storage.size(); ++i) {
      list->events[i] = reinterpret_cast<VstEvent*>(&storage[i]);
    }
  }
  std::vector<VstMidiEvent> storage;
  std::vector<VstIntPtr> pointers;
  VstEvents* list;
};

TEST(Midi, NoteOnStartsAllOscillatorsAtTheNoteFrequency) {
  auto plugin = makePlugin();
  plugin->setParameter(0, 1.0f);
  MidiList on({{0x93, 69, 127, 17}});  // channel 4: every channel is alike
  EXPECT_EQ(plugin->handleEvents(on.list), 1);
  EXPECT_TRUE(plugin->isNoteGateOpen());
  EXPECT_EQ(plugin->getLastNote(), 69);
  EXPECT_EQ(plugin->getLastVelocity(), 127);
  EXPECT_EQ(plugin->getNoteOffset(), 17);
}

struct MidiStep {
  std::array<int, 4> message;
  bool gate;
  int lastNote;
  int lastVelocity;
};

class MidiSequenceTest : public ::testing::TestWithParam<std::vector<MidiStep>> {};

TEST_P(MidiSequenceTest, FollowsTheSequence) {
  auto plugin = makePlugin();
  for (const MidiStep& step : GetParam()) {
    MidiList list({step.message});
    EXPECT_EQ(plugin->handleEvents(list.list), 1);
    EXPECT_EQ(plugin->isNoteGateOpen(), step.gate)
        << "after " << step.message[0] << " " << step.message[1];
    EXPECT_EQ(plugin->getLastNote(), step.lastNote);
    EXPECT_EQ(plugin->getLastVelocity(), step.lastVelocity);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, MidiSequenceTest,
    ::testing::Values(
        // on, then off of the same note
        std::vector<MidiStep>{{{0x90, 60, 100, 0}, true, 60, 100},
                              {{0x80, 60, 64, 0}, false, 60, 100}},
        // a new note restarts; the earlier note's off restarts it silently; its second off ends it
        std::vector<MidiStep>{{{0x90, 60, 100, 0}, true, 60, 100},
                              {{0x90, 64, 90, 0}, true, 64, 90},
                              {{0x80, 60, 0, 0}, true, 60, 0},
                              {{0x80, 60, 0, 0}, false, 60, 0}},
        // velocity 0 is an off
        std::vector<MidiStep>{{{0x90, 60, 100, 0}, true, 60, 100},
                              {{0x9F, 60, 0, 0}, false, 60, 100}},
        // controller 126 on any channel ends the note; 123 and pitch bend are ignored
        std::vector<MidiStep>{{{0x90, 60, 100, 0}, true, 60, 100},
                              {{0xB5, 123, 0, 0}, true, 60, 100},
                              {{0xE0, 0, 64, 0}, true, 60, 100},
                              {{0xBF, 126, 99, 0}, false, 60, 100}},
        // an off before any note on is compared with no note: it starts a silent note
        std::vector<MidiStep>{{{0x80, 0, 0, 0}, true, 0, 0}},
        // data bytes are masked to seven bits
        std::vector<MidiStep>{{{0x90, 0xC5, 0xFF, 0}, true, 69, 127}}));

TEST(Midi, BadListsAreSkipped) {
  auto plugin = makePlugin();
  EXPECT_EQ(plugin->handleEvents(nullptr), 1);
  MidiList list({{0x90, 60, 100, 0}, {0x90, 62, 100, 0}});
  list.list->events[0] = nullptr;  // a null event is skipped, the next one is read
  EXPECT_EQ(plugin->handleEvents(list.list), 1);
  EXPECT_EQ(plugin->getLastNote(), 62);
  list.storage[1].type = 6;  // not MIDI
  list.storage[1].midiData[1] = 64;
  EXPECT_EQ(plugin->handleEvents(list.list), 1);
  EXPECT_EQ(plugin->getLastNote(), 62);
  list.list->numEvents = -3;
  EXPECT_EQ(plugin->handleEvents(list.list), 1);
}

TEST(Midi, TheTestNoteStartsAndStops) {
  auto plugin = makePlugin();
  plugin->setParameter(236, 0.0f);
  EXPECT_TRUE(plugin->isNoteGateOpen());
  EXPECT_EQ(plugin->getLastNote(), 64);
  EXPECT_EQ(plugin->getLastVelocity(), 100);
  EXPECT_EQ(plugin->getNoteOffset(), 0);
  plugin->setParameter(236, 1.0f);
  EXPECT_FALSE(plugin->isNoteGateOpen());
  EXPECT_EQ(plugin->getParameter(236), 0.0f);
}

TEST(NoteTable, KnownEntries) {
  const auto& table = noteFrequencyTable();
  EXPECT_NEAR(table[0], 8.175798915636872, 1e-6);
  EXPECT_NEAR(table[60], 261.6255653, 1e-3);
  EXPECT_EQ(table[69], 440.0f);
  EXPECT_NEAR(table[127], 12543.85, 1e-2);
}

// A note started inside a block sounds from its offset on: zeros before it, the oscillator
// with a curve on slot 0 after it (its first curve step comes within 201 samples).
TEST(Midi, ANoteSoundsFromItsOffsetWithACurveOnSlotZero) {
  auto plugin = makePlugin();
  plugin->applyEnvelope(0, constantCurve(1.0f).data());
  plugin->setParameter(82, 1.0f);
  plugin->setParameter(0, 1.0f);
  MidiList on({{0x90, 69, 127, 100}});
  plugin->handleEvents(on.list);
  std::vector<float> block(512, 7.0f);
  float* outputs[1] = {block.data()};
  plugin->processReplacing(nullptr, outputs, 512);
  for (int k = 0; k < 100; ++k) ASSERT_EQ(block[static_cast<size_t>(k)], 0.0f) << "frame " << k;
  float peak = 0.0f;
  for (size_t k = 100; k < block.size(); ++k) peak = std::max(peak, std::fabs(block[k]));
  EXPECT_GT(peak, 0.1f);
  EXPECT_EQ(plugin->getNoteOffset(), 0) << "the offset applies to one block only";
}

TEST(Audio, GateOffWritesZerosOrLeavesTheBlock) {
  auto plugin = makePlugin();
  std::vector<float> block(64, 3.0f);
  float* outputs[1] = {block.data()};
  plugin->process(nullptr, outputs, 64);
  EXPECT_EQ(block[10], 3.0f);
  plugin->processReplacing(nullptr, outputs, 64);
  EXPECT_EQ(block[10], 0.0f);
  plugin->processReplacing(nullptr, nullptr, 64);  // no outputs: nothing happens
  float* noChannel[1] = {nullptr};
  plugin->processReplacing(nullptr, noChannel, 64);
  plugin->processReplacing(nullptr, outputs, -5);
}

// ---- the envelope command ------------------------------------------------------------------

class FakePanel : public SynthPanel {
 public:
  bool isPanelOpen() const override { return open; }
  bool getSlotCurve(VstInt32 slot, float* destination) override {
    requested.push_back(slot);
    for (int k = 0; k < kEnvelopePointCount; ++k) destination[k] = 0.5f;
    return true;
  }
  void parameterChanged(VstInt32 index, float value) override { changes.push_back({index, value}); }
  void programChanged() override { ++programChanges; }
  bool open = false;
  int programChanges = 0;
  std::vector<VstInt32> requested;
  std::vector<std::pair<VstInt32, float>> changes;
};

TEST(PanelNotice, ProgramSelectionTellsThePanelOnceAndNoParameterChanges) {
  auto plugin = makePlugin();
  FakePanel panel;
  plugin->attachPanel(&panel);
  plugin->selectProgram(3);
  EXPECT_EQ(panel.programChanges, 1);
  EXPECT_TRUE(panel.changes.empty());
  plugin->selectProgram(99);  // no such program: nothing changed, nothing to tell
  plugin->selectProgram(-1);
  EXPECT_EQ(panel.programChanges, 1);
  EXPECT_EQ(plugin->currentProgramIndex(), 3);
}

TEST(EnvelopeCommand, IsIgnoredWhileThePanelIsClosed) {
  auto plugin = makePlugin();
  FakePanel panel;
  plugin->attachPanel(&panel);
  plugin->setParameter(8, 3.0f);
  EXPECT_TRUE(panel.requested.empty());
}

TEST(EnvelopeCommand, FetchesTheSlotCurveAndAppliesIt) {
  auto plugin = makePlugin();
  FakePanel panel;
  panel.open = true;
  plugin->attachPanel(&panel);
  plugin->setParameter(8, 40.0f);
  ASSERT_EQ(panel.requested, std::vector<VstInt32>{40});
  EXPECT_EQ(plugin->getEngine().oscillator(8).layer(EnvelopeBank::pitch, 0).point(3), 0.25f);
  EXPECT_EQ(plugin->program(0).curve(40)[3], 0.5f);
  EXPECT_TRUE(panel.changes.empty()) << "the command is never reported to the panel";
  EXPECT_EQ(plugin->getParameter(8), 0.0f);
}

TEST(EnvelopeCommand, SlotValuesAreCheckedBeforeTheyAreConverted) {
  auto plugin = makePlugin();
  FakePanel panel;
  panel.open = true;
  plugin->attachPanel(&panel);
  constexpr float kInf = std::numeric_limits<float>::infinity();
  for (float bad : {std::numeric_limits<float>::quiet_NaN(), kInf, -kInf, 1e30f, -1e30f, -1.0f,
                    123.0f, 200.0f}) {
    plugin->setParameter(8, bad);
  }
  EXPECT_TRUE(panel.requested.empty());
  plugin->setParameter(8, 122.9f);
  plugin->setParameter(8, -0.5f);  // truncates toward zero
  plugin->setParameter(8, 1.0f);
  EXPECT_EQ(panel.requested, (std::vector<VstInt32>{122, 0, 1}));
}

TEST(EnvelopeCommand, OtherParametersAreAppliedThenReportedToThePanel) {
  auto plugin = makePlugin();
  FakePanel panel;
  plugin->attachPanel(&panel);
  plugin->setParameter(180, 0.25f);
  plugin->setParameter(500, 0.25f);
  ASSERT_EQ(panel.changes.size(), 2u);
  EXPECT_EQ(panel.changes[0], (std::pair<VstInt32, float>{180, 0.25f}));
  EXPECT_EQ(plugin->getParameter(180), 0.25f);
}

// ---- saved state -----------------------------------------------------------------------------

std::vector<unsigned char> programChunkWithCurve(int slot, float point) {
  chunkformat::State state;
  chunkformat::Program program;
  program.curves.push_back({static_cast<uint32_t>(slot), {}});
  program.curves.back().points.fill(point);
  state.programs.push_back(program);
  return chunkformat::write(state);
}

TEST(SavedState, ARestoredProgramLoadsItsCurvesAndTellsThePanelOnce) {
  auto plugin = makePlugin();
  FakePanel panel;
  plugin->attachPanel(&panel);
  plugin->selectProgram(6);
  panel.programChanges = 0;
  auto chunk = programChunkWithCurve(102, -0.5f);  // amplitude layer 2 of the even oscillators
  ASSERT_EQ(plugin->writeChunk(chunk.data(), static_cast<VstInt32>(chunk.size()), true), 1);
  EXPECT_EQ(panel.programChanges, 1);
  EXPECT_TRUE(panel.changes.empty());
  EXPECT_EQ(plugin->getEngine().oscillator(4).layer(EnvelopeBank::amplitude, 2).point(9), 0.25f);
  EXPECT_EQ(plugin->getEngine().oscillator(5).layer(EnvelopeBank::amplitude, 2).point(9), 0.0f);
  EXPECT_EQ(plugin->program(6).curve(102)[9], -0.5f);
  EXPECT_EQ(plugin->program(0).curve(102)[9], 0.0f);
  EXPECT_FALSE(plugin->isNoteGateOpen());
}

TEST(SavedState, ARefusedChunkTellsThePanelNothing) {
  auto plugin = makePlugin();
  FakePanel panel;
  plugin->attachPanel(&panel);
  auto chunk = programChunkWithCurve(3, 1.0f);
  chunk[20] ^= 1;  // checksum no longer matches
  EXPECT_EQ(plugin->writeChunk(chunk.data(), static_cast<VstInt32>(chunk.size()), true), 0);
  EXPECT_EQ(panel.programChanges, 0);
  EXPECT_EQ(plugin->getEngine().oscillator(3).layer(EnvelopeBank::amplitude, 0).point(9), 0.0f);
}

TEST(SavedState, ABankRestoreSelectsItsCurrentProgram) {
  auto plugin = makePlugin();
  plugin->selectProgram(2);
  plugin->applyEnvelope(0, constantCurve(0.5f).data());
  void* data = nullptr;
  const VstInt32 size = plugin->readChunk(&data, false);
  ASSERT_GT(size, 0);
  const std::vector<unsigned char> bank(static_cast<unsigned char*>(data),
                                        static_cast<unsigned char*>(data) + size);
  auto other = makePlugin();
  ASSERT_EQ(other->writeChunk(const_cast<unsigned char*>(bank.data()), size, false), 1);
  EXPECT_EQ(other->currentProgramIndex(), 2);
  EXPECT_EQ(other->getEngine().oscillator(0).layer(EnvelopeBank::amplitude, 0).point(1), 0.25f);
}

}  // namespace
