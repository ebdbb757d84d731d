// The overtonic-host drop and select commands as a user runs them: `select` with stand-in dialog
// tools first on PATH (what the tool is asked, the paths printed, the exit status when nothing
// is chosen, bad options), `select --window` beside its own window, and `drop` receiving files
// and text from a real XDND source through its window, on an Xvfb of the test's own.
// GoogleTest first: Xlib defines macros (None, Bool) that would break its headers.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "gui/platform/ChildProcess.h"
#include "tests/support/DialogStandIns.h"
#include "tests/support/PrivateDisplay.h"
#include "tests/support/XdndSource.h"

namespace {

const std::string kProgram = OVERTONIC_HOST_PATH;

struct Outcome {
  bool ended = false;
  int status = -1;
  std::string out;
};

// Runs the program to its end (at most 20 s) and reads its exit status from a shell around it,
// the only way our runner reports it.
Outcome runHost(const std::vector<std::string>& args) {
  std::string command = "\"$0\" \"$@\"; echo \"status $?\"";
  std::vector<std::string> words{"/bin/sh", "-c", command, kProgram};
  words.insert(words.end(), args.begin(), args.end());
  // The stand-ins' PATH holds no shell; /bin/sh is named by its path.
  std::unique_ptr<ChildProcess> child = ChildProcess::start(words);
  Outcome outcome;
  if (!child) return outcome;
  for (int i = 0; i < 2000 && child->wait(10); ++i) {
  }
  outcome.ended = !child->running();
  std::string out = child->output();
  const std::size_t mark = out.rfind("status ");
  if (mark != std::string::npos) {
    outcome.status = std::atoi(out.c_str() + mark + 7);
    out.erase(mark);
  }
  outcome.out = out;
  return outcome;
}

TEST(SelectCommand, PrintsTheChosenFileAndAsksTheToolAsTold) {
  standins::StandInTools tools{"zenity"};
  tools.reply("/tmp/presets/lead.fxp\n");
  ScratchFolder start;
  const Outcome r = runHost({"select", "--title", "Load a program", "--in", start.root(), "--type",
                             "Program=fxp", "--type", "Bank=fxb"});
  ASSERT_TRUE(r.ended);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "/tmp/presets/lead.fxp\n");
  const standins::Run run = tools.runs().at(0);
  EXPECT_TRUE(run.has("--title=Load a program"));
  EXPECT_TRUE(run.has("--filename=" + start.root() + "/"));
  EXPECT_TRUE(run.has("--file-filter=All Types: (*.fxp;*.fxb) | *.fxp *.FXP *.fxb *.FXB"));
  EXPECT_TRUE(run.has("--file-filter=Bank (.fxb) | *.fxb *.FXB"));
}

TEST(SelectCommand, EachModeReachesTheTool) {
  struct ModeCase {
    const char* option;
    const char* reply;
    const char* kdialogCommand;
  };
  const std::vector<ModeCase> cases = {
      {"--save", "/tmp/new.fxp\n", "--getsavefilename"},
      {"--several", "/tmp/a.fxp\n/tmp/b.fxp\n", "--multiple"},
      {"--folder", "/tmp/presets\n", "--getexistingdirectory"},
  };
  for (const ModeCase& c : cases) {
    standins::StandInTools tools{"kdialog"};
    tools.reply(c.reply);
    const Outcome r = runHost({"select", c.option});
    EXPECT_EQ(r.status, 0) << c.option;
    EXPECT_EQ(r.out, c.reply) << c.option;
    ASSERT_EQ(tools.runs().size(), 1u) << c.option;
    EXPECT_TRUE(tools.runs()[0].has(c.kdialogCommand)) << c.option;
  }
}

TEST(SelectCommand, NothingChosenIsAFailureWithAMessage) {
  {
    standins::StandInTools tools{"zenity"};
    tools.reply("", 1);
    const Outcome cancelled = runHost({"select"});
    EXPECT_EQ(cancelled.status, 1);
    EXPECT_EQ(cancelled.out, "");
  }
  standins::StandInTools none{};
  const Outcome noTool = runHost({"select"});
  EXPECT_EQ(noTool.status, 1);
  EXPECT_EQ(noTool.out, "");
}

TEST(SelectCommand, BadOptionsAreUsageErrors) {
  standins::StandInTools tools{"zenity"};
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"select", "--save", "--folder"},
        std::vector<std::string>{"select", "--type", "Program"},
        std::vector<std::string>{"select", "--type", "Program=toolong8"},
        std::vector<std::string>{"select", "--title", std::string(1024, 't')},
        std::vector<std::string>{"select", "extra"},
        std::vector<std::string>{"select", "--window", "--seconds", "soon"}}) {
    EXPECT_EQ(runHost(args).status, 2) << args[1];
  }
  EXPECT_TRUE(tools.runs().empty()) << "no dialog for a wrong command line";
}

// ---- with a display ---------------------------------------------------------------------------

class WithDisplay : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!display.usable()) GTEST_SKIP() << "Xvfb could not be started";
  }
  PrivateDisplay display;
};

TEST_F(WithDisplay, SelectBesideAWindowAttachesTheDialogAndPrintsTheChoice) {
  standins::StandInTools tools{"zenity"};
  tools.offerAttach(true);
  tools.reply("/tmp/chosen.fxp\n");
  tools.mode("slow");  // the window is idled while the dialog is open
  const Outcome r = runHost({"select", "--window", "--seconds", "15"});
  ASSERT_TRUE(r.ended);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "/tmp/chosen.fxp\n");
  const standins::Run run = tools.runs().at(0);
  bool attached = false;
  for (const std::string& word : run.args) attached |= word.rfind("--attach=", 0) == 0;
  EXPECT_TRUE(attached) << "the dialog belongs to the program's window";
}

TEST_F(WithDisplay, SelectBesideAWindowClosesTheDialogWhenTheTimeIsUp) {
  standins::StandInTools tools{"zenity"};
  tools.mode("hang");
  const Outcome r = runHost({"select", "--window", "--seconds", "0.5"});
  ASSERT_TRUE(r.ended);
  EXPECT_EQ(r.status, 1);
  ASSERT_EQ(tools.runs().size(), 1u);
  EXPECT_TRUE(standins::processGone(tools.runs()[0].pid)) << "the dialog was closed and reaped";
}

TEST_F(WithDisplay, DropPrintsWhatArrivesThroughItsWindow) {
  std::unique_ptr<ChildProcess> host = ChildProcess::start({kProgram, "drop", "--seconds", "20"});
  ASSERT_TRUE(host);
  unsigned long window = 0;
  for (int i = 0; i < 1000 && window == 0 && host->wait(10); ++i) {
    const std::string& out = host->output();
    if (out.rfind("window 0x", 0) == 0 && out.find('\n') != std::string::npos) {
      window = std::stoul(out.substr(7), nullptr, 16);
    }
  }
  ASSERT_NE(window, 0u) << "no window line: " << host->output();

  // The drop goes to the program's top-level window, which hands it on to the frame.
  auto dragAndDrop = [&](XdndSource& source, int x, int y) {
    source.enter(window);
    source.moveTo(window, x, y);
    for (int i = 0; i < 500 && !source.status; ++i) {
      source.pump();
      host->wait(10);
    }
    source.drop(window);
    for (int i = 0; i < 500 && !source.finished; ++i) {
      source.pump();
      host->wait(10);
    }
  };
  ScratchFolder folder;
  const std::string file = folder.touch("my song.wav");
  XdndSource files;
  files.offer({{"text/uri-list", "file://" + folder.path("my%20song.wav") + "\r\n"}});
  dragAndDrop(files, 30, 40);
  ASSERT_TRUE(files.finished && files.finished->success);
  XdndSource text;
  text.offer({{"UTF8_STRING", "two\nlines"}});
  dragAndDrop(text, 50, 60);
  ASSERT_TRUE(text.finished && text.finished->success);

  const std::string expected = "drop at 30,40: 1 file name\n  " + file +
                               "\ndrop at 50,60: text of 9 bytes\n  two\n  lines\n";
  for (int i = 0; i < 200 && host->output().find(expected) == std::string::npos; ++i) {
    host->wait(10);
  }
  EXPECT_NE(host->output().find(expected), std::string::npos) << host->output();
}

}  // namespace
