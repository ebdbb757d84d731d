// GuiFileSelector with stand-in dialog tools first on PATH (tests/gui/standins): what the tools
// are asked, how their answers reach the record (the caller's buffer, a buffer of the selector's,
// the array of several paths), every way a tool can fail, zenity before kdialog and nothing
// without either, the type list, the started selection completed from the editor's idle, the
// run that keeps the editor and host going, and the host's own selector answering in-process.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstring>
#include <optional>
#include <thread>

#include "gui/GuiFileSelector.h"
#include "gui/platform/FileDialog.h"
#include "tests/gui/FrameTestSupport.h"
#include "tests/support/DialogStandIns.h"

namespace {

using standins::processGone;
using standins::StandInTools;

// A record as a plug-in fills it, with a result buffer of its own and guard bytes behind it.
struct Selection {
  explicit Selection(VstInt32 command, VstInt32 bufferSize = 256) {
    record.command = command;
    std::snprintf(record.title, sizeof record.title, "%s", "Load a program");
    record.initialPath = folder.data();
    std::snprintf(types[0].name, sizeof types[0].name, "%s", "Program");
    std::snprintf(types[0].dosType, sizeof types[0].dosType, "%s", "fxp");
    std::snprintf(types[1].name, sizeof types[1].name, "%s", "Bank");
    std::snprintf(types[1].dosType, sizeof types[1].dosType, "%s", "fxb");
    record.fileTypes = types.data();
    record.nbFileTypes = 2;
    storage.fill('G');
    storage[0] = 'x';
    if (bufferSize > 0) {
      record.returnPath = storage.data();
      record.sizeReturnPath = bufferSize;
    }
  }
  // The bytes behind the caller's buffer are untouched.
  bool guardIntact(VstInt32 bufferSize) const {
    for (std::size_t i = static_cast<std::size_t>(bufferSize); i < storage.size(); ++i) {
      if (storage[i] != 'G') return false;
    }
    return true;
  }

  VstFileSelect record{};
  std::array<VstFileType, 2> types{};
  std::array<char, 512> storage{};
  std::string folder = "/tmp";
};

// Pumps `step` every 5 ms until `done`, for at most five seconds.
bool pumpUntil(const std::function<void()>& step, const std::function<bool()>& done) {
  for (int i = 0; i < 1000; ++i) {
    step();
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

TEST(FileSelector, OneFileArrivesInTheCallersBuffer) {
  StandInTools tools{"zenity", "kdialog"};
  tools.reply("/tmp/my presets/a b.fxp\n");
  Selection s(kVstFileLoad);
  GuiFileSelector selector(nullptr);
  EXPECT_EQ(selector.run(&s.record), 1);
  EXPECT_STREQ(s.record.returnPath, "/tmp/my presets/a b.fxp");
  EXPECT_EQ(s.record.nbReturnPath, 1);
  EXPECT_EQ(s.record.reserved, 0) << "the caller's buffer is not the selector's";
  EXPECT_EQ(selector.dialogTool(), "zenity");
  const std::vector<standins::Run> runs = tools.runs();
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].tool, "zenity");
  EXPECT_TRUE(runs[0].has("--file-selection"));
  EXPECT_TRUE(runs[0].has("--title=Load a program"));
  EXPECT_TRUE(runs[0].has("--filename=/tmp/"));
  EXPECT_TRUE(runs[0].has("--file-filter=All Types: (*.fxp;*.fxb) | *.fxp *.FXP *.fxb *.FXB"));
  EXPECT_TRUE(runs[0].has("--file-filter=Program (.fxp) | *.fxp *.FXP"));
  EXPECT_TRUE(runs[0].has("--file-filter=Any Type (*.*) | *"));
  EXPECT_TRUE(processGone(runs[0].pid)) << "the tool was reaped";
}

TEST(FileSelector, APathLongerThanTheCallersBufferIsRefusedWithoutWritingPastIt) {
  StandInTools tools{"zenity"};
  const std::string longPath = "/tmp/" + std::string(40, 'p') + ".fxp";
  tools.reply(longPath + "\n");
  Selection s(kVstFileLoad, 16);
  GuiFileSelector selector(nullptr);
  EXPECT_EQ(selector.run(&s.record), 0);
  EXPECT_EQ(s.record.nbReturnPath, 0);
  EXPECT_EQ(s.record.returnPath[0], '\0') << "the caller's buffer is emptied, not filled";
  EXPECT_TRUE(s.guardIntact(16)) << "nothing written past sizeReturnPath";

  tools.reply("/tmp/exact.fxp\n");  // 14 bytes and the zero fill 15 exactly
  Selection fits(kVstFileLoad, 15);
  EXPECT_EQ(selector.run(&fits.record), 1);
  EXPECT_STREQ(fits.record.returnPath, "/tmp/exact.fxp");
  EXPECT_TRUE(fits.guardIntact(15));
}

TEST(FileSelector, WithoutACallerBufferTheSelectorAllocatesMarksAndFreesThePath) {
  StandInTools tools{"zenity"};
  tools.reply("/tmp/new.fxp\n");
  Selection s(kVstFileSave, 0);
  {
    GuiFileSelector selector(nullptr);
    EXPECT_EQ(selector.run(&s.record), 1);
    ASSERT_NE(s.record.returnPath, nullptr);
    EXPECT_STREQ(s.record.returnPath, "/tmp/new.fxp");
    EXPECT_EQ(s.record.reserved, 1) << "marked as the selector's";
    ASSERT_EQ(tools.runs().size(), 1u);
    EXPECT_TRUE(tools.runs()[0].has("--save"));
    EXPECT_TRUE(tools.runs()[0].has("--confirm-overwrite"));
  }
  EXPECT_EQ(s.record.returnPath, nullptr) << "freed with the selector and taken out of the record";
  EXPECT_EQ(s.record.reserved, 0);
}

TEST(FileSelector, SeveralFilesArriveAsAnArrayOfTheirOwn) {
  StandInTools tools{"zenity"};
  tools.reply("/tmp/a.fxp\n/tmp/b c.fxp\n\nrelative.fxp\n/tmp/d.fxb\n");
  Selection s(kVstMultipleFilesLoad);
  {
    GuiFileSelector selector(nullptr);
    ASSERT_EQ(selector.run(&s.record), 3);
    EXPECT_EQ(s.record.nbReturnPath, 3);
    ASSERT_NE(s.record.returnMultiplePaths, nullptr);
    EXPECT_STREQ(s.record.returnMultiplePaths[0], "/tmp/a.fxp");
    EXPECT_STREQ(s.record.returnMultiplePaths[1], "/tmp/b c.fxp");
    EXPECT_STREQ(s.record.returnMultiplePaths[2], "/tmp/d.fxb");
    EXPECT_EQ(s.record.returnPath[0], '\0') << "the single-path buffer stays empty";
    EXPECT_TRUE(tools.runs()[0].has("--multiple"));
    EXPECT_TRUE(tools.runs()[0].has("--separator=\n"));
  }
  EXPECT_EQ(s.record.returnMultiplePaths, nullptr);
  EXPECT_EQ(s.record.nbReturnPath, 0);
}

TEST(FileSelector, ChoosingAFolderShowsNoTypeList) {
  StandInTools tools{"zenity"};
  tools.reply("/tmp/presets\n");
  Selection s(kVstDirectorySelect);
  GuiFileSelector selector(nullptr);
  EXPECT_EQ(selector.run(&s.record), 1);
  EXPECT_STREQ(s.record.returnPath, "/tmp/presets");
  const standins::Run run = tools.runs().at(0);
  EXPECT_TRUE(run.has("--directory"));
  for (const std::string& word : run.args) EXPECT_NE(word.rfind("--file-filter", 0), 0u) << word;
}

struct FailureCase {
  const char* what;
  const char* mode;
  const char* output;
  int status;
};

TEST(FileSelector, EveryFailingToolYieldsNothingAndLeavesNoProcess) {
  const std::vector<FailureCase> cases = {
      {"cancelled", "reply", "", 1},        {"error with output", "reply", "/tmp/a.fxp\n", 255},
      {"prints nothing", "reply", "", 0},   {"prints a relative name", "reply", "a.fxp\n", 0},
      {"killed", "die", "/tmp/a.fxp\n", 0},
  };
  for (const FailureCase& c : cases) {
    StandInTools tools{"zenity", "kdialog"};
    tools.reply(c.output, c.status);
    tools.mode(c.mode);
    Selection s(kVstFileLoad);
    GuiFileSelector selector(nullptr);
    EXPECT_EQ(selector.run(&s.record), 0) << c.what;
    EXPECT_EQ(s.record.nbReturnPath, 0) << c.what;
    EXPECT_EQ(s.record.returnPath[0], '\0') << c.what;
    const std::vector<standins::Run> runs = tools.runs();
    ASSERT_EQ(runs.size(), 1u) << c.what << ": kdialog is not tried after zenity failed";
    EXPECT_TRUE(processGone(runs[0].pid)) << c.what << ": no zombie";
  }
}

TEST(FileSelector, KdialogServesWhenZenityIsMissing) {
  StandInTools tools{"kdialog"};
  tools.reply("/tmp/a.fxp\n");
  Selection s(kVstFileLoad);
  GuiFileSelector selector(nullptr);
  EXPECT_EQ(selector.run(&s.record), 1);
  EXPECT_STREQ(s.record.returnPath, "/tmp/a.fxp");
  EXPECT_EQ(selector.dialogTool(), "kdialog");
  const standins::Run run = tools.runs().at(0);
  EXPECT_EQ(run.tool, "kdialog");
  EXPECT_EQ(run.after("--title"), "Load a program");
  EXPECT_EQ(run.after("--getopenfilename"), "/tmp");
}

TEST(FileSelector, WithNeitherToolNothingIsChosen) {
  StandInTools tools{};
  Selection s(kVstFileLoad);
  GuiFileSelector selector(nullptr);
  EXPECT_EQ(selector.run(&s.record), 0);
  EXPECT_EQ(s.record.returnPath[0], '\0');
  EXPECT_FALSE(selector.start(&s.record, [](std::int32_t) { FAIL() << "nothing began"; }));
  EXPECT_TRUE(selector.dialogTool().empty());
}

TEST(FileSelector, ARelativeStartingFolderIsNotPassedOn) {
  StandInTools tools{"zenity"};
  tools.reply("/tmp/a.fxp\n");
  Selection s(kVstFileLoad);
  s.folder = "--help";
  s.record.initialPath = s.folder.data();
  GuiFileSelector selector(nullptr);
  EXPECT_EQ(selector.run(&s.record), 1);
  const standins::Run run = tools.runs().at(0);
  for (const std::string& word : run.args) {
    EXPECT_NE(word.rfind("--filename", 0), 0u) << word;
    EXPECT_NE(word, "--help");
  }
}

// ---- the type list ----------------------------------------------------------------------------

std::vector<std::string> labels(const std::vector<FileFilter>& filters) {
  std::vector<std::string> result;
  for (const FileFilter& filter : filters) result.push_back(filter.label);
  return result;
}

TEST(FileSelectorTypes, TheTypeListFollowsTheRecordsTypes) {
  using Labels = std::vector<std::string>;
  Selection s(kVstFileLoad);
  EXPECT_EQ(
      labels(GuiFileSelector::filtersFor(s.record)),
      (Labels{"All Types: (*.fxp;*.fxb)", "Program (.fxp)", "Bank (.fxb)", "Any Type (*.*)"}));
  EXPECT_EQ(GuiFileSelector::filtersFor(s.record)[1].patterns,
            (std::vector<std::string>{"*.fxp", "*.FXP"}));

  s.record.nbFileTypes = 1;
  EXPECT_EQ(labels(GuiFileSelector::filtersFor(s.record)),
            (Labels{"Program (.fxp)", "Any Type (*.*)"}));

  std::snprintf(s.types[0].dosType, sizeof s.types[0].dosType, "%s", ".WAV");
  std::snprintf(s.types[1].dosType, sizeof s.types[1].dosType, "%s", "f p");
  s.record.nbFileTypes = 2;
  EXPECT_EQ(labels(GuiFileSelector::filtersFor(s.record)),
            (Labels{"Program (.WAV)", "Any Type (*.*)"}))
      << "a leading dot is dropped, an extension that is no name pattern is skipped";
  EXPECT_EQ(GuiFileSelector::filtersFor(s.record)[0].patterns,
            (std::vector<std::string>{"*.WAV", "*.wav"}));

  std::memset(s.types[0].dosType, 'x', sizeof s.types[0].dosType);  // no terminating zero
  EXPECT_EQ(GuiFileSelector::filtersFor(s.record)[0].label, "Program (.xxxxxxxx)");

  s.record.nbFileTypes = -4;
  EXPECT_EQ(labels(GuiFileSelector::filtersFor(s.record)), (Labels{"Any Type (*.*)"}));
  s.record.nbFileTypes = 2;
  s.record.fileTypes = nullptr;
  EXPECT_EQ(labels(GuiFileSelector::filtersFor(s.record)), (Labels{"Any Type (*.*)"}));
  s.record.command = kVstDirectorySelect;
  EXPECT_TRUE(GuiFileSelector::filtersFor(s.record).empty());
}

// ---- beside the editor ------------------------------------------------------------------------

class SelectorWithEditor : public ::testing::Test {
 protected:
  void SetUp() override {
    editor = new CountingEditor(&effect, backend);
    editor->open(reinterpret_cast<void*>(std::uintptr_t{0x1234}));
    window = backend.lastWindow();
    ASSERT_NE(window, nullptr);
    view = new ProbeView({10, 10, 30, 30});
    editor->getFrame()->addView(view);
    window->postPaint();
    editor->idle();
    ASSERT_FALSE(editor->getFrame()->isFirstDrawPending());
  }
  void idleUntil(const std::function<bool()>& done) {
    ASSERT_TRUE(pumpUntil([&] { editor->idle(); }, done)) << "timed out";
  }

  HeadlessFrameBackend backend;
  RecordingEffect effect;  // owns the editor
  CountingEditor* editor = nullptr;
  HeadlessFrameWindow* window = nullptr;
  ProbeView* view = nullptr;
};

TEST_F(SelectorWithEditor, AStartedSelectionCompletesFromTheEditorsIdle) {
  StandInTools tools{"zenity"};
  tools.reply("/tmp/a.fxp\n");
  tools.mode("slow");
  Selection s(kVstFileLoad);
  GuiFileSelector selector(&effect);
  int completions = 0;
  std::int32_t count = -1;
  ASSERT_TRUE(selector.start(&s.record, [&](std::int32_t n) {
    ++completions;
    count = n;
  }));
  EXPECT_TRUE(selector.isRunning());
  EXPECT_EQ(s.record.returnPath[0], '\0') << "start returns before the dialog closes";
  idleUntil([&] { return completions > 0; });
  EXPECT_EQ(count, 1);
  EXPECT_STREQ(s.record.returnPath, "/tmp/a.fxp");
  EXPECT_FALSE(selector.isRunning());
  for (int i = 0; i < 5; ++i) editor->idle();
  EXPECT_EQ(completions, 1) << "completed once";
}

TEST_F(SelectorWithEditor, ACompletionMayReleaseItsOwnSelector) {
  StandInTools tools{"zenity"};
  tools.reply("/tmp/a.fxp\n");
  Selection s(kVstFileLoad, 0);
  auto* selector = new GuiFileSelector(&effect);
  std::string seen;
  ASSERT_TRUE(selector->start(&s.record, [&](std::int32_t) {
    seen = s.record.returnPath ? s.record.returnPath : "";
    delete selector;
  }));
  idleUntil([&] { return !seen.empty(); });
  EXPECT_EQ(seen, "/tmp/a.fxp");
  EXPECT_EQ(s.record.returnPath, nullptr) << "freed by the release inside the completion";
}

TEST_F(SelectorWithEditor, CancellingAnOpenDialogEndsTheToolAndCompletesWithNothing) {
  StandInTools tools{"zenity"};
  tools.mode("hang");
  Selection s(kVstFileLoad);
  GuiFileSelector selector(&effect);
  std::int32_t count = -1;
  ASSERT_TRUE(selector.start(&s.record, [&](std::int32_t n) { count = n; }));
  idleUntil([&] { return !tools.runs().empty(); });
  selector.cancel();
  editor->idle();
  EXPECT_EQ(count, 0);
  EXPECT_TRUE(processGone(tools.runs()[0].pid));
}

TEST_F(SelectorWithEditor, ReleasingASelectorWithAnOpenDialogEndsTheTool) {
  StandInTools tools{"zenity"};
  tools.mode("hang");
  Selection s(kVstFileLoad);
  bool completed = false;
  {
    GuiFileSelector selector(&effect);
    ASSERT_TRUE(selector.start(&s.record, [&](std::int32_t) { completed = true; }));
    idleUntil([&] { return !tools.runs().empty(); });
  }
  editor->idle();
  EXPECT_FALSE(completed) << "a released selector calls nobody";
  EXPECT_TRUE(processGone(tools.runs()[0].pid));
}

TEST_F(SelectorWithEditor, RunKeepsThePanelDrawingAndTheHostIdlingWhileTheDialogIsOpen) {
  StandInTools tools{"zenity"};
  tools.reply("/tmp/a.fxp\n");
  tools.mode("slow");
  Selection s(kVstFileLoad);
  GuiFileSelector selector(&effect);
  int drawsDuringDialog = -1;
  effect.duringIdle = [&] {
    if (drawsDuringDialog < 0) {
      drawsDuringDialog = view->draws;
      view->setDirty(true);  // something changed while the dialog is open
    }
  };
  const int drawsBefore = view->draws;
  EXPECT_EQ(selector.run(&s.record), 1);
  EXPECT_GE(effect.count(audioMasterIdle), 2) << "the host got its idle call while waiting";
  ASSERT_GE(drawsDuringDialog, drawsBefore);
  EXPECT_GT(view->draws, drawsDuringDialog) << "the dirty view was drawn before the dialog closed";
}

TEST_F(SelectorWithEditor, RunEndsAndClosesTheToolWhenTheHostDestroysTheWindow) {
  StandInTools tools{"zenity"};
  tools.mode("hang");
  Selection s(kVstFileLoad);
  GuiFileSelector selector(&effect);
  effect.duringIdle = [&] {
    if (!tools.runs().empty() && window->pendingEvents() == 0) window->postDestroyed();
  };
  EXPECT_EQ(selector.run(&s.record), 0);
  ASSERT_EQ(tools.runs().size(), 1u);
  EXPECT_TRUE(processGone(tools.runs()[0].pid));
}

TEST_F(SelectorWithEditor, ASecondRunWhileADialogIsOpenReturnsNothingAtOnce) {
  StandInTools tools{"zenity"};
  tools.reply("/tmp/a.fxp\n");
  tools.mode("slow");
  Selection outer(kVstFileLoad);
  Selection inner(kVstFileLoad);
  GuiFileSelector first(&effect);
  GuiFileSelector second(&effect);
  std::int32_t innerCount = -1;
  effect.duringIdle = [&] {
    if (innerCount < 0) innerCount = second.run(&inner.record);
  };
  EXPECT_EQ(first.run(&outer.record), 1);
  EXPECT_EQ(innerCount, 0);
  EXPECT_EQ(tools.runs().size(), 1u) << "only one dialog was opened";
}

// ---- the host's own selector, answered in-process ----------------------------------------------

// A plug-in shell whose host offers its own file selector: it answers the two capability
// questions as told and fills the record with `paths` (allocating for several, into the
// caller's buffer for one).
class SelectingHostEffect : public EffectBaseX {
 public:
  SelectingHostEffect() : EffectBaseX(&SelectingHostEffect::hostCallback, 1, 1) {
    current() = this;
  }
  ~SelectingHostEffect() override { current() = nullptr; }
  void process(float**, float**, VstInt32) override {}

  bool offersOpen = true;
  bool offersClose = true;
  bool succeeds = true;
  std::optional<VstInt32> reportedCount;  // what the host puts into nbReturnPath, if not the count
  bool fillsArray = true;                 // several paths: the host sets returnMultiplePaths
  std::vector<std::string> paths{"/host/chosen.fxp"};
  std::vector<const VstFileSelect*> opened;
  std::vector<const VstFileSelect*> closed;

 private:
  static SelectingHostEffect*& current() {
    static SelectingHostEffect* instance = nullptr;
    return instance;
  }
  static VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
    SelectingHostEffect* self = current();
    if (opcode == audioMasterVersion) return 2400;
    if (!self) return 0;
    if (opcode == audioMasterCanDo) {
      const std::string question = static_cast<const char*>(ptr);
      if (question == "openFileSelector") return self->offersOpen ? 1 : -1;
      if (question == "closeFileSelector") return self->offersClose ? 1 : -1;
      return 0;
    }
    if (opcode == audioMasterOpenFileSelector) return self->open(static_cast<VstFileSelect*>(ptr));
    if (opcode == audioMasterCloseFileSelector) {
      self->closed.push_back(static_cast<VstFileSelect*>(ptr));
      return 1;
    }
    return 0;
  }
  VstIntPtr open(VstFileSelect* selection) {
    opened.push_back(selection);
    if (!succeeds) return 0;
    const auto count = static_cast<VstInt32>(paths.size());
    if (selection->command == kVstMultipleFilesLoad) {
      pointers.clear();
      for (std::string& path : paths) pointers.push_back(path.data());
      selection->returnMultiplePaths = fillsArray ? pointers.data() : nullptr;
    } else {
      std::snprintf(selection->returnPath, static_cast<std::size_t>(selection->sizeReturnPath),
                    "%s", paths.front().c_str());
    }
    selection->nbReturnPath = reportedCount.value_or(count);
    return 1;
  }
  std::vector<char*> pointers;
};

TEST(FileSelectorOnHost, TheHostsSelectorRunsWhenItAnswersYesToBothQuestions) {
  StandInTools tools{"zenity"};
  SelectingHostEffect host;
  Selection s(kVstFileLoad);
  {
    GuiFileSelector selector(&host);
    EXPECT_EQ(selector.run(&s.record), 1);
    EXPECT_TRUE(selector.ranOnHost());
    EXPECT_STREQ(s.record.returnPath, "/host/chosen.fxp");
    ASSERT_EQ(host.opened.size(), 1u);
    EXPECT_EQ(host.opened[0], &s.record);
    EXPECT_TRUE(host.closed.empty()) << "the host gets the record back only at release";
  }
  ASSERT_EQ(host.closed.size(), 1u);
  EXPECT_EQ(host.closed[0], &s.record);
  EXPECT_TRUE(tools.runs().empty()) << "no dialog tool was started";
}

TEST(FileSelectorOnHost, AHostAnsweringOnlyOneQuestionIsNotAskedToSelect) {
  for (const bool offersOpen : {true, false}) {
    StandInTools tools{"zenity"};
    tools.reply("/tmp/desktop.fxp\n");
    SelectingHostEffect host;
    host.offersOpen = offersOpen;
    host.offersClose = !offersOpen;
    Selection s(kVstFileLoad);
    GuiFileSelector selector(&host);
    EXPECT_EQ(selector.run(&s.record), 1);
    EXPECT_STREQ(s.record.returnPath, "/tmp/desktop.fxp");
    EXPECT_TRUE(host.opened.empty());
    EXPECT_EQ(tools.runs().size(), 1u);
  }
}

TEST(FileSelectorOnHost, AFailedHostSelectionYieldsNothingAndIsNotClosed) {
  SelectingHostEffect host;
  host.succeeds = false;
  Selection s(kVstFileLoad);
  {
    GuiFileSelector selector(&host);
    EXPECT_EQ(selector.run(&s.record), 0);
    EXPECT_FALSE(selector.ranOnHost());
  }
  EXPECT_EQ(host.opened.size(), 1u);
  EXPECT_TRUE(host.closed.empty());
}

TEST(FileSelectorOnHost, CountsAHostReportsAreKeptWithinWhatTheRecordHolds) {
  struct CountCase {
    const char* what;
    VstInt32 command;
    VstInt32 reported;
    bool fillsArray;
    std::int32_t expected;
  };
  const std::vector<CountCase> cases = {
      {"five results for one file", kVstFileLoad, 5, true, 1},
      {"a negative count", kVstFileLoad, -3, true, 0},
      {"several without an array", kVstMultipleFilesLoad, 2, false, 0},
      {"several with their array", kVstMultipleFilesLoad, 2, true, 2},
  };
  for (const CountCase& c : cases) {
    SelectingHostEffect host;
    host.reportedCount = c.reported;
    host.fillsArray = c.fillsArray;
    host.paths = {"/host/a", "/host/b"};
    Selection s(c.command);
    GuiFileSelector selector(&host);
    EXPECT_EQ(selector.run(&s.record), c.expected) << c.what;
  }
}

TEST(FileSelectorOnHost, AStartedHostSelectionCompletesAtTheNextIdle) {
  SelectingHostEffect host;
  host.paths = {"/host/a", "/host/b"};
  Selection s(kVstMultipleFilesLoad);
  GuiFileSelector selector(&host);
  std::int32_t count = -1;
  ASSERT_TRUE(selector.start(&s.record, [&](std::int32_t n) { count = n; }));
  EXPECT_EQ(count, -1) << "not from inside start";
  GuiFileSelector::pollAll(&host);
  EXPECT_EQ(count, 2);
  EXPECT_STREQ(s.record.returnMultiplePaths[1], "/host/b");
}

}  // namespace
