// The overtonic-host commands that show the editor, run as a user runs them: snapshot with no
// display at all (its private Xvfb) writing exactly the panel the editor draws, its panel options
// working the panel with the pointer, its refusals, and gui on the test's display ending by time
// or by signal with the editor closed.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "editor/PanelLayout.h"
#include "editor/SynthEditor.h"
#include "gui/DrawContext.h"
#include "gui/DrawSurface.h"
#include "gui/GuiBitmap.h"
#include "gui/GuiFrame.h"
#include "gui/platform/headless/HeadlessFrameWindow.h"
#include "synth/SynthPlugin.h"

namespace {

namespace fs = std::filesystem;

const std::string kProgram = OVERTONIC_HOST_PATH;
const std::string kPlugin = OVERTONIC_PLUGIN_PATH;

struct Outcome {
  int status = -1;  // exit status, or 128 + signal
  std::string err;
};

class Scratch {
 public:
  Scratch() {
    std::string pattern = (fs::temp_directory_path() / "overtonic-editor-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data()) ? pattern : "";
  }
  ~Scratch() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  std::string path(const std::string& name) const { return (fs::path(path_) / name).string(); }
  std::size_t entries() const {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(path_), fs::directory_iterator()));
  }

 private:
  std::string path_;
};

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return {};
  std::string bytes(static_cast<std::size_t>(in.tellg()), '\0');
  in.seekg(0);
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

// Starts the program with standard error in `errPath`; without a display when asked.
pid_t start(const std::vector<std::string>& args, const std::string& errPath, bool withDisplay) {
  std::vector<std::string> words{kProgram};
  words.insert(words.end(), args.begin(), args.end());
  const pid_t child = ::fork();
  if (child == 0) {
    if (!withDisplay) ::unsetenv("DISPLAY");
    if (!std::freopen("/dev/null", "w", stdout) || !std::freopen(errPath.c_str(), "w", stderr)) {
      _exit(126);
    }
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    ::execv(kProgram.c_str(), argv.data());
    _exit(127);
  }
  return child;
}

Outcome finish(pid_t child, const std::string& errPath) {
  Outcome outcome;
  int status = 0;
  if (child > 0 && ::waitpid(child, &status, 0) == child) {
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  outcome.err = slurp(errPath);
  return outcome;
}

Outcome run(const Scratch& scratch, const std::vector<std::string>& args, bool withDisplay) {
  const std::string errPath = scratch.path(".stderr");
  Outcome outcome = finish(start(args, errPath, withDisplay), errPath);
  std::remove(errPath.c_str());
  return outcome;
}

bool haveDisplay() {
  const char* name = std::getenv("DISPLAY");
  return name && *name;
}

// The test command runs these under its own Xvfb: without a display they fail, never skip.
constexpr char kNeedsDisplay[] =
    "no X display: run the x11 tests under xvfb-run (tools/test.sh does), or leave them out "
    "with ctest -LE x11";

// The pixels of a PNG file drawn on a surface of the given size.
void drawPng(const std::string& bytes, DrawSurface& surface) {
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  auto* bitmap = new GuiBitmap(std::span<const std::uint8_t>(data, bytes.size()));
  DrawContext context(nullptr, &surface, nullptr);
  bitmap->draw(&context, surface.bounds());
  bitmap->release();
}

// The panel as the editor draws it at open, on the headless back end: 600 x 600 pixels, row by
// row.
std::vector<GuiColor> openPanelPixels() {
  std::vector<GuiColor> pixels;
  HeadlessFrameBackend backend;
  auto plugin = std::make_unique<SynthPlugin>(
      [](AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) -> VstIntPtr {
        return opcode == audioMasterVersion ? 2400 : 0;
      });
  auto* editor = new SynthEditor(plugin.get(), backend);
  if (editor->open(reinterpret_cast<void*>(std::uintptr_t{1})) != 1) return pixels;
  backend.lastWindow()->postPaint();
  editor->idle();
  const DrawSurface& shown = *editor->getFrame()->getBackBuffer();
  for (int y = 0; y < 600; ++y) {
    for (int x = 0; x < 600; ++x) pixels.push_back(shown.pixel(x, y));
  }
  return pixels;
}

// The snapshot's pixels, or an empty surface when the file is no 600 x 600 PNG.
void readShot(const std::string& png, DrawSurface& taken) {
  const std::string bytes = slurp(png);
  ASSERT_GT(bytes.size(), 8u);
  auto* shot = new GuiBitmap(std::span<const std::uint8_t>(
      reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
  EXPECT_EQ(shot->getWidth(), 600);
  EXPECT_EQ(shot->getHeight(), 600);
  shot->release();
  drawPng(bytes, taken);
}

TEST(SnapshotCommand, WithNoDisplayAtAllWritesThePanelPixelForPixel) {
  Scratch scratch;
  const std::string png = scratch.path("panel.png");
  const Outcome outcome = run(scratch, {"snapshot", kPlugin, "-o", png}, false);
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  DrawSurface taken(600, 600);
  readShot(png, taken);
  const std::vector<GuiColor> expected = openPanelPixels();
  ASSERT_EQ(expected.size(), 360000u);
  int differing = 0;
  for (int y = 0; y < 600; ++y) {
    for (int x = 0; x < 600; ++x)
      differing += taken.pixel(x, y) == expected[static_cast<std::size_t>(y * 600 + x)] ? 0 : 1;
  }
  EXPECT_EQ(differing, 0) << "pixels of the snapshot that differ from the panel drawn at open";
}

// The panel options work the panel with the pointer: what they did shows in the picture.
TEST(SnapshotCommand, PanelOptionsPaintSelectAndShowALayer) {
  Scratch scratch;
  const std::string png = scratch.path("worked.png");
  const Outcome outcome = run(scratch,
                              {"snapshot", kPlugin, "--set", "82=0.8", "--paint",
                               "1:volume:0,0.9,0", "--layer", "volume", "-o", png},
                              false);
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  DrawSurface taken(600, 600);
  readShot(png, taken);
  const std::vector<GuiColor> pixels = openPanelPixels();
  ASSERT_EQ(pixels.size(), 360000u);
  auto fresh = [&](int x, int y) { return pixels[static_cast<std::size_t>(y * 600 + x)]; };
  const GuiColor lit{190, 190, 190, 0};
  const GuiColor curveBar{80, 117, 147, 0};
  // The volume bar of oscillator 1 (204-214 x 60-160): rows 160 - 2i lit for i < 40.
  EXPECT_EQ(taken.pixel(209, 160 - 2 * 39), lit) << "row 39 of the 0.8 bar";
  EXPECT_NE(taken.pixel(209, 160 - 2 * 41), lit) << "row 41 is dark";
  // The curve of oscillator 1 peaks mid-plot, 0.9 units (108 pixels) over the bottom row 324.
  const panel::CurvePlot plot = panel::curvePlotOf(panel::kCurveEditorRect);
  EXPECT_EQ(taken.pixel(plot.left + 192, plot.bottom - 60), curveBar) << "under the peak";
  EXPECT_NE(taken.pixel(plot.left + 20, plot.bottom - 60), curveBar) << "the curve is low at first";
  // Oscillator button 1 and the volume layer button turned on: they no longer look as at open.
  EXPECT_NE(taken.pixel(20, 214), fresh(20, 214)) << "oscillator button 1";
  EXPECT_NE(taken.pixel(221, 37), fresh(221, 37)) << "volume layer button";
  EXPECT_EQ(taken.pixel(100, 100), fresh(100, 100)) << "elsewhere nothing changed";
}

TEST(SnapshotCommand, RefusesBadPanelOptions) {
  Scratch scratch;
  const std::string png = scratch.path("bad.png");
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--paint", "1:volume:0,5"},
                                               {"--select", "33"},
                                               {"--kind", "pitch"},
                                               {"--layer", "all"},
                                               {"--paint", "odd:detune"}}) {
    std::vector<std::string> words{"snapshot", kPlugin, "-o", png};
    words.insert(words.end(), args.begin(), args.end());
    const Outcome outcome = run(scratch, words, false);
    EXPECT_EQ(outcome.status, 2) << args[0] << " " << args[1] << ": " << outcome.err;
    EXPECT_NE(outcome.err.find(args[0]), std::string::npos) << outcome.err;
    EXPECT_FALSE(fs::exists(png));
  }
}

TEST(SnapshotCommand, AppliesStateOptionsBeforeOpening) {
  Scratch scratch;
  const Outcome outcome =
      run(scratch,
          {"snapshot", kPlugin, "--program", "3", "--set", "0=0.2", "-o", scratch.path("p.png")},
          false);
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_TRUE(fs::exists(scratch.path("p.png")));
}

struct RefusalCase {
  const char* name;
  std::vector<std::string> args;
  int status;
  const char* message;
};

TEST(SnapshotCommand, RefusesBadRequestsWithAMessageAndLeavesNoFile) {
  Scratch scratch;
  const std::string png = scratch.path("out.png");
  const std::string notAPlugin = scratch.path("not-a-plugin.so");
  std::ofstream(notAPlugin) << "text";
  const RefusalCase cases[] = {
      {"no output", {"snapshot", kPlugin}, 2, "no output file"},
      {"missing folder",
       {"snapshot", kPlugin, "-o", scratch.path("none/out.png")},
       1,
       "none/out.png"},
      {"not a plug-in", {"snapshot", notAPlugin, "-o", png}, 1, "not-a-plugin.so"},
      {"two plug-ins", {"snapshot", kPlugin, kPlugin, "-o", png}, 2, "more than one"},
      {"bad program", {"snapshot", kPlugin, "--program", "99", "-o", png}, 2, "99"},
  };
  for (const RefusalCase& c : cases) {
    const Outcome outcome = run(scratch, c.args, false);
    EXPECT_EQ(outcome.status, c.status) << c.name << ": " << outcome.err;
    EXPECT_NE(outcome.err.find(c.message), std::string::npos) << c.name << ": " << outcome.err;
    EXPECT_FALSE(fs::exists(png)) << c.name;
    EXPECT_EQ(scratch.entries(), 1u) << c.name << ": only the fake plug-in may be left";
  }
}

TEST(GuiCommand, NeedsADisplay) {
  Scratch scratch;
  const Outcome outcome = run(scratch, {"gui", kPlugin}, false);
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("no X display"), std::string::npos) << outcome.err;
}

TEST(GuiCommand, RefusesABadTime) {
  Scratch scratch;
  const Outcome outcome = run(scratch, {"gui", kPlugin, "--seconds", "soon"}, true);
  EXPECT_EQ(outcome.status, 2) << outcome.err;
}

TEST(GuiCommand, ShowsTheEditorUntilTheTimeIsUp) {
  ASSERT_TRUE(haveDisplay()) << kNeedsDisplay;
  Scratch scratch;
  const auto start = std::chrono::steady_clock::now();
  const Outcome outcome = run(scratch, {"gui", kPlugin, "--seconds", "0.4"}, true);
  const double took =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_TRUE(outcome.err.empty()) << outcome.err;
  EXPECT_GE(took, 0.4);
}

TEST(GuiCommand, ATerminationSignalClosesTheEditorAndEndsCleanly) {
  ASSERT_TRUE(haveDisplay()) << kNeedsDisplay;
  Scratch scratch;
  const std::string errPath = scratch.path(".stderr");
  const pid_t child = start({"gui", kPlugin}, errPath, true);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  ::kill(child, SIGTERM);
  const Outcome outcome = finish(child, errPath);
  EXPECT_EQ(outcome.status, 0) << outcome.err;
}

}  // namespace
