// What a held mouse button costs on X11: the plug-in loaded through our host library, its editor
// on a private Xvfb, the real pointer (XTest) holding a volume bar still, dragging it up and
// down, and holding the curve editor still. For each it reports the CPU time of the thread the
// editor runs on (the host's user-interface thread, inside the controls' tracking loops), the X
// server's CPU time, both as a share of one core over the wall time, and the automation reports
// the host received per second.
//
//   overtonic_held_press_bench [PLUGIN.so] [--seconds S]
// PLUGIN.so defaults to the plug-in built with the program; S (default 2) is each case's length.
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "editor/PanelLayout.h"
#include "overtonic-host/app/EditorHost.h"
#include "overtonic-host/app/PanelPointer.h"
#include "overtonic-host/app/PanelScript.h"
#include "overtonic-host/lib/PluginLibrary.h"

namespace {

using Clock = std::chrono::steady_clock;

double threadCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// User plus system time of a process, from /proc; 0 when it cannot be read.
double processCpuSeconds(int pid) {
  if (pid <= 0) return 0.0;
  std::FILE* file = std::fopen(("/proc/" + std::to_string(pid) + "/stat").c_str(), "r");
  if (!file) return 0.0;
  char line[1024] = {};
  const bool read = std::fgets(line, sizeof line, file) != nullptr;
  std::fclose(file);
  const char* afterName = read ? std::strrchr(line, ')') : nullptr;
  unsigned long user = 0;
  unsigned long system = 0;
  // After the name: state, then fields 4-13, then utime (14) and stime (15).
  if (!afterName ||
      std::sscanf(afterName + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &user,
                  &system) != 2) {
    return 0.0;
  }
  return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

struct Measured {
  double wall = 0.0;
  double uiCpu = 0.0;
  double serverCpu = 0.0;
  std::size_t reports = 0;
};

template <class Gesture>
Measured measure(hostlib::PluginInstance& plugin, const hostapp::EditorDisplay& display,
                 Gesture&& gesture) {
  plugin.clearCalls();
  const int server = display.serverPid();
  const double ui0 = threadCpuSeconds();
  const double server0 = processCpuSeconds(server);
  const Clock::time_point start = Clock::now();
  gesture();
  Measured m;
  m.wall = std::chrono::duration<double>(Clock::now() - start).count();
  m.uiCpu = threadCpuSeconds() - ui0;
  m.serverCpu = processCpuSeconds(server) - server0;
  m.reports = plugin.countCalls(audioMasterAutomate);
  return m;
}

void print(const char* what, const Measured& m) {
  std::printf(
      "%-36s %6.2f s wall | editor thread %6.3f s CPU (%5.1f %%) | X server %6.3f s "
      "(%5.1f %%) | %7.1f reports/s\n",
      what, m.wall, m.uiCpu, 100.0 * m.uiCpu / m.wall, m.serverCpu, 100.0 * m.serverCpu / m.wall,
      static_cast<double>(m.reports) / m.wall);
}

int fail(const std::string& message) {
  std::fprintf(stderr, "overtonic_held_press_bench: %s\n", message.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string pluginPath = OVERTONIC_BUILT_PLUGIN;
  double seconds = 2.0;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--seconds" && i + 1 < argc) {
      seconds = std::strtod(argv[++i], nullptr);
    } else if (arg.rfind("--", 0) == 0) {
      return fail("unknown option " + arg + " (usage: [PLUGIN.so] [--seconds S])");
    } else {
      pluginPath = arg;
    }
  }
  if (!(seconds > 0.0 && seconds < 600.0)) return fail("--seconds wants a number of seconds");
  const auto hold = std::chrono::milliseconds(static_cast<long>(seconds * 1000.0));

  auto display = hostapp::EditorDisplay::startPrivate(640, 640);
  if (!display.ok()) return fail(display.error());
  auto library = hostlib::PluginLibrary::open(pluginPath);
  if (!library.ok()) return fail(library.error());
  auto made = library.value().instantiate();
  if (!made.ok()) return fail(made.error());
  hostlib::PluginInstance& plugin = *made.value();
  plugin.start(44100.0f, 512);
  auto window = hostapp::EditorWindow::open(*display.value(), plugin, "held press");
  if (!window.ok()) return fail(window.error());
  auto pointer = hostapp::PanelPointer::connect(*display.value());
  if (!pointer.ok()) return fail(pointer.error());
  for (int i = 0; i < 10; ++i) window.value()->idle();
  std::printf("plug-in: %s\n", pluginPath.c_str());

  hostapp::EditorWindow& editor = *window.value();
  hostapp::PanelPointer& hand = *pointer.value();
  const auto press = [&](std::int32_t tag) {
    const auto click = hostapp::clickOn(tag);
    return click ? hand.play(editor, *click) : hostlib::fail("no control " + std::to_string(tag));
  };
  if (const auto shown = press(panel::kLayerButtonTags[panel::kVolumeCurve]); !shown.ok()) {
    return fail(shown.error());
  }
  constexpr std::int32_t kBar = 82;  // the volume bar of oscillator 1
  const auto bar = hostapp::barGesture(kBar, 0.5f);
  const auto anyReport = [&] { return plugin.countCalls(audioMasterAutomate) > 0; };

  hostlib::Status status;
  const Measured still = measure(plugin, *display.value(), [&] {
    status = hand.hold(editor, bar->path.back(), anyReport, hold);
  });
  if (!status.ok()) return fail(status.error());
  print("bar held still", still);

  // Up and down the bar, one pixel per step (a step every 3 ms, as PanelPointer plays them).
  hostapp::PointerGesture drag;
  const GuiPoint top = hostapp::barGesture(kBar, 1.0f)->path.back();
  const GuiPoint bottom = hostapp::barGesture(kBar, 0.0f)->path.back();
  const auto steps = static_cast<std::size_t>(seconds / 0.003);
  for (std::size_t i = 0; drag.path.size() < steps; ++i) {
    const auto span = static_cast<std::size_t>(bottom.v - top.v);
    const std::size_t phase = i % (2 * span);
    const auto offset = static_cast<std::int32_t>(phase < span ? phase : 2 * span - phase);
    drag.path.push_back({top.h, bottom.v - offset});
  }
  const Measured moving =
      measure(plugin, *display.value(), [&] { status = hand.play(editor, drag); });
  if (!status.ok()) return fail(status.error());
  print("bar dragged up and down", moving);

  // The curve editor paints nothing while the pointer stays in one column: only the loop runs.
  if (const auto selected = press(panel::selectionTagOfTarget(0)); !selected.ok()) {
    return fail(selected.error());
  }
  const GuiRect plot = panel::kCurveEditorRect;
  const GuiPoint inPlot{(plot.left + plot.right) / 2, (plot.top + plot.bottom) / 2};
  bool entered = false;
  const Measured curve = measure(plugin, *display.value(), [&] {
    // Nothing reports while the pointer stands still: the hand holds on for the given time.
    const auto secondAsk = [&] { return std::exchange(entered, true); };
    status = hand.hold(editor, inPlot, secondAsk, hold);
  });
  if (!status.ok()) return fail(status.error());
  print("curve editor held still", curve);
  return 0;
}
