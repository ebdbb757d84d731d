// Programs (names, renaming, copying, selection) and the identity and capability answers, as a
// host sees them through the built plug-in.
#include <cstring>
#include <string>

#include "tests/support/PluginFixture.h"

namespace {

using Programs = PluginTest;

TEST_F(Programs, AFreshInstanceHas32BasicProgramsAndRefusesOthers) {
  for (VstInt32 index = 0; index < 32; ++index) {
    EXPECT_EQ(plugin->programNameAt(index), std::optional<std::string>("Basic")) << index;
  }
  EXPECT_EQ(plugin->programNameAt(32), std::nullopt);
  EXPECT_EQ(plugin->programNameAt(-1), std::nullopt);
  EXPECT_EQ(plugin->programName(), "Basic");
  EXPECT_EQ(plugin->program(), 0);
}

TEST_F(Programs, RenamingTheCurrentProgramIsSeenByIndex) {
  plugin->setProgram(3);
  char name[] = "Glass Organ";
  plugin->dispatch(effSetProgramName, 0, 0, name);
  plugin->setProgram(0);
  EXPECT_EQ(plugin->programNameAt(3), std::optional<std::string>("Glass Organ"));
  EXPECT_EQ(plugin->programName(), "Basic");
}

TEST_F(Programs, ALongNameIsCutTo23Characters) {
  char name[] = "A name far longer than the twenty-three characters a program holds";
  plugin->dispatch(effSetProgramName, 0, 0, name);
  EXPECT_EQ(plugin->programName(), std::string(name, 23));
}

TEST_F(Programs, SelectionIsLimitedToTheProgramRange) {
  plugin->setProgram(31);
  EXPECT_EQ(plugin->program(), 31);
  plugin->setProgram(32);
  plugin->setProgram(-1);
  EXPECT_EQ(plugin->program(), 31);
}

TEST_F(Programs, CopyingTheCurrentProgramCopiesValuesAndName) {
  plugin->setProgram(2);
  plugin->setParameter(82, 0.7f);
  plugin->setParameter(180, 0.25f);
  char name[] = "Two";
  plugin->dispatch(effSetProgramName, 0, 0, name);

  EXPECT_EQ(plugin->dispatch(effCopyProgram, 5), 1);
  EXPECT_EQ(plugin->program(), 2) << "copying does not select";
  EXPECT_EQ(plugin->programNameAt(5), std::optional<std::string>("Two"));

  plugin->setProgram(5);
  EXPECT_NEAR(plugin->getParameter(82), 0.7f, 1e-6f);
  EXPECT_EQ(plugin->getParameter(180), 0.25f);
  plugin->setParameter(180, 0.9f);
  plugin->setProgram(2);
  EXPECT_EQ(plugin->getParameter(180), 0.25f) << "the copy is held in its own storage";
}

TEST_F(Programs, CopyingOutsideTheProgramRangeIsRefused) {
  EXPECT_EQ(plugin->dispatch(effCopyProgram, 32), 0);
  EXPECT_EQ(plugin->dispatch(effCopyProgram, -1), 0);
  EXPECT_EQ(plugin->dispatch(effCopyProgram, 31), 1);
}

using Identity = PluginTest;

TEST_F(Identity, NamesVendorProductAndVersion) {
  EXPECT_EQ(plugin->effectName(), "Tallowmere Overtonic");
  EXPECT_EQ(plugin->vendor(), "Tallowmere Recordings");
  EXPECT_EQ(plugin->product(), "Overtonicum");
  EXPECT_EQ(plugin->vendorVersion(), 1);
  EXPECT_EQ(plugin->dispatch(effGetEffectName, 0, 0, nullptr), 0);
}

TEST_F(Identity, CanDoAnswersExactlyTheTwoEventCapabilities) {
  struct Question {
    const char* text;
    intptr_t answer;
  };
  for (const Question& q : {Question{"receiveVstEvents", 1},
                            {"receiveVstMidiEvent", 1},
                            {"receiveVstTimeInfo", -1},
                            {"receiveVstEventsX", -1},
                            {"receiveVstMidiEvents", -1},
                            {"receiveVstMidiEven", -1},
                            {"ReceiveVstEvents", -1},
                            {"sendVstEvents", -1},
                            {"", -1}}) {
    EXPECT_EQ(plugin->canDo(q.text), q.answer) << '"' << q.text << '"';
  }
}

TEST_F(Identity, OneOutputPinLabelledVstx1) {
  VstPinProperties pin;
  std::memset(&pin, 0x5A, sizeof pin);
  EXPECT_EQ(plugin->dispatch(effGetOutputProperties, 0, 0, &pin), 1);
  EXPECT_STREQ(pin.label, "Vstx 1");
  EXPECT_EQ(pin.flags, 3);
  EXPECT_EQ(pin.arrangementType, 0x5A5A5A5A) << "no other field is written";

  for (VstInt32 index : {1, 2, -1}) {
    VstPinProperties untouched;
    std::memset(&untouched, 0x5A, sizeof untouched);
    VstPinProperties copy = untouched;
    EXPECT_EQ(plugin->dispatch(effGetOutputProperties, index, 0, &untouched), 0) << index;
    EXPECT_EQ(std::memcmp(&untouched, &copy, sizeof copy), 0) << index;
  }
  EXPECT_EQ(plugin->dispatch(effGetInputProperties, 0, 0, &pin), 0);
}

TEST_F(Identity, ResumingAsksTheHostForMidi) {
  plugin->clearCalls();
  plugin->dispatch(effMainsChanged, 0, 1);
  ASSERT_EQ(plugin->countCalls(audioMasterWantMidi), 1u);
  for (const hostlib::HostCall& call : plugin->calls()) {
    if (call.opcode == audioMasterWantMidi) {
      EXPECT_EQ(call.value, 1);
    }
  }
  plugin->dispatch(effMainsChanged, 0, 0);
  EXPECT_EQ(plugin->countCalls(audioMasterWantMidi), 1u) << "suspending asks nothing";
}

TEST_F(Identity, CategoryIsSynth) { EXPECT_EQ(plugin->dispatch(effGetPlugCategory), 2); }

}  // namespace
