// The built plug-in as a host meets it: loaded with dlopen by our host library, its entry called,
// its record read, its dispatcher driven, and closed again.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "overtonic-host/lib/PluginLibrary.h"
#include "tests/support/PluginFixture.h"

namespace {

using hostlib::HostOptions;
using hostlib::PluginInstance;

std::unique_ptr<PluginInstance> instantiate(const HostOptions& options = {}) {
  auto made = pluginLibrary().instantiate(options);
  if (!made.ok()) {
    ADD_FAILURE() << made.error();
    return nullptr;
  }
  return std::move(made).value();
}

TEST(PluginBoundary, TheEntryIsFoundUnderItsCurrentName) {
  EXPECT_EQ(pluginLibrary().entryName(), "VSTPluginMain");
}

TEST(PluginBoundary, TheRecordReadsAsDesigned) {
  auto plugin = instantiate();
  ASSERT_TRUE(plugin);
  const AEffect* record = plugin->effect();
  EXPECT_EQ(record->magic, 0x56737450);  // 'VstP'
  EXPECT_EQ(record->numPrograms, 32);
  EXPECT_EQ(record->numParams, 237);
  EXPECT_EQ(record->numInputs, 0);
  EXPECT_EQ(record->numOutputs, 1);
  // Has an editor, can replace, keeps its programs in chunks and is a synth; clip and VU are clear.
  EXPECT_EQ(record->flags, 0x131);
  EXPECT_EQ(record->uniqueID, 0x514E5452);  // 'QNTR'
  EXPECT_EQ(record->version, 1);
  EXPECT_EQ(record->initialDelay, 0);
  EXPECT_EQ(record->realQualities, 0);
  EXPECT_EQ(record->offQualities, 0);
  EXPECT_EQ(record->ioRatio, 1.0f);
  EXPECT_NE(record->object, nullptr);
  EXPECT_EQ(record->user, nullptr);
  EXPECT_NE(record->processReplacing, nullptr);
  const char zeros[8] = {};
  EXPECT_EQ(std::memcmp(record->future, zeros, sizeof zeros), 0)
      << "the double-precision slot must stay empty";
}

TEST(PluginBoundary, AHostTooOldToAnswerItsVersionGetsNothing) {
  HostOptions tooOld;
  tooOld.versionAnswer = 0;
  auto made = pluginLibrary().instantiate(tooOld);
  EXPECT_FALSE(made.ok());
}

struct OpcodeAnswer {
  VstInt32 opcode;
  VstIntPtr expected;
};

class PluginOpcodeTest : public ::testing::TestWithParam<OpcodeAnswer> {};

TEST_P(PluginOpcodeTest, AnswersAsDesigned) {
  auto plugin = instantiate();
  ASSERT_TRUE(plugin);
  EXPECT_EQ(plugin->dispatch(GetParam().opcode), GetParam().expected)
      << "opcode " << GetParam().opcode;
}

std::string opcodeAnswerName(const ::testing::TestParamInfo<OpcodeAnswer>& param) {
  return "case_" + std::to_string(param.index);
}

INSTANTIATE_TEST_SUITE_P(
    Identity, PluginOpcodeTest,
    ::testing::Values(OpcodeAnswer{effIdentify, 0x4E764566}, OpcodeAnswer{effGetVstVersion, 2200},
                      OpcodeAnswer{effGetPlugCategory, 2}, OpcodeAnswer{effKeysRequired, 1},
                      OpcodeAnswer{effGetVu, 0}, OpcodeAnswer{100, 0}, OpcodeAnswer{-5, 0},
                      OpcodeAnswer{effEditDraw, 0}, OpcodeAnswer{effGetChunk, 0},
                      OpcodeAnswer{effGetTailSize, 0}, OpcodeAnswer{effGetNumProgramCategories, 1}),
    opcodeAnswerName);

TEST(PluginBoundary, EveryOpcodeWithANullPointerAnswersWithoutCrashing) {
  auto plugin = instantiate();
  ASSERT_TRUE(plugin);
  for (VstInt32 opcode = 0; opcode <= effEndSetProgram + 2; ++opcode) {
    if (opcode == effClose || opcode == effEditOpen) continue;
    plugin->dispatch(opcode, 0, 0, nullptr, 0.0f);
  }
  for (VstInt32 opcode :
       {effGetProgramName, effGetParamLabel, effGetParamDisplay, effGetParamName, effSetProgramName,
        effGetEffectName, effGetVendorString, effGetProductString, effCanDo, effGetOutputProperties,
        effGetProgramNameIndexed, effProcessEvents, effEditGetRect}) {
    EXPECT_EQ(plugin->dispatch(opcode, 0, 0, nullptr, 0.0f), 0) << "opcode " << opcode;
  }
  EXPECT_EQ(plugin->dispatch(effIdentify), 0x4E764566) << "the instance still answers";
}

TEST(PluginBoundary, CloseAnswersOneAndTheInstanceIsGone) {
  auto plugin = instantiate();
  ASSERT_TRUE(plugin);
  EXPECT_EQ(plugin->close(), 1);
  EXPECT_FALSE(plugin->isOpen());
}

TEST(PluginBoundary, TwoInstancesAreIndependent) {
  auto first = instantiate();
  auto second = instantiate();
  ASSERT_TRUE(first && second);
  EXPECT_NE(first->effect(), second->effect());
  EXPECT_NE(first->effect()->object, second->effect()->object);
  first->setProgram(5);
  second->setProgram(9);
  EXPECT_EQ(first->program(), 5);
  EXPECT_EQ(second->program(), 9);
  EXPECT_EQ(first->close(), 1);
  EXPECT_EQ(second->program(), 9) << "closing one instance leaves the other alone";
}

TEST(PluginBoundary, ManyInstancesOpenAndCloseInAnyOrder) {
  std::unique_ptr<PluginInstance> plugins[8];
  for (auto& plugin : plugins) {
    plugin = instantiate();
    ASSERT_TRUE(plugin);
  }
  for (int i : {3, 0, 7, 1, 6, 2, 5, 4}) EXPECT_EQ(plugins[i]->close(), 1);
}

}  // namespace
