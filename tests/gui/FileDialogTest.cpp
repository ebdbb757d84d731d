// The desktop's file dialog below the toolkit: each tool's command line for each kind of request,
// what is taken from a tool's output, and the child processes themselves (real ones): output,
// exit status, signals, the output limit, stopping, reaping, and what a child inherits.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "gui/platform/ChildProcess.h"
#include "gui/platform/FileDialog.h"
#include "tests/support/DialogStandIns.h"

namespace {

using Words = std::vector<std::string>;
using standins::processGone;

FileDialogRequest request(FileDialogMode mode) {
  FileDialogRequest r;
  r.mode = mode;
  r.title = "Load a program";
  r.folder = "/home/ann/presets";
  r.filters = {{"All Types: (*.fxp;*.fxb)", {"*.fxp", "*.fxb"}},
               {"Program (.fxp)", {"*.fxp", "*.FXP"}},
               {"Any Type (*.*)", {"*"}}};
  return r;
}

TEST(FileDialogArguments, ZenityGetsOneWordPerOptionForEachMode) {
  EXPECT_EQ(
      zenityArguments(request(FileDialogMode::open), false),
      (Words{"zenity", "--file-selection", "--title=Load a program",
             "--filename=/home/ann/presets/",
             "--file-filter=All Types: (*.fxp;*.fxb) | *.fxp *.fxb",
             "--file-filter=Program (.fxp) | *.fxp *.FXP", "--file-filter=Any Type (*.*) | *"}));
  const Words save = zenityArguments(request(FileDialogMode::save), false);
  EXPECT_EQ(Words(save.begin() + 3, save.begin() + 5), (Words{"--save", "--confirm-overwrite"}));
  const Words several = zenityArguments(request(FileDialogMode::openSeveral), false);
  EXPECT_EQ(Words(several.begin() + 3, several.begin() + 5),
            (Words{"--multiple", "--separator=\n"}));
  EXPECT_EQ(zenityArguments(request(FileDialogMode::chooseFolder), false),
            (Words{"zenity", "--file-selection", "--title=Load a program", "--directory",
                   "--filename=/home/ann/presets/"}))
      << "no type list when choosing a folder";
}

TEST(FileDialogArguments, ZenityAttachesOnlyWhenAskedAndGivenAWindow) {
  FileDialogRequest r = request(FileDialogMode::open);
  r.owner = 0x2a00007;
  EXPECT_EQ(zenityArguments(r, true).back(), "--attach=" + std::to_string(0x2a00007));
  EXPECT_NE(zenityArguments(r, false).back().rfind("--attach", 0), 0u);
  r.owner = 0;
  EXPECT_NE(zenityArguments(r, true).back().rfind("--attach", 0), 0u);
}

TEST(FileDialogArguments, ZenityLabelsCannotEndTheirFilterEarly) {
  FileDialogRequest r = request(FileDialogMode::open);
  r.filters = {{"Left|Right (.fxp)", {"*.fxp"}}};
  r.folder.clear();
  r.title.clear();
  EXPECT_EQ(zenityArguments(r, false),
            (Words{"zenity", "--file-selection", "--file-filter=Left/Right (.fxp) | *.fxp"}));
}

TEST(FileDialogArguments, KdialogGetsItsOwnSyntaxForEachMode) {
  FileDialogRequest r = request(FileDialogMode::open);
  r.owner = 77;
  const std::string filter =
      "*.fxp *.fxb|All Types: (*.fxp;*.fxb)\n*.fxp *.FXP|Program (.fxp)\n*|Any Type (*.*)";
  EXPECT_EQ(kdialogArguments(r), (Words{"kdialog", "--title", "Load a program", "--attach", "77",
                                        "--getopenfilename", "/home/ann/presets", filter}));
  r.owner = 0;
  r.mode = FileDialogMode::save;
  EXPECT_EQ(kdialogArguments(r), (Words{"kdialog", "--title", "Load a program", "--getsavefilename",
                                        "/home/ann/presets", filter}));
  r.mode = FileDialogMode::openSeveral;
  EXPECT_EQ(kdialogArguments(r),
            (Words{"kdialog", "--title", "Load a program", "--getopenfilename", "/home/ann/presets",
                   filter, "--multiple", "--separate-output"}));
  r.mode = FileDialogMode::chooseFolder;
  EXPECT_EQ(kdialogArguments(r), (Words{"kdialog", "--title", "Load a program",
                                        "--getexistingdirectory", "/home/ann/presets"}));
}

TEST(FileDialogArguments, KdialogEscapesSlashesSoLabelsAreNotTakenForMimeTypes) {
  FileDialogRequest r;
  r.filters = {{"Audio/MIDI (.mid)", {"*.mid"}}};
  r.folder = "/tmp";
  EXPECT_EQ(kdialogArguments(r).back(), "*.mid|Audio\\/MIDI (.mid)");
}

struct OutputCase {
  const char* what;
  std::string output;
  FileDialogMode mode;
  Words expected;
};

TEST(FileDialogOutput, OnlyAbsolutePathsAreTaken) {
  const std::vector<OutputCase> cases = {
      {"one path", "/tmp/a b.fxp\n", FileDialogMode::open, {"/tmp/a b.fxp"}},
      {"no line end", "/tmp/a.fxp", FileDialogMode::save, {"/tmp/a.fxp"}},
      {"a line break inside one name", "/tmp/a\nb.fxp\n", FileDialogMode::open, {"/tmp/a\nb.fxp"}},
      {"nothing", "", FileDialogMode::open, {}},
      {"only a line end", "\n", FileDialogMode::chooseFolder, {}},
      {"relative", "a.fxp\n", FileDialogMode::open, {}},
      {"zero byte", std::string("/tmp/a\0b\n", 9), FileDialogMode::open, {}},
      {"several", "/a\n/b c\n/d\n", FileDialogMode::openSeveral, {"/a", "/b c", "/d"}},
      {"several with junk", "/a\n\nrelative\n/b\n", FileDialogMode::openSeveral, {"/a", "/b"}},
      {"several, none", "\n\n", FileDialogMode::openSeveral, {}},
  };
  for (const OutputCase& c : cases) {
    EXPECT_EQ(parseDialogOutput(c.output, c.mode), c.expected) << c.what;
  }
}

// ---- child processes ----------------------------------------------------------------------

std::unique_ptr<ChildProcess> finished(const Words& arguments) {
  std::unique_ptr<ChildProcess> child = ChildProcess::start(arguments);
  if (!child) return nullptr;
  for (int i = 0; i < 1000 && child->wait(10);) ++i;
  return child;
}

// A signal mask from /proc/PID/status ("SigBlk:\t0000000000010000"), bit n - 1 for signal n.
unsigned long long signalMask(const std::string& status, const std::string& name) {
  const std::size_t at = status.find(name + ":\t");
  if (at == std::string::npos) return ~0ull;
  return std::stoull(status.substr(at + name.size() + 2, 16), nullptr, 16);
}

TEST(ChildProcess, CollectsOutputAndTheExitStatus) {
  auto child = finished({"sh", "-c", "printf 'one\\ntwo'; exit 0"});
  ASSERT_TRUE(child);
  EXPECT_FALSE(child->running());
  EXPECT_TRUE(child->succeeded());
  EXPECT_EQ(child->output(), "one\ntwo");
  EXPECT_TRUE(processGone(child->pid()));

  auto failing = finished({"sh", "-c", "echo /tmp/x; exit 3"});
  ASSERT_TRUE(failing);
  EXPECT_FALSE(failing->succeeded()) << "a non-zero exit status is a failure, whatever it printed";
  auto killed = finished({"sh", "-c", "echo /tmp/x; kill -KILL $$"});
  ASSERT_TRUE(killed);
  EXPECT_FALSE(killed->succeeded());
  EXPECT_TRUE(processGone(killed->pid()));
}

TEST(ChildProcess, AMissingProgramIsReportedAsSuch) {
  int error = 0;
  EXPECT_EQ(ChildProcess::start({"overtonic-no-such-program"}, &error), nullptr);
  EXPECT_EQ(error, ENOENT);
  EXPECT_EQ(ChildProcess::start({}, &error), nullptr);
}

TEST(ChildProcess, ArgumentsReachTheProgramUnchangedWithoutAShell) {
  auto child = finished({"printf", "%s|", "a b", "$HOME", "*", "'q'", "x;y"});
  ASSERT_TRUE(child);
  EXPECT_EQ(child->output(), "a b|$HOME|*|'q'|x;y|");
}

TEST(ChildProcess, OutputBeyondTheLimitFailsTheRun) {
  std::unique_ptr<ChildProcess> child =
      ChildProcess::start({"sh", "-c", "head -c 5000 /dev/zero"}, nullptr, 1000);
  ASSERT_TRUE(child);
  for (int i = 0; i < 1000 && child->wait(10); ++i) {
  }
  EXPECT_FALSE(child->running());
  EXPECT_FALSE(child->succeeded());
  EXPECT_TRUE(child->output().empty());
}

TEST(ChildProcess, StopEndsAChildThatIgnoresTermination) {
  auto child = ChildProcess::start({"sh", "-c", "trap '' TERM; echo ready; exec sleep 100"});
  ASSERT_TRUE(child);
  for (int i = 0; i < 500 && child->output().empty(); ++i) child->wait(10);
  ASSERT_EQ(child->output(), "ready\n");
  child->stop();
  EXPECT_FALSE(child->running());
  EXPECT_FALSE(child->succeeded());
  EXPECT_TRUE(processGone(child->pid())) << "stopped and reaped, no zombie left";
}

TEST(ChildProcess, AChildThatClosesItsOutputButLingersIsStopped) {
  auto child = ChildProcess::start({"sh", "-c", "exec >&-; exec sleep 100"});
  ASSERT_TRUE(child);
  for (int i = 0; i < 600 && child->wait(10); ++i) {
  }
  EXPECT_FALSE(child->running()) << "given up a little after its output closed";
  EXPECT_FALSE(child->succeeded());
  EXPECT_TRUE(processGone(child->pid()));
}

TEST(ChildProcess, DestroyingARunningChildStopsAndReapsIt) {
  pid_t pid = 0;
  {
    auto child = ChildProcess::start({"sleep", "100"});
    ASSERT_TRUE(child);
    pid = child->pid();
    EXPECT_TRUE(child->poll());
  }
  EXPECT_TRUE(processGone(pid));
}

TEST(ChildProcess, TheChildStartsWithDefaultSignalsAndOnlyTheStandardFiles) {
  // What a host may have done to its own thread and files.
  sigset_t blocked;
  sigset_t previous;
  sigemptyset(&blocked);
  sigaddset(&blocked, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &blocked, &previous);
  struct sigaction ignore {};
  struct sigaction previousPipe {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGPIPE, &ignore, &previousPipe);
  // Not close-on-exec, and well above the descriptors the child opens itself.
  const int opened = ::open("/dev/null", O_RDONLY);
  const int leaked = ::fcntl(opened, F_DUPFD, 50);
  ::close(opened);

  auto status = finished({"cat", "/proc/self/status"});
  auto files = finished({"ls", "/proc/self/fd"});

  ::close(leaked);
  sigaction(SIGPIPE, &previousPipe, nullptr);
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  ASSERT_TRUE(status && files);
  EXPECT_EQ(signalMask(status->output(), "SigBlk"), 0u) << status->output();
  EXPECT_EQ(signalMask(status->output(), "SigIgn") & (1ull << (SIGPIPE - 1)), 0u)
      << status->output();
  EXPECT_EQ(files->output().find("\n" + std::to_string(leaked) + "\n"), std::string::npos)
      << "the host's descriptor " << leaked << " reached the child:\n"
      << files->output();
}

TEST(ChildProcess, AChildReapedBySomeoneElseStillCountsWithItsOutput) {
  struct sigaction ignore {};
  struct sigaction previous {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGCHLD, &ignore, &previous);  // children are reaped by the system
  auto child = finished({"echo", "/tmp/chosen"});
  sigaction(SIGCHLD, &previous, nullptr);
  ASSERT_TRUE(child);
  EXPECT_FALSE(child->running());
  EXPECT_TRUE(child->succeeded());
  EXPECT_EQ(child->output(), "/tmp/chosen\n");
}

}  // namespace
