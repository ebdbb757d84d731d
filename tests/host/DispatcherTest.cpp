// The shell's dispatcher: every opcode 0-68 reaches its operation with the neutral default
// answer, booleans arrive as 1 or 0, unknown opcodes answer 0, and null pointers are refused.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <string>

#include "tests/host/RecordingHost.h"
#include "tests/host/TestEffect.h"

namespace {

struct DefaultCase {
  VstInt32 opcode;
  VstIntPtr value;
  VstIntPtr expected;
};

class DispatcherDefaultTest : public ::testing::TestWithParam<DefaultCase> {};

TEST_P(DispatcherDefaultTest, AnswersTheNeutralDefault) {
  const DefaultCase& c = GetParam();
  TestEffect effect(nullptr);
  char buffer[256];
  std::memset(buffer, 0, sizeof buffer);
  EXPECT_EQ(effect.dispatcher(c.opcode, 0, c.value, buffer, 0.0f), c.expected)
      << "opcode " << c.opcode;
}

std::string defaultCaseName(const ::testing::TestParamInfo<DefaultCase>& param) {
  return "opcode_" + std::to_string(param.param.opcode < 0 ? 0 : param.param.opcode) + "_" +
         std::to_string(param.index);
}

INSTANTIATE_TEST_SUITE_P(
    EveryOpcode, DispatcherDefaultTest,
    ::testing::Values(
        DefaultCase{effOpen, 0, 0}, DefaultCase{effClose, 0, 0}, DefaultCase{effSetProgram, 1, 0},
        DefaultCase{effGetProgram, 0, 0}, DefaultCase{effSetProgramName, 0, 0},
        DefaultCase{effGetProgramName, 0, 0}, DefaultCase{effGetParamLabel, 0, 0},
        DefaultCase{effGetParamDisplay, 0, 0}, DefaultCase{effGetParamName, 0, 0},
        DefaultCase{effGetVu, 0, 0}, DefaultCase{effSetSampleRate, 0, 0},
        DefaultCase{effSetBlockSize, 256, 0}, DefaultCase{effMainsChanged, 1, 0},
        DefaultCase{effEditGetRect, 0, 0}, DefaultCase{effEditOpen, 0, 0},
        DefaultCase{effEditClose, 0, 0}, DefaultCase{effEditDraw, 0, 0},
        DefaultCase{effEditMouse, 0, 0}, DefaultCase{effEditKey, 0, 0},
        DefaultCase{effEditIdle, 0, 0}, DefaultCase{effEditTop, 0, 0},
        DefaultCase{effEditSleep, 0, 0}, DefaultCase{effIdentify, 0, 0x4E764566},
        DefaultCase{effGetChunk, 0, 0}, DefaultCase{effSetChunk, 0, 0},
        DefaultCase{effProcessEvents, 0, 0}, DefaultCase{effCanBeAutomated, 0, 1},
        DefaultCase{effString2Parameter, 0, 0}, DefaultCase{effGetNumProgramCategories, 0, 1},
        DefaultCase{effGetProgramNameIndexed, 0, 0}, DefaultCase{effCopyProgram, 0, 0},
        DefaultCase{effConnectInput, 1, 1}, DefaultCase{effConnectOutput, 0, 1},
        DefaultCase{effGetInputProperties, 0, 0}, DefaultCase{effGetOutputProperties, 0, 0},
        DefaultCase{effGetPlugCategory, 0, 0}, DefaultCase{effGetCurrentPosition, 0, 0},
        DefaultCase{effGetDestinationBuffer, 0, 0}, DefaultCase{effOfflineNotify, 0, 0},
        DefaultCase{effOfflinePrepare, 0, 0}, DefaultCase{effOfflineRun, 0, 0},
        DefaultCase{effProcessVarIo, 0, 0}, DefaultCase{effSetSpeakerArrangement, 0, 0},
        DefaultCase{effSetBlockSizeAndSampleRate, 512, 1}, DefaultCase{effSetBypass, 1, 0},
        DefaultCase{effGetEffectName, 0, 0}, DefaultCase{effGetErrorText, 0, 0},
        DefaultCase{effGetVendorString, 0, 0}, DefaultCase{effGetProductString, 0, 0},
        DefaultCase{effGetVendorVersion, 0, 0}, DefaultCase{effVendorSpecific, 0, 0},
        DefaultCase{effCanDo, 0, 0}, DefaultCase{effGetTailSize, 0, 0}, DefaultCase{effIdle, 0, 0},
        DefaultCase{effGetIcon, 0, 0}, DefaultCase{effSetViewPosition, 0, 0},
        DefaultCase{effGetParameterProperties, 0, 0}, DefaultCase{effKeysRequired, 0, 1},
        DefaultCase{effGetVstVersion, 0, 2200}, DefaultCase{effEditKeyDown, 0, 0},
        DefaultCase{effEditKeyUp, 0, 0}, DefaultCase{effSetEditKnobMode, 0, 0},
        DefaultCase{effGetMidiProgramName, 0, 0}, DefaultCase{effGetCurrentMidiProgram, 0, -1},
        DefaultCase{effGetMidiProgramCategory, 0, 0}, DefaultCase{effHasMidiProgramsChanged, 0, 0},
        DefaultCase{effGetMidiKeyName, 0, 0}, DefaultCase{effBeginSetProgram, 0, 0},
        DefaultCase{effEndSetProgram, 0, 0}, DefaultCase{69, 0, 0}, DefaultCase{100, 0, 0},
        DefaultCase{-1, 0, 0}, DefaultCase{INT_MAX, 0, 0}, DefaultCase{INT_MIN, 0, 0}),
    defaultCaseName);

TEST(Dispatcher, SetProgramSelectsOnlyNumbersInsideTheProgramCount) {
  TestEffect effect(nullptr);  // four programs
  struct Step {
    VstIntPtr value;
    VstIntPtr current;
  };
  for (const Step& step :
       {Step{3, 3}, Step{4, 3}, Step{-1, 3}, Step{0, 0}, Step{VstIntPtr{1} << 40, 0}}) {
    effect.dispatcher(effSetProgram, 0, step.value, nullptr, 0.0f);
    EXPECT_EQ(effect.dispatcher(effGetProgram, 0, 0, nullptr, 0.0f), step.current)
        << "after selecting " << step.value;
  }
}

TEST(Dispatcher, DefaultTextOperationsWriteAnEmptyText) {
  TestEffect effect(nullptr);
  for (VstInt32 opcode : {effGetProgramName, effGetParamLabel, effGetParamDisplay, effGetParamName,
                          effSetProgramName}) {
    char text[16] = "sentinel";
    effect.dispatcher(opcode, 0, 0, text, 0.0f);
    EXPECT_STREQ(text, "") << "opcode " << opcode;
  }
}

TEST(Dispatcher, EveryOpcodeWithANullPointerAnswersWithoutCrashing) {
  TestEffect effect(nullptr);
  for (VstInt32 opcode = 0; opcode <= effEndSetProgram; ++opcode) {
    if (opcode == effClose) continue;
    const VstIntPtr result = effect.dispatcher(opcode, 0, 0, nullptr, 0.0f);
    if (opcode != effIdentify && opcode != effCanBeAutomated &&
        opcode != effGetNumProgramCategories && opcode != effConnectInput &&
        opcode != effConnectOutput && opcode != effSetBlockSizeAndSampleRate &&
        opcode != effKeysRequired && opcode != effGetVstVersion &&
        opcode != effGetCurrentMidiProgram) {
      EXPECT_EQ(result, 0) << "opcode " << opcode;
    }
  }
}

TEST(Dispatcher, MainsChangedSuspendsForZeroAndResumesOtherwise) {
  struct Counting : TestEffect {
    using TestEffect::TestEffect;
    void onSuspend() override { ++suspends; }
    void onResume() override { ++resumes; }
    int suspends = 0;
    int resumes = 0;
  };
  Counting effect(nullptr);
  effect.dispatcher(effMainsChanged, 0, 0, nullptr, 0.0f);
  effect.dispatcher(effMainsChanged, 0, 1, nullptr, 0.0f);
  effect.dispatcher(effMainsChanged, 0, -7, nullptr, 0.0f);
  EXPECT_EQ(effect.suspends, 1);
  EXPECT_EQ(effect.resumes, 2);
}

TEST(Dispatcher, BlockSizeAndSampleRateAreStoredDirectly) {
  struct Watching : TestEffect {
    using TestEffect::TestEffect;
    void changeSampleRate(float rate) override {
      ++calls;
      TestEffect::changeSampleRate(rate);
    }
    void changeBlockSize(VstInt32 size) override {
      ++calls;
      TestEffect::changeBlockSize(size);
    }
    int calls = 0;
  };
  Watching effect(nullptr);
  EXPECT_EQ(effect.dispatcher(effSetBlockSizeAndSampleRate, 0, 256, nullptr, 96000.0f), 1);
  EXPECT_EQ(effect.getBlockSize(), 256);
  EXPECT_EQ(effect.getSampleRate(), 96000.0f);
  EXPECT_EQ(effect.calls, 0);
  effect.dispatcher(effSetSampleRate, 0, 0, nullptr, 48000.0f);
  effect.dispatcher(effSetBlockSize, 0, 64, nullptr, 0.0f);
  EXPECT_EQ(effect.getSampleRate(), 48000.0f);
  EXPECT_EQ(effect.getBlockSize(), 64);
  EXPECT_EQ(effect.calls, 2);
}

// An editor that records the operations the dispatcher's editor opcodes reach.
class RecordingEditor : public EffectEditor {
 public:
  VstIntPtr getRect(ERect** rect) override {
    *rect = &area;
    return 1;
  }
  VstIntPtr open(void* window) override {
    openedWith = window;
    return 1;
  }
  void close() override { ++closes; }
  void idle() override { ++idles; }
  void update() override {}
  void requestUpdate() override {}
  VstIntPtr onKeyDown(VstKeyCode& key) override {
    lastKey = key;
    return 11;
  }
  VstIntPtr onKeyUp(VstKeyCode& key) override {
    lastKey = key;
    return 12;
  }
  VstIntPtr setDragMode(VstInt32 mode) override {
    dragMode = mode;
    return 1;
  }
  ERect area{0, 0, 600, 600};
  void* openedWith = nullptr;
  int closes = 0;
  int idles = 0;
  VstKeyCode lastKey{};
  VstInt32 dragMode = -1;
};

TEST(Dispatcher, EditorOpcodesReachTheEditor) {
  TestEffect effect(nullptr);
  auto* editor = new RecordingEditor;  // owned by the effect from here on
  effect.setEditor(editor);

  ERect* rect = nullptr;
  EXPECT_EQ(effect.dispatcher(effEditGetRect, 0, 0, &rect, 0.0f), 1);
  ASSERT_EQ(rect, &editor->area);
  int window = 0;
  EXPECT_EQ(effect.dispatcher(effEditOpen, 0, 0, &window, 0.0f), 1);
  EXPECT_EQ(editor->openedWith, &window);
  effect.dispatcher(effEditIdle, 0, 0, nullptr, 0.0f);
  effect.dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
  EXPECT_EQ(editor->idles, 1);
  EXPECT_EQ(editor->closes, 1);

  EXPECT_EQ(effect.dispatcher(effEditKeyDown, 'a', 0x1234, nullptr, 258.9f), 11);
  EXPECT_EQ(editor->lastKey.character, 'a');
  EXPECT_EQ(editor->lastKey.virt, 0x34);
  EXPECT_EQ(editor->lastKey.modifier, 2);  // low byte of 258
  EXPECT_EQ(effect.dispatcher(effEditKeyUp, 'b', 0, nullptr, std::nanf("")), 12);
  EXPECT_EQ(editor->lastKey.modifier, 0);
  EXPECT_EQ(effect.dispatcher(effSetEditKnobMode, 0, 2, nullptr, 0.0f), 1);
  EXPECT_EQ(editor->dragMode, 2);

  // A null rectangle pointer is refused before the editor is asked.
  EXPECT_EQ(effect.dispatcher(effEditGetRect, 0, 0, nullptr, 0.0f), 0);
}

TEST(Dispatcher, FlagSettersSetAndClearTheirBitOnly) {
  TestEffect effect(nullptr);
  struct FlagCase {
    void (TestEffect::*setter)(bool);
    VstInt32 bit;
  };
  for (const FlagCase& c : {FlagCase{&TestEffect::setHasVu, 0x004},
                            {&TestEffect::setHasClip, 0x002},
                            {&TestEffect::setCanMono, 0x008},
                            {&TestEffect::setCanReplacing, 0x010},
                            {&TestEffect::setProgramsAreChunks, 0x020},
                            {&TestEffect::setAsynchronous, 0x400},
                            {&TestEffect::setExternalBuffer, 0x800},
                            {&TestEffect::setIsSynth, 0x100},
                            {&TestEffect::setNoTail, 0x200}}) {
    effect.getAEffect()->flags = 0x1001;
    (effect.*c.setter)(true);
    EXPECT_EQ(effect.getAEffect()->flags, 0x1001 | c.bit);
    (effect.*c.setter)(false);
    EXPECT_EQ(effect.getAEffect()->flags, 0x1001 & ~c.bit);
  }
}

TEST(Dispatcher, PlugCategoryFollowsTheSynthFlag) {
  TestEffect effect(nullptr);
  EXPECT_EQ(effect.dispatcher(effGetPlugCategory, 0, 0, nullptr, 0.0f), 0);
  effect.setIsSynth(true);
  EXPECT_EQ(effect.dispatcher(effGetPlugCategory, 0, 0, nullptr, 0.0f), 2);
}

TEST(EffectRecord, ShellConstructionFillsTheRecord) {
  TestEffect effect(nullptr);
  const AEffect* record = effect.getAEffect();
  EXPECT_EQ(record->magic, 0x56737450);
  EXPECT_EQ(record->numPrograms, 4);
  EXPECT_EQ(record->numParams, 8);
  EXPECT_EQ(record->numInputs, 1);
  EXPECT_EQ(record->numOutputs, 2);
  EXPECT_EQ(record->flags, 0);
  EXPECT_EQ(record->uniqueID, 0x4E6F4566);
  EXPECT_EQ(record->version, 1);
  EXPECT_EQ(record->ioRatio, 1.0f);
  EXPECT_EQ(record->object, &effect);
  EXPECT_EQ(record->user, nullptr);
  EXPECT_EQ(effect.getSampleRate(), 44100.0f);
  EXPECT_EQ(effect.getBlockSize(), 1024);
  char zeros[64] = {};
  EXPECT_EQ(std::memcmp(record->future, zeros, sizeof zeros), 0);
}

TEST(EffectRecord, EntryFunctionsIgnoreARecordWithoutAnInstance) {
  AEffect record{};
  EXPECT_EQ(EffectBase::dispatchEntry(&record, effIdentify, 0, 0, nullptr, 0.0f), 0);
  EXPECT_EQ(EffectBase::dispatchEntry(nullptr, effClose, 0, 0, nullptr, 0.0f), 0);
  EXPECT_EQ(EffectBase::getParameterEntry(nullptr, 0), 0.0f);
  EffectBase::setParameterEntry(nullptr, 0, 1.0f);
  EffectBase::processEntry(nullptr, nullptr, nullptr, 64);
  EffectBase::processReplacingEntry(&record, nullptr, nullptr, 64);
}

}  // namespace
