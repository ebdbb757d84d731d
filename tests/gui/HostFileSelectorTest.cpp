// The host's file selector end to end: a plug-in built with the toolkit (fixtures/SelectorPlugin)
// loaded through our host library, which answers the two capability questions and fills the
// file-select record as a host with a selector of its own does; and the same plug-in under a host
// without one, where the desktop's dialog (a stand-in zenity) serves instead.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "overtonic-host/lib/PluginLibrary.h"
#include "tests/gui/fixtures/SelectorPluginCalls.h"
#include "tests/support/DialogStandIns.h"
#include "tests/support/PluginFixture.h"

namespace {

using hostlib::HostCall;

hostlib::PluginLibrary& selectorPlugin() {
  static hostlib::PluginLibrary loaded = openPluginOrAbort(SELECTOR_PLUGIN_PATH);
  return loaded;
}

struct Record {
  explicit Record(VstInt32 command, bool withBuffer = true) {
    selection.command = command;
    std::snprintf(selection.title, sizeof selection.title, "%s", "Pick presets");
    std::snprintf(type.name, sizeof type.name, "%s", "Program");
    std::snprintf(type.dosType, sizeof type.dosType, "%s", "fxp");
    selection.fileTypes = &type;
    selection.nbFileTypes = 1;
    if (withBuffer) {
      selection.returnPath = buffer;
      selection.sizeReturnPath = sizeof buffer;
    }
  }
  VstFileSelect selection{};
  VstFileType type{};
  char buffer[128] = "untouched";
};

class HostFileSelector : public ::testing::Test {
 protected:
  // An instance whose host answers with `paths` (nullopt: the user cancelled); without a
  // selector, a host that offers none.
  void load(std::optional<hostlib::HostFileSelector> selector) {
    hostlib::HostOptions options;
    if (selector) options.fileSelector = *selector;
    auto made = selectorPlugin().instantiate(options);
    ASSERT_TRUE(made.ok()) << made.error();
    plugin = std::move(made).value();
  }
  hostlib::HostFileSelector answering(std::optional<std::vector<std::string>> paths) {
    return [this, paths](const VstFileSelect& selection) {
      seenTitles.emplace_back(selection.title);
      return paths;
    };
  }
  intptr_t call(SelectorPluginCall what, VstFileSelect* record = nullptr) {
    return plugin->dispatch(effVendorSpecific, what, 0, record);
  }
  std::vector<HostCall> callsOf(std::int32_t opcode) const {
    std::vector<HostCall> found;
    for (const HostCall& c : plugin->calls()) {
      if (c.opcode == opcode) found.push_back(c);
    }
    return found;
  }
  bool asked(const std::string& question) const {
    const std::vector<HostCall> all = plugin->calls();
    return std::any_of(all.begin(), all.end(), [&](const HostCall& c) {
      return c.opcode == audioMasterCanDo && c.text == question;
    });
  }

  std::unique_ptr<hostlib::PluginInstance> plugin;
  std::vector<std::string> seenTitles;
};

TEST_F(HostFileSelector, AHostOfferingItsSelectorIsAskedAndFillsTheCallersBuffer) {
  load(answering(std::vector<std::string>{"/host/presets/lead.fxp"}));
  Record r(kVstFileLoad);
  EXPECT_EQ(call(kSelectorRun, &r.selection), 1);
  EXPECT_STREQ(r.buffer, "/host/presets/lead.fxp");
  EXPECT_TRUE(asked("openFileSelector"));
  EXPECT_TRUE(asked("closeFileSelector"));
  ASSERT_EQ(callsOf(audioMasterOpenFileSelector).size(), 1u);
  EXPECT_EQ(callsOf(audioMasterOpenFileSelector)[0].ptr, &r.selection);
  EXPECT_EQ(seenTitles, (std::vector<std::string>{"Pick presets"}));
  EXPECT_TRUE(callsOf(audioMasterCloseFileSelector).empty()) << "not before the release";
  EXPECT_EQ(call(kSelectorRelease), 1);
  ASSERT_EQ(callsOf(audioMasterCloseFileSelector).size(), 1u);
  EXPECT_EQ(callsOf(audioMasterCloseFileSelector)[0].ptr, &r.selection)
      << "the same record goes back to the host";
}

TEST_F(HostFileSelector, WithoutACallerBufferThePathLivesInTheHostsMemoryUntilRelease) {
  load(answering(std::vector<std::string>{"/host/new.fxp"}));
  Record r(kVstFileSave, false);
  EXPECT_EQ(call(kSelectorRun, &r.selection), 1);
  ASSERT_NE(r.selection.returnPath, nullptr);
  EXPECT_STREQ(r.selection.returnPath, "/host/new.fxp");
  EXPECT_EQ(r.selection.reserved, 0) << "the host's buffer is not marked as the selector's";
  call(kSelectorRelease);
  EXPECT_EQ(r.selection.returnPath, nullptr) << "the host took its buffer back";
}

TEST_F(HostFileSelector, SeveralPathsArriveInTheHostsArray) {
  load(answering(std::vector<std::string>{"/host/a.fxp", "/host/b.fxp", "/host/c.fxp"}));
  Record r(kVstMultipleFilesLoad);
  EXPECT_EQ(call(kSelectorRun, &r.selection), 3);
  ASSERT_NE(r.selection.returnMultiplePaths, nullptr);
  EXPECT_STREQ(r.selection.returnMultiplePaths[2], "/host/c.fxp");
  call(kSelectorRelease);
  EXPECT_EQ(r.selection.returnMultiplePaths, nullptr);
}

TEST_F(HostFileSelector, ACancelledOrRefusedHostSelectionYieldsNothingAndIsNotHandedBack) {
  load(answering(std::nullopt));
  Record cancelled(kVstFileLoad);
  EXPECT_EQ(call(kSelectorRun, &cancelled.selection), 0);
  EXPECT_STREQ(cancelled.buffer, "") << "the caller's buffer was emptied first";

  Record tooSmall(kVstFileLoad);
  tooSmall.selection.sizeReturnPath = 8;
  plugin.reset();
  load(answering(std::vector<std::string>{"/host/far/too/long.fxp"}));
  EXPECT_EQ(call(kSelectorRun, &tooSmall.selection), 0);
  call(kSelectorRelease);
  EXPECT_TRUE(callsOf(audioMasterCloseFileSelector).empty());
}

TEST_F(HostFileSelector, AStartedHostSelectionCompletesAtTheEditorsIdle) {
  load(answering(std::vector<std::string>{"/host/a.fxp"}));
  Record r(kVstFileLoad);
  EXPECT_EQ(call(kSelectorStart, &r.selection), 1);
  EXPECT_EQ(call(kSelectorResult), -1) << "completes at the next idle, not inside start";
  plugin->dispatch(effEditIdle);
  EXPECT_EQ(call(kSelectorResult), 1);
  EXPECT_STREQ(r.buffer, "/host/a.fxp");
}

TEST_F(HostFileSelector, AHostWithoutASelectorLeavesItToTheDesktopsDialog) {
  standins::StandInTools tools{"zenity"};
  tools.reply("/desktop/chosen.fxp\n");
  load(std::nullopt);
  Record r(kVstFileLoad);
  EXPECT_EQ(call(kSelectorRun, &r.selection), 1);
  EXPECT_STREQ(r.buffer, "/desktop/chosen.fxp");
  EXPECT_TRUE(asked("openFileSelector"));
  EXPECT_TRUE(callsOf(audioMasterOpenFileSelector).empty());
  ASSERT_EQ(tools.runs().size(), 1u);
  EXPECT_TRUE(tools.runs()[0].has("--title=Pick presets"));
  call(kSelectorRelease);
  EXPECT_TRUE(callsOf(audioMasterCloseFileSelector).empty());
}

}  // namespace
