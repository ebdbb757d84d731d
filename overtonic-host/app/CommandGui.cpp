// `overtonic-host gui`: the plug-in's editor in a window of its own on the user's display, idled
// about 30 times a second until the window is closed (or the given time is up, or the program is
// interrupted), then closed as a host closes it.
#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "overtonic-host/app/Commands.h"
#include "overtonic-host/app/EditorHost.h"
#include "overtonic-host/app/Plot.h"
#include "overtonic-host/app/PluginSession.h"

namespace hostapp {
namespace {

const CommandLine kGui = {
    "gui",
    "gui [PLUGIN] [--seconds S] [--bank F] [--program N] [--preset F] [--set INDEX=VALUE ...]",
    "Opens the plug-in's editor in a window of the editor's size on the X display named by\n"
    "DISPLAY, exactly as a host embeds it (effEditGetRect, effEditOpen with the window, then\n"
    "effEditIdle about 30 times a second), and closes it (effEditClose) when the window is\n"
    "closed, the time given with --seconds is up, or the program is interrupted. The state\n"
    "options are applied before the editor opens.",
    {},
};

volatile sig_atomic_t interrupted = 0;

void noteInterrupt(int) { interrupted = 1; }

// Ctrl-C and termination end the loop instead of the program, so the editor is closed properly.
class InterruptScope {
 public:
  InterruptScope() {
    struct sigaction action {};
    action.sa_handler = noteInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previousInt);
    sigaction(SIGTERM, &action, &previousTerm);
    interrupted = 0;
  }
  ~InterruptScope() {
    sigaction(SIGINT, &previousInt, nullptr);
    sigaction(SIGTERM, &previousTerm, nullptr);
  }
  InterruptScope(const InterruptScope&) = delete;
  InterruptScope& operator=(const InterruptScope&) = delete;

 private:
  struct sigaction previousInt {};
  struct sigaction previousTerm {};
};

bool parseSeconds(const std::string& text, double& seconds) {
  char* end = nullptr;
  seconds = std::strtod(text.c_str(), &end);
  return end != text.c_str() && *end == '\0' && seconds >= 0.0 && seconds <= 1e6;
}

}  // namespace

int runGui(const std::vector<std::string>& args) {
  const DrawingCachesReleasedAtEnd releaseAtEnd;
  int status = kExitOk;
  CommandLine line = kGui;
  line.options.push_back(
      {"--seconds", "", "S", false, "close the editor by itself after S seconds"});
  for (const CommandOption& option : stateOptionList(true)) line.options.push_back(option);
  auto parsed = parseCommandLine(line, args, status);
  if (!parsed) return status;
  if (parsed->positional().size() > 1)
    return reportError("gui", "more than one plug-in given", kExitUsage);
  double seconds = -1.0;
  if (auto text = parsed->value("--seconds"); text && !parseSeconds(*text, seconds)) {
    return reportError("gui", "--seconds wants a number of seconds, not '" + *text + "'",
                       kExitUsage);
  }
  auto state = readStateOptions(*parsed);
  if (!state.ok()) return reportError("gui", state.error(), kExitUsage);

  auto display = EditorDisplay::connectToUsersDisplay();
  if (!display.ok()) return reportError("gui", display.error(), kExitFailure);
  auto plugin = loadPlugin(parsed->positional().empty() ? "" : parsed->positional()[0]);
  if (!plugin.ok()) return reportError("gui", plugin.error(), kExitFailure);
  bool usageError = false;
  if (hostlib::Status s = applyState(*plugin.value(), state.value(), usageError); !s) {
    return reportError("gui", s.error(), usageError ? kExitUsage : kExitFailure);
  }
  auto window = EditorWindow::open(*display.value(), *plugin.value(), plugin.value()->effectName());
  if (!window.ok()) return reportError("gui", window.error(), kExitFailure);

  const InterruptScope interrupts;
  const auto start = std::chrono::steady_clock::now();
  auto timeUp = [&] {
    return seconds >= 0.0 &&
           std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() >=
               seconds;
  };
  while (!window.value()->closeRequested() && !interrupted && !timeUp()) {
    window.value()->idle();
    std::this_thread::sleep_for(std::chrono::milliseconds(kEditorIdleMs));
  }
  window.value().reset();  // effEditClose while the plug-in and the display are still there
  return kExitOk;
}

}  // namespace hostapp
