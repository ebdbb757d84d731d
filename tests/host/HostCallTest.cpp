// The host-call family: each call sends one opcode with its arguments, turns the answer into its
// result, and without a host answers its fixed no-host value without calling anything.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/host/RecordingHost.h"
#include "tests/host/TestEffect.h"

namespace {

char kText[] = "text";
VstWindow window{};
VstFileSelect selection{};
VstEvents events{};
int marker = 0;

struct HostCallCase {
  std::string name;
  std::function<VstIntPtr(TestEffect&)> call;
  VstInt32 opcode;
  VstInt32 index;
  VstIntPtr value;
  void* ptr;
  float opt;
  VstIntPtr answer;    // what the host answers
  VstIntPtr expected;  // what the call returns for that answer
  VstIntPtr noHost;    // what the call returns without a host
};

VstIntPtr asInt(bool value) { return value ? 1 : 0; }
VstIntPtr asInt(const void* value) { return reinterpret_cast<VstIntPtr>(value); }

const VstIntPtr kPointerAnswer = reinterpret_cast<VstIntPtr>(&marker);

std::vector<HostCallCase> hostCallCases() {
  return {
      {"version", [](TestEffect& e) { return e.hostVersion(); }, 1, 0, 0, nullptr, 0, 2400, 2400,
       1},
      {"version zero reads 1", [](TestEffect& e) { return e.hostVersion(); }, 1, 0, 0, nullptr, 0,
       0, 1, 1},
      {"current id", [](TestEffect& e) { return e.hostCurrentId(); }, 2, 0, 0, nullptr, 0, 77, 77,
       0},
      {"idle", [](TestEffect& e) { return e.hostIdle(); }, 3, 0, 0, nullptr, 0, 5, 5, 0},
      {"input connected", [](TestEffect& e) { return asInt(e.isInputConnected(3)); }, 4, 3, 0,
       nullptr, 0, 0, 1, 1},
      {"input not connected", [](TestEffect& e) { return asInt(e.isInputConnected(3)); }, 4, 3, 0,
       nullptr, 0, 1, 0, 1},
      {"output connected", [](TestEffect& e) { return asInt(e.isOutputConnected(2)); }, 4, 2, 1,
       nullptr, 0, 0, 1, 1},
      {"want midi", [](TestEffect& e) { return e.requestMidi(1); }, 6, 0, 1, nullptr, 0, 1, 1, 0},
      {"time info", [](TestEffect& e) { return asInt(e.hostTimeInfo(0x200)); }, 7, 0, 0x200,
       nullptr, 0, kPointerAnswer, kPointerAnswer, 0},
      {"tempo at", [](TestEffect& e) { return e.hostTempoAt(4410); }, 10, 0, 4410, nullptr, 0,
       120000, 120000, 0},
      {"automatable count", [](TestEffect& e) { return e.hostAutomatableParameterCount(); }, 11, 0,
       0, nullptr, 0, 9, 9, 0},
      {"quantization", [](TestEffect& e) { return e.hostParameterQuantization(); }, 12, 0, 0,
       nullptr, 0, 3, 3, 0},
      {"io changed", [](TestEffect& e) { return asInt(e.hostIOChanged()); }, 13, 0, 0, nullptr, 0,
       7, 1, 0},
      {"need idle", [](TestEffect& e) { return asInt(e.hostNeedIdle()); }, 14, 0, 0, nullptr, 0, 0,
       0, 0},
      {"size window", [](TestEffect& e) { return asInt(e.hostSizeWindow(600, 500)); }, 15, 600, 500,
       nullptr, 0, 1, 1, 0},
      {"sample rate ignores answer",
       [](TestEffect& e) { return static_cast<VstIntPtr>(e.updateSampleRate()); }, 16, 0, 0,
       nullptr, 0, 96000, 44100, 44100},
      {"block size ignores answer",
       [](TestEffect& e) { return static_cast<VstIntPtr>(e.updateBlockSize()); }, 17, 0, 0, nullptr,
       0, 64, 1024, 1024},
      {"input latency", [](TestEffect& e) { return e.hostInputLatency(); }, 18, 0, 0, nullptr, 0,
       12, 12, 0},
      {"output latency", [](TestEffect& e) { return e.hostOutputLatency(); }, 19, 0, 0, nullptr, 0,
       13, 13, 0},
      {"previous plug drops pin", [](TestEffect& e) { return asInt(e.hostPreviousPlug(5)); }, 20, 0,
       0, nullptr, 0, kPointerAnswer, kPointerAnswer, 0},
      {"next plug drops pin", [](TestEffect& e) { return asInt(e.hostNextPlug(5)); }, 21, 0, 0,
       nullptr, 0, kPointerAnswer, kPointerAnswer, 0},
      {"replace or accumulate", [](TestEffect& e) { return e.hostWillReplaceOrAccumulate(); }, 22,
       0, 0, nullptr, 0, 1, 1, 0},
      {"process level", [](TestEffect& e) { return e.hostCurrentProcessLevel(); }, 23, 0, 0,
       nullptr, 0, 2, 2, 0},
      {"automation state", [](TestEffect& e) { return e.hostAutomationState(); }, 24, 0, 0, nullptr,
       0, 4, 4, 0},
      {"offline read", [](TestEffect& e) { return asInt(e.hostOfflineRead(&marker, 3, true)); }, 26,
       1, 3, &marker, 0, 1, 1, 0},
      {"offline write", [](TestEffect& e) { return asInt(e.hostOfflineWrite(&marker, 2)); }, 27, 0,
       2, &marker, 0, 1, 1, 0},
      {"offline start", [](TestEffect& e) { return asInt(e.hostOfflineStart(&marker, 4, 2)); }, 25,
       2, 4, &marker, 0, 1, 1, 0},
      {"offline pass", [](TestEffect& e) { return asInt(e.hostOfflineCurrentPass()); }, 28, 0, 0,
       nullptr, 0, 3, 1, 0},
      {"offline meta pass", [](TestEffect& e) { return asInt(e.hostOfflineCurrentMetaPass()); }, 29,
       0, 0, nullptr, 0, 0, 0, 0},
      {"output sample rate", [](TestEffect& e) { return e.hostSetOutputSampleRate(48000.0f); }, 30,
       0, 0, nullptr, 48000.0f, 1, 1, 0},
      {"speaker arrangement",
       [](TestEffect& e) { return asInt(e.hostSpeakerArrangement(&window, &marker)); }, 31, 0,
       reinterpret_cast<VstIntPtr>(&window), &marker, 0, 1, 1, 0},
      {"vendor string", [](TestEffect& e) { return asInt(e.hostVendorString(kText)); }, 32, 0, 0,
       kText, 0, 1, 1, 0},
      {"product string", [](TestEffect& e) { return asInt(e.hostProductString(kText)); }, 33, 0, 0,
       kText, 0, 1, 1, 0},
      {"vendor version", [](TestEffect& e) { return e.hostVendorVersion(); }, 34, 0, 0, nullptr, 0,
       1100, 1100, 0},
      {"vendor specific", [](TestEffect& e) { return e.hostVendorSpecific(7, 8, &marker, 0.5f); },
       35, 7, 8, &marker, 0.5f, 42, 42, 0},
      {"can do", [](TestEffect& e) { return asInt(e.hostCanDo(kText)); }, 37, 0, 0, kText, 0, 1, 1,
       0},
      {"can do answered no", [](TestEffect& e) { return asInt(e.hostCanDo(kText)); }, 37, 0, 0,
       kText, 0, -1, 0, 0},
      {"language", [](TestEffect& e) { return e.hostLanguage(); }, 38, 0, 0, nullptr, 0, 1, 1, 0},
      {"open window", [](TestEffect& e) { return asInt(e.hostOpenWindow(&window)); }, 39, 0, 0,
       &window, 0, kPointerAnswer, kPointerAnswer, 0},
      {"close window", [](TestEffect& e) { return asInt(e.hostCloseWindow(&window)); }, 40, 0, 0,
       &window, 0, 1, 1, 0},
      {"directory", [](TestEffect& e) { return asInt(e.hostDirectory()); }, 41, 0, 0, nullptr, 0,
       kPointerAnswer, kPointerAnswer, 0},
      {"update display", [](TestEffect& e) { return asInt(e.hostUpdateDisplay()); }, 42, 0, 0,
       nullptr, 0, 1, 1, 0},
      {"begin edit", [](TestEffect& e) { return asInt(e.hostBeginEdit(82)); }, 43, 82, 0, nullptr,
       0, 1, 1, 0},
      {"end edit", [](TestEffect& e) { return asInt(e.hostEndEdit(82)); }, 44, 82, 0, nullptr, 0, 1,
       1, 0},
      {"open file selector",
       [](TestEffect& e) { return asInt(e.hostOpenFileSelector(&selection)); }, 45, 0, 0,
       &selection, 0, 1, 1, 0},
      {"process events needs exactly 1",
       [](TestEffect& e) { return asInt(e.hostProcessEvents(&events)); }, 8, 0, 0, &events, 0, 2, 0,
       0},
      {"process events", [](TestEffect& e) { return asInt(e.hostProcessEvents(&events)); }, 8, 0, 0,
       &events, 0, 1, 1, 0},
      {"close file selector",
       [](TestEffect& e) { return asInt(e.hostCloseFileSelector(&selection)); }, 46, 0, 0,
       &selection, 0, 1, 1, 0},
      {"chunk file", [](TestEffect& e) { return asInt(e.hostChunkFile(kText)); }, 48, 0, 0, kText,
       0, 1, 1, 0},
  };
}

class HostCallTest : public ::testing::TestWithParam<HostCallCase> {};

TEST_P(HostCallTest, SendsItsOpcodeWithItsArgumentsAndConvertsTheAnswer) {
  const HostCallCase& c = GetParam();
  RecordingHost host;
  TestEffect effect(&RecordingHost::callback);
  host.answers[c.opcode] = c.answer;

  EXPECT_EQ(c.call(effect), c.expected);
  ASSERT_EQ(host.calls.size(), 1u);
  const RecordedCall& sent = host.calls.front();
  EXPECT_EQ(sent.effect, effect.getAEffect());
  EXPECT_EQ(sent.opcode, c.opcode);
  EXPECT_EQ(sent.index, c.index);
  EXPECT_EQ(sent.value, c.value);
  EXPECT_EQ(sent.ptr, c.ptr);
  EXPECT_EQ(sent.opt, c.opt);
}

TEST_P(HostCallTest, AnswersItsNoHostValueWithoutAHost) {
  const HostCallCase& c = GetParam();
  TestEffect effect(nullptr);
  EXPECT_EQ(c.call(effect), c.noHost);
}

INSTANTIATE_TEST_SUITE_P(AllHostCalls, HostCallTest, ::testing::ValuesIn(hostCallCases()),
                         [](const auto& testInfo) {
                           std::string name = testInfo.param.name;
                           for (char& ch : name) {
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           }
                           return name;
                         });

TEST(HostCall, FileSelectorCallsAreNotMadeWithANullRecord) {
  RecordingHost host;
  TestEffect effect(&RecordingHost::callback);
  host.answers[45] = 1;
  host.answers[46] = 1;
  host.answers[48] = 1;
  EXPECT_FALSE(effect.hostOpenFileSelector(nullptr));
  EXPECT_FALSE(effect.hostCloseFileSelector(nullptr));
  EXPECT_FALSE(effect.hostChunkFile(nullptr));
  EXPECT_TRUE(host.calls.empty());
}

TEST(HostCall, SetParameterAndNotifyAppliesThenReportsAutomation) {
  struct Remembering : TestEffect {
    using TestEffect::TestEffect;
    void setParameter(VstInt32 index, float value) override {
      lastIndex = index;
      lastValue = value;
    }
    VstInt32 lastIndex = -1;
    float lastValue = 0.0f;
  };
  RecordingHost host;
  Remembering effect(&RecordingHost::callback);
  effect.setParameterAndNotify(82, 0.7f);
  EXPECT_EQ(effect.lastIndex, 82);
  EXPECT_EQ(effect.lastValue, 0.7f);
  ASSERT_EQ(host.calls.size(), 1u);
  EXPECT_EQ(host.calls[0].opcode, audioMasterAutomate);
  EXPECT_EQ(host.calls[0].index, 82);
  EXPECT_EQ(host.calls[0].opt, 0.7f);
}

}  // namespace
