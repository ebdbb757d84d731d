// Tests of the host library: clean errors for everything that is not a usable plug-in, the
// host sequence and callback answers against a fixture plug-in, and loading the real plug-in.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "overtonic-host/lib/PluginLibrary.h"
#include "tests/hostprog/TestSupport.h"
#include "tests/support/MidiMessage.h"

namespace {

using hostlib::HostCall;
using hostlib::HostOptions;
using hostlib::PluginInstance;
using hostlib::PluginLibrary;
using hostprogtest::TempFolder;
using ::testing::HasSubstr;

namespace fs = std::filesystem;

// Vendor-specific questions understood by the fixture plug-in (FakePlugin.cpp).
enum FakeQuestion : int32_t {
  kEventCount = 0,
  kEventDelta = 1,
  kEventBytes = 2,
  kHostCanDo = 3,
  kProcessLevel = 4,
  kMainsOn = 5,
  kSampleRate = 6,
  kBlockSize = 7,
  kRateAtOpen = 8,
  kInputSilent = 9,
  kHostVendor = 10,
  kAskHost = 11,
};

std::unique_ptr<PluginInstance> load(const std::string& path, const HostOptions& options = {}) {
  auto library = PluginLibrary::open(path);
  EXPECT_TRUE(library.ok()) << library.error();
  if (!library.ok()) return nullptr;
  auto instance = library.value().instantiate(options);
  EXPECT_TRUE(instance.ok()) << instance.error();
  return instance.ok() ? std::move(instance).value() : nullptr;
}

// --- Everything that is not a usable plug-in gives an error naming the file and the reason ---

struct OpenFailure {
  const char* what;
  std::string path;
  const char* reason;
};

TEST(PluginLibraryOpen, RefusesWhatIsNotAPluginWithAMessageNamingTheFile) {
  TempFolder folder;
  const std::vector<OpenFailure> cases = {
      {"missing file", folder.path("absent.so"), "No such file or directory"},
      {"text file named .so", folder.write("text.so", std::string("just some text\n")),
       "not a loadable shared object"},
      {"empty file", folder.write("empty.so", std::string()), "not a loadable shared object"},
      {"folder", folder.root(), "is a folder"},
      {"library without entry point", NO_ENTRY_PATH, "no plug-in entry point"},
  };
  for (const OpenFailure& c : cases) {
    auto result = PluginLibrary::open(c.path);
    ASSERT_FALSE(result.ok()) << c.what;
    EXPECT_THAT(result.error(), HasSubstr(c.path)) << c.what;
    EXPECT_THAT(result.error(), HasSubstr(c.reason)) << c.what;
    EXPECT_EQ(result.error().find('\n'), std::string::npos) << c.what << ": one line expected";
  }
}

TEST(PluginLibraryOpen, EmptyPathIsAnError) {
  auto result = PluginLibrary::open("");
  ASSERT_FALSE(result.ok());
  EXPECT_THAT(result.error(), HasSubstr("no plug-in path"));
}

TEST(PluginLibraryOpen, NameWithoutFolderIsLoadedFromTheCurrentFolder) {
  TempFolder folder;
  fs::copy_file(FAKE_PLUGIN_PATH, folder.path("local.so"));
  const fs::path previous = fs::current_path();
  fs::current_path(folder.root());
  auto library = PluginLibrary::open("local.so");
  fs::current_path(previous);
  ASSERT_TRUE(library.ok()) << library.error();
  EXPECT_EQ(library.value().entryName(), "VSTPluginMain");
}

TEST(PluginLibraryInstantiate, EntryReturningNullIsRefused) {
  auto library = PluginLibrary::open(REFUSING_PLUGIN_PATH);
  ASSERT_TRUE(library.ok()) << library.error();
  auto instance = library.value().instantiate();
  ASSERT_FALSE(instance.ok());
  EXPECT_THAT(instance.error(), HasSubstr("entry refused"));
  EXPECT_THAT(instance.error(), HasSubstr(REFUSING_PLUGIN_PATH));
}

TEST(PluginLibraryInstantiate, RecordWithoutMagicIsRefused) {
  auto library = PluginLibrary::open(BAD_MAGIC_PATH);
  ASSERT_TRUE(library.ok()) << library.error();
  auto instance = library.value().instantiate();
  ASSERT_FALSE(instance.ok());
  EXPECT_THAT(instance.error(), HasSubstr("'VstP' magic"));
}

TEST(PluginLibraryInstantiate, HostTooOldMakesTheFixtureRefuse) {
  HostOptions options;
  options.versionAnswer = 0;
  auto library = PluginLibrary::open(FAKE_PLUGIN_PATH);
  ASSERT_TRUE(library.ok()) << library.error();
  auto instance = library.value().instantiate(options);
  ASSERT_FALSE(instance.ok());
  EXPECT_THAT(instance.error(), HasSubstr("entry refused"));
}

TEST(PluginLibraryInstantiate, FallsBackToTheClassicEntryName) {
  auto library = PluginLibrary::open(FAKE_MAIN_ONLY_PATH);
  ASSERT_TRUE(library.ok()) << library.error();
  EXPECT_EQ(library.value().entryName(), "main");
  auto instance = library.value().instantiate();
  ASSERT_TRUE(instance.ok()) << instance.error();
  EXPECT_EQ(instance.value()->effect()->uniqueID, fourCharCode("HlFx"));
}

// --- The host sequence and callback, against the fixture plug-in ---

TEST(PluginInstance, VersionQuestionDuringTheEntryReachesTheNewInstance) {
  HostOptions options;
  options.versionAnswer = 2300;
  auto fake = load(FAKE_PLUGIN_PATH, options);
  ASSERT_TRUE(fake);
  ASSERT_FALSE(fake->calls().empty());
  const HostCall& first = fake->calls().front();
  EXPECT_EQ(first.opcode, audioMasterVersion);
  EXPECT_TRUE(first.nullEffect);
  EXPECT_EQ(fake->countCalls(audioMasterVersion), 1u);
}

TEST(PluginInstance, InstantiateSendsEffOpenWithTheOptionsSampleRateAnswered) {
  HostOptions options;
  options.sampleRate = 48000;
  auto fake = load(FAKE_PLUGIN_PATH, options);
  ASSERT_TRUE(fake);
  EXPECT_EQ(fake->dispatch(effVendorSpecific, kRateAtOpen), 48000);
  EXPECT_EQ(fake->countCalls(audioMasterGetSampleRate), 1u);
}

TEST(PluginInstance, ReadsTextsByteForByte) {
  auto fake = load(FAKE_PLUGIN_PATH);
  ASSERT_TRUE(fake);
  EXPECT_EQ(fake->effectName(), "Fake Effect");
  EXPECT_EQ(fake->vendor(), "Fixture Vendor");
  EXPECT_EQ(fake->product(), "Fixture Product");
  EXPECT_EQ(fake->vendorVersion(), 42);
  EXPECT_EQ(fake->parameterName(2), " P2 ");
  EXPECT_EQ(fake->parameterLabel(0), "  dB  ");
  EXPECT_EQ(fake->parameterDisplay(1), "  0.50");
  EXPECT_EQ(fake->parameterDisplay(7), "") << "a display the plug-in leaves alone reads empty";
  EXPECT_EQ(fake->programName(), "Fake 0");
  EXPECT_EQ(fake->programNameAt(3), std::optional<std::string>("Fake 3"));
  EXPECT_EQ(fake->programNameAt(4), std::nullopt);
  EXPECT_EQ(fake->canDo("receiveVstMidiEvent"), 1);
  EXPECT_EQ(fake->canDo("receiveVstTimeInfo"), -1);
}

TEST(PluginInstance, ParametersAndProgramsGoThroughTheRecord) {
  auto fake = load(FAKE_PLUGIN_PATH);
  ASSERT_TRUE(fake);
  fake->setParameter(1, 0.125f);
  EXPECT_EQ(fake->getParameter(1), 0.125f);
  EXPECT_EQ(fake->getParameter(99), 0.0f);
  fake->setProgram(2);
  EXPECT_EQ(fake->program(), 2);
  EXPECT_EQ(fake->programName(), "Fake 2");
}

TEST(PluginInstance, StartAnnouncesRateAndBlockThenResumes) {
  auto fake = load(FAKE_PLUGIN_PATH);
  ASSERT_TRUE(fake);
  EXPECT_EQ(fake->dispatch(effVendorSpecific, kMainsOn), 0);
  fake->start(96000, 333);
  EXPECT_TRUE(fake->isStarted());
  EXPECT_EQ(fake->dispatch(effVendorSpecific, kSampleRate), 96000);
  EXPECT_EQ(fake->dispatch(effVendorSpecific, kBlockSize), 333);
  EXPECT_EQ(fake->dispatch(effVendorSpecific, kMainsOn), 1);
  EXPECT_EQ(fake->countCalls(audioMasterWantMidi), 1u);
  fake->stop();
  EXPECT_EQ(fake->dispatch(effVendorSpecific, kMainsOn), 0);
}

struct HostAnswer {
  int32_t opcode;
  intptr_t expected;
};

TEST(PluginInstance, AnswersHostQuestionsSensibly) {
  HostOptions options;
  options.sampleRate = 22050;
  options.blockSize = 64;
  auto fake = load(FAKE_PLUGIN_PATH, options);
  ASSERT_TRUE(fake);
  const std::vector<HostAnswer> cases = {
      {audioMasterVersion, kVstVersion},
      {audioMasterCurrentId, fourCharCode("HlFx")},
      {audioMasterWantMidi, 1},
      {audioMasterGetSampleRate, 22050},
      {audioMasterGetBlockSize, 64},
      {audioMasterGetCurrentProcessLevel, 1},
      {audioMasterGetVendorVersion, hostlib::kHostVendorVersion},
      {audioMasterIdle, 0},
      {audioMasterSizeWindow, 0},
      {audioMasterOpenFileSelector, 0},
      {audioMasterGetVendorString, 0},  // no buffer given: nothing written, not handled
      {999, 0},
  };
  for (const HostAnswer& c : cases) {
    fake->clearCalls();
    EXPECT_EQ(fake->dispatch(effVendorSpecific, kAskHost, c.opcode), c.expected)
        << "host opcode " << c.opcode;
    ASSERT_EQ(fake->calls().size(), 1u) << "host opcode " << c.opcode;
    EXPECT_EQ(fake->calls()[0].opcode, c.opcode);
    EXPECT_FALSE(fake->calls()[0].nullEffect);
  }
}

TEST(PluginInstance, AnswersVendorAndCanDoQuestions) {
  auto fake = load(FAKE_PLUGIN_PATH);
  ASSERT_TRUE(fake);
  fake->clearCalls();
  std::array<char, 256> vendor{};
  EXPECT_EQ(fake->dispatch(effVendorSpecific, kHostVendor, 0, vendor.data()), 1);
  EXPECT_STREQ(vendor.data(), hostlib::kHostVendor);
  char yes[] = "sendVstMidiEvent";
  char no[] = "sizeWindow";
  EXPECT_EQ(fake->dispatch(effVendorSpecific, kHostCanDo, 0, yes), 1);
  EXPECT_EQ(fake->dispatch(effVendorSpecific, kHostCanDo, 0, no), 0)
      << "unsupported answers 0, because plug-ins read any non-zero answer as yes";
  ASSERT_EQ(fake->countCalls(audioMasterCanDo), 2u);
  EXPECT_EQ(fake->calls()[1].text, "sendVstMidiEvent");
  EXPECT_EQ(fake->calls().back().text, "sizeWindow");
}

TEST(PluginInstance, SendEventsDeliversEveryEventWithItsDeltaFrames) {
  auto fake = load(FAKE_PLUGIN_PATH);
  ASSERT_TRUE(fake);
  const std::vector<VstMidiEvent> events = {midi_message::event(0x90, 60, 100, 0),
                                            midi_message::event(0x80, 60, 0, 17),
                                            midi_message::event(0xB3, 126, 5, 511)};
  EXPECT_EQ(fake->sendEvents(events), 1);
  ASSERT_EQ(fake->dispatch(effVendorSpecific, kEventCount), 3);
  const std::array<intptr_t, 3> bytes = {0x90 | 60 << 8 | 100 << 16, 0x80 | 60 << 8,
                                         0xB3 | 126 << 8 | 5 << 16};
  for (int32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(fake->dispatch(effVendorSpecific, kEventDelta, i), events[i].deltaFrames) << i;
    EXPECT_EQ(fake->dispatch(effVendorSpecific, kEventBytes, i), bytes[i]) << i;
  }
  EXPECT_EQ(fake->sendEvents({}), 1);
  EXPECT_EQ(fake->dispatch(effVendorSpecific, kEventCount), 0) << "an empty list is still sent";
}

TEST(PluginInstance, ProcessReplacingFillsTheFirstOutputWithSilentInputsInRealtime) {
  auto fake = load(FAKE_PLUGIN_PATH);
  ASSERT_TRUE(fake);
  fake->start(44100, 8);
  std::vector<float> out(20, 99.0f);  // longer than the announced block
  fake->processReplacing(out.data(), 20);
  for (size_t i = 0; i < out.size(); ++i) EXPECT_EQ(out[i], static_cast<float>(i)) << i;
  EXPECT_EQ(fake->dispatch(effVendorSpecific, kProcessLevel), 2) << "realtime during audio";
  EXPECT_EQ(fake->dispatch(effVendorSpecific, kInputSilent), 1);
}

TEST(PluginInstance, ProcessAddsToWhatTheOutputHolds) {
  auto fake = load(FAKE_PLUGIN_PATH);
  ASSERT_TRUE(fake);
  fake->start(44100, 4);
  std::vector<float> out = {0.5f, 1.5f, 2.5f, 3.5f};
  fake->process(out.data(), 4);
  EXPECT_THAT(out, ::testing::ElementsAre(1.5f, 2.5f, 3.5f, 4.5f));
}

TEST(PluginInstance, CloseReturnsTheResultAndLeavesAHarmlessShell) {
  auto fake = load(FAKE_PLUGIN_PATH);
  ASSERT_TRUE(fake);
  fake->start(44100, 16);
  EXPECT_EQ(fake->close(), 1);
  EXPECT_FALSE(fake->isOpen());
  EXPECT_EQ(fake->effect(), nullptr);
  EXPECT_EQ(fake->close(), 0);
  EXPECT_EQ(fake->dispatch(effGetVendorVersion), 0);
  EXPECT_EQ(fake->effectName(), "");
  EXPECT_EQ(fake->getParameter(0), 0.0f);
  std::vector<float> out(4, 7.0f);
  fake->processReplacing(out.data(), 4);
  EXPECT_THAT(out, ::testing::Each(7.0f)) << "a closed instance renders nothing";
}

TEST(PluginInstance, RawEffCloseAlsoForgetsTheRecord) {
  auto fake = load(FAKE_PLUGIN_PATH);
  ASSERT_TRUE(fake);
  EXPECT_EQ(fake->dispatch(effClose), 1);
  EXPECT_FALSE(fake->isOpen());
}

TEST(PluginInstance, SeveralInstancesKeepTheirOwnCalls) {
  HostOptions first;
  first.sampleRate = 32000;
  HostOptions second;
  second.sampleRate = 88200;
  auto a = load(FAKE_PLUGIN_PATH, first);
  auto b = load(FAKE_PLUGIN_PATH, second);
  ASSERT_TRUE(a && b);
  EXPECT_NE(a->effect(), b->effect());
  EXPECT_EQ(a->dispatch(effVendorSpecific, kRateAtOpen), 32000);
  EXPECT_EQ(b->dispatch(effVendorSpecific, kRateAtOpen), 88200);
  a->start(32000, 32);
  EXPECT_EQ(a->countCalls(audioMasterWantMidi), 1u);
  EXPECT_EQ(b->countCalls(audioMasterWantMidi), 0u);
  a->setParameter(0, 0.9f);
  EXPECT_EQ(b->getParameter(0), 0.25f);
}

TEST(PluginInstance, InstanceOutlivesItsLibraryObject) {
  std::unique_ptr<PluginInstance> fake;
  {
    auto library = PluginLibrary::open(FAKE_PLUGIN_PATH);
    ASSERT_TRUE(library.ok()) << library.error();
    auto instance = library.value().instantiate();
    ASSERT_TRUE(instance.ok()) << instance.error();
    fake = std::move(instance).value();
  }
  EXPECT_EQ(fake->effectName(), "Fake Effect");
  EXPECT_EQ(fake->close(), 1);
}

// --- The real plug-in ---

TEST(RealPlugin, LoadsThroughItsCurrentEntryName) {
  auto library = PluginLibrary::open(OVERTONIC_PLUGIN_PATH);
  ASSERT_TRUE(library.ok()) << library.error();
  EXPECT_EQ(library.value().entryName(), "VSTPluginMain");
}

TEST(RealPlugin, InstantiatesAfterAskingTheVersionWithoutAnEffect) {
  auto synth = load(OVERTONIC_PLUGIN_PATH);
  ASSERT_TRUE(synth);
  ASSERT_FALSE(synth->calls().empty());
  EXPECT_EQ(synth->calls().front().opcode, audioMasterVersion);
  EXPECT_TRUE(synth->calls().front().nullEffect);
  const AEffect* record = synth->effect();
  EXPECT_EQ(record->magic, kEffectMagic);
  EXPECT_EQ(record->uniqueID, fourCharCode("QNTR"));
  EXPECT_EQ(record->numParams, 237);
  EXPECT_EQ(record->numPrograms, 32);
  EXPECT_EQ(synth->effectName(), "Tallowmere Overtonic");
  EXPECT_EQ(synth->parameterName(0), " Main Volume ");
  EXPECT_EQ(synth->programNameAt(31), std::optional<std::string>("Basic"));
  EXPECT_EQ(synth->programNameAt(32), std::nullopt);
}

TEST(RealPlugin, ResumeAsksForMidiAndCloseAnswersOne) {
  auto synth = load(OVERTONIC_PLUGIN_PATH);
  ASSERT_TRUE(synth);
  synth->clearCalls();
  synth->start(48000, 256);
  ASSERT_EQ(synth->countCalls(audioMasterWantMidi), 1u);
  EXPECT_EQ(synth->calls().back().value, 1);
  std::vector<float> block(256, 5.0f);
  synth->processReplacing(block.data(), 256);
  EXPECT_THAT(block, ::testing::Each(0.0f)) << "no note: the replacing entry writes silence";
  EXPECT_EQ(synth->close(), 1);
  EXPECT_FALSE(synth->isOpen());
}

TEST(RealPlugin, TwoInstancesKeepTheirOwnState) {
  auto first = load(OVERTONIC_PLUGIN_PATH);
  auto second = load(OVERTONIC_PLUGIN_PATH);
  ASSERT_TRUE(first && second);
  first->setParameter(82, 0.7f);
  EXPECT_NEAR(first->getParameter(82), 0.7f, 1e-6f);
  EXPECT_EQ(second->getParameter(82), 0.0f);
}

}  // namespace
