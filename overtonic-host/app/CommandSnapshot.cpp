// `overtonic-host snapshot`: the plug-in's editor opened in a window as a host opens it, idled
// until what it shows stops changing, and saved as a PNG of exactly what the window shows. It
// runs on a private Xvfb, so it needs no display and never shows anything on the user's screen.
#include <cairo.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "overtonic-host/app/Commands.h"
#include "overtonic-host/app/EditorHost.h"
#include "overtonic-host/app/Files.h"
#include "overtonic-host/app/PanelPointer.h"
#include "overtonic-host/app/PanelScript.h"
#include "overtonic-host/app/Plot.h"
#include "overtonic-host/app/PluginSession.h"

namespace hostapp {
namespace {

const CommandLine kSnapshot = {
    "snapshot",
    "snapshot [PLUGIN] -o PANEL.png [--display] [--bank F] [--program N] [--preset F]\n"
    "       [--set INDEX=VALUE ...] [--paint TARGET:KIND:V,V,... ...] [--select TARGET]\n"
    "       [--kind KIND] [--layer KIND]",
    "Opens the plug-in's editor in a window of the editor's size exactly as a host embeds it,\n"
    "idles it until the picture stays the same (at least 0.3 s, at most 5 s) and writes what\n"
    "the window shows to PANEL.png. The window lives on a private Xvfb started for the command\n"
    "(the xvfb package), unless --display asks for the display named by DISPLAY. The state\n"
    "options are applied before the editor opens.\n"
    "\n"
    "The panel options work the panel with the pointer once it is open, as a user would (on\n"
    "the user's display they move the real pointer): each --paint selects an oscillator (1-32)\n"
    "or group (lower, upper, odd, even, octave, first, second, third, fourth) and a curve kind\n"
    "(volume, detune, phase) and paints the values, spread evenly over the curve, with the\n"
    "mouse; then --select and --kind choose the curve on show (by default the last one painted)\n"
    "and --layer shows the volume, detune or phase bars of the harmonics.\n"
    "Example: --set 82=0.8 --paint 1:volume:0,0.9,0.4,0 --layer volume",
    {},
};

constexpr auto kSettleTime = std::chrono::milliseconds(300);
constexpr auto kGiveUpTime = std::chrono::milliseconds(5000);
constexpr auto kCompareEvery = std::chrono::milliseconds(100);
// The private screen is at least this large, and larger when the editor needs it.
constexpr int kMinimumScreenWidth = 640;
constexpr int kMinimumScreenHeight = 480;

cairo_status_t appendChunk(void* closure, const unsigned char* data, unsigned int length) {
  auto* bytes = static_cast<std::vector<unsigned char>*>(closure);
  bytes->insert(bytes->end(), data, data + length);
  return CAIRO_STATUS_SUCCESS;
}

hostlib::Result<std::vector<unsigned char>> encodePng(const std::vector<std::uint32_t>& pixels,
                                                      int width, int height) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return hostlib::fail("no memory for a " + std::to_string(width) + " x " +
                         std::to_string(height) + " picture");
  }
  cairo_surface_flush(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < height; ++y) {
    std::memcpy(data + static_cast<std::ptrdiff_t>(y) * stride,
                pixels.data() + static_cast<std::ptrdiff_t>(y) * width,
                static_cast<std::size_t>(width) * sizeof(std::uint32_t));
  }
  cairo_surface_mark_dirty(surface);
  std::vector<unsigned char> bytes;
  const cairo_status_t written = cairo_surface_write_to_png_stream(surface, appendChunk, &bytes);
  cairo_surface_destroy(surface);
  if (written != CAIRO_STATUS_SUCCESS) {
    return hostlib::fail(std::string("cannot encode the PNG: ") + cairo_status_to_string(written));
  }
  return bytes;
}

// Idles the editor until two pictures taken 100 ms apart (after the first 300 ms) are equal.
hostlib::Result<std::vector<std::uint32_t>> settledPicture(EditorWindow& window) {
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  auto lastCompare = start;
  std::vector<std::uint32_t> previous;
  while (Clock::now() - start < kGiveUpTime) {
    window.idle();
    if (window.closeRequested()) return hostlib::fail("the editor window was closed");
    std::this_thread::sleep_for(std::chrono::milliseconds(kEditorIdleMs));
    const auto now = Clock::now();
    if (now - start < kSettleTime || now - lastCompare < kCompareEvery) continue;
    lastCompare = now;
    auto picture = window.capture();
    if (!picture.ok()) return picture;
    if (picture.value() == previous) return picture;
    previous = std::move(picture).value();
  }
  if (previous.empty()) return window.capture();
  return previous;  // still changing after 5 s: the latest picture
}

hostlib::Result<std::pair<int, int>> editorSize(hostlib::PluginInstance& plugin) {
  ERect* rect = nullptr;
  if (!(plugin.effect()->flags & effFlagsHasEditor) ||
      plugin.dispatch(effEditGetRect, 0, 0, &rect) == 0 || !rect) {
    return hostlib::fail("the plug-in has no editor");
  }
  return std::pair<int, int>{rect->right - rect->left, rect->bottom - rect->top};
}

std::vector<CommandOption> panelOptionList() {
  return {
      {"--paint", "", "TARGET:KIND:V,V,...", true, "paint a curve with the pointer (repeatable)"},
      {"--select", "", "TARGET", false, "the oscillator or group selected at the end"},
      {"--kind", "", "KIND", false, "the curve kind selected at the end"},
      {"--layer", "", "KIND", false, "the bar layer shown: volume, detune or phase"},
  };
}

hostlib::Result<PanelRequest> readPanelOptions(const ParsedArguments& args) {
  PanelRequest request;
  for (const std::string& text : args.all("--paint")) {
    auto paint = parsePaint(text);
    if (!paint.ok()) return hostlib::fail("--paint: " + paint.error());
    request.paints.push_back(std::move(paint).value());
  }
  if (auto text = args.value("--select")) {
    auto target = parseTarget(*text);
    if (!target.ok()) return hostlib::fail("--select: " + target.error());
    request.target = target.value();
  }
  if (auto text = args.value("--kind")) {
    auto kind = parseCurveKind(*text);
    if (!kind.ok()) return hostlib::fail("--kind: " + kind.error());
    request.kind = kind.value();
  }
  if (auto text = args.value("--layer")) {
    auto layer = parseCurveKind(*text);
    if (!layer.ok()) return hostlib::fail("--layer: " + layer.error());
    request.layer = layer.value();
  }
  return request;
}

// The panel is first idled until it has drawn itself, then worked with the pointer.
hostlib::Status workPanel(EditorDisplay& display, EditorWindow& window,
                          const PanelRequest& request) {
  if (request.empty()) return {};
  for (int i = 0; i < 10; ++i) {
    window.idle();
    std::this_thread::sleep_for(std::chrono::milliseconds(kEditorIdleMs));
  }
  auto pointer = PanelPointer::connect(display);
  if (!pointer.ok()) return hostlib::fail(pointer.error());
  for (const PointerGesture& gesture : planPanel(request)) {
    if (hostlib::Status s = pointer.value()->play(window, gesture); !s) return s;
  }
  return {};
}

}  // namespace

int runSnapshot(const std::vector<std::string>& args) {
  const DrawingCachesReleasedAtEnd releaseAtEnd;
  int status = kExitOk;
  CommandLine line = kSnapshot;
  line.options.push_back({"--output", "-o", "PANEL.png", false, "the PNG file to write"});
  line.options.push_back({"--display", "", "", false, "use the display named by DISPLAY"});
  for (const CommandOption& option : stateOptionList(true)) line.options.push_back(option);
  for (const CommandOption& option : panelOptionList()) line.options.push_back(option);
  auto parsed = parseCommandLine(line, args, status);
  if (!parsed) return status;
  if (parsed->positional().size() > 1)
    return reportError("snapshot", "more than one plug-in given", kExitUsage);
  auto request = readPanelOptions(*parsed);
  if (!request.ok()) return reportError("snapshot", request.error(), kExitUsage);
  const std::optional<std::string> outputPath = parsed->value("--output");
  if (!outputPath)
    return reportError("snapshot", "no output file given (-o PANEL.png)", kExitUsage);
  auto state = readStateOptions(*parsed);
  if (!state.ok()) return reportError("snapshot", state.error(), kExitUsage);
  auto output = OutputFile::create(*outputPath);
  if (!output.ok()) return reportError("snapshot", output.error(), kExitFailure);

  auto plugin = loadPlugin(parsed->positional().empty() ? "" : parsed->positional()[0]);
  if (!plugin.ok()) return reportError("snapshot", plugin.error(), kExitFailure);
  bool usageError = false;
  if (hostlib::Status s = applyState(*plugin.value(), state.value(), usageError); !s) {
    return reportError("snapshot", s.error(), usageError ? kExitUsage : kExitFailure);
  }
  auto size = editorSize(*plugin.value());
  if (!size.ok()) return reportError("snapshot", size.error(), kExitFailure);
  const auto [width, height] = size.value();
  if (width <= 0 || height <= 0 || width > 16384 || height > 16384) {
    return reportError("snapshot",
                       "the plug-in's editor rectangle is unusable (" + std::to_string(width) +
                           " x " + std::to_string(height) + ")",
                       kExitFailure);
  }

  auto display = parsed->has("--display")
                     ? EditorDisplay::connectToUsersDisplay()
                     : EditorDisplay::startPrivate(std::max(width, kMinimumScreenWidth),
                                                   std::max(height, kMinimumScreenHeight));
  if (!display.ok()) return reportError("snapshot", display.error(), kExitFailure);
  hostlib::Result<std::vector<std::uint32_t>> picture = hostlib::fail("no picture");
  {
    auto window =
        EditorWindow::open(*display.value(), *plugin.value(), plugin.value()->effectName());
    if (!window.ok()) return reportError("snapshot", window.error(), kExitFailure);
    if (hostlib::Status s = workPanel(*display.value(), *window.value(), request.value()); !s) {
      return reportError("snapshot", s.error(), kExitFailure);
    }
    picture = settledPicture(*window.value());
  }
  if (!picture.ok()) return reportError("snapshot", picture.error(), kExitFailure);
  auto png = encodePng(picture.value(), width, height);
  if (!png.ok()) return reportError("snapshot", png.error(), kExitFailure);
  if (hostlib::Status s = output.value().write(png.value()); !s) {
    return reportError("snapshot", s.error(), kExitFailure);
  }
  if (hostlib::Status s = output.value().commit(); !s) {
    return reportError("snapshot", s.error(), kExitFailure);
  }
  printOut(*outputPath + ": " + std::to_string(width) + " x " + std::to_string(height) + "\n");
  return kExitOk;
}

}  // namespace hostapp
