// `overtonic-host gallery`: one of each standard control of the GUI toolkit on a test surface,
// either in a window on the user's display (to try them with the mouse and keyboard) or drawn
// off screen and saved as a PNG (no display needed).
#include <chrono>
#include <thread>

#include "gui/DrawSurface.h"
#include "gui/DrawingCaches.h"
#include "gui/GuiFrame.h"
#include "gui/platform/headless/HeadlessFrameWindow.h"
#include "gui/platform/x11/X11FrameWindow.h"
#include "overtonic-host/app/Commands.h"
#include "overtonic-host/app/EditorHost.h"
#include "overtonic-host/app/Files.h"
#include "overtonic-host/app/Gallery.h"
#include "overtonic-host/app/Values.h"

namespace hostapp {
namespace {

const CommandLine kGallery = {
    "gallery",
    "gallery [-o GALLERY.png] [--seconds S]",
    "Shows one of each standard control of the plug-in's GUI toolkit (knobs, buttons, switches,\n"
    "sliders, displays, text field, menu, meters) with artwork drawn for the purpose. Without\n"
    "-o it opens a window on the display named by DISPLAY and runs until the window is closed or\n"
    "the time given with --seconds is up; every change is shown in the window's status line.\n"
    "With -o it draws the gallery off screen and writes it to GALLERY.png.",
    {},
};

// The window's parent id on the headless back end: any non-zero number is a window there.
void* const kOffscreenParent = reinterpret_cast<void*>(std::uintptr_t{1});

// The gallery's first paint as PNG bytes; empty when it cannot be made.
std::vector<std::uint8_t> drawOffscreen() {
  HeadlessFrameBackend backend;
  GalleryEditor editor(&backend);
  if (editor.open(kOffscreenParent) == 0) return {};
  backend.lastWindow()->postPaint();
  editor.idle();
  return editor.getFrame()->getBackBuffer()->encodePng();
}

int writePicture(const std::string& path) {
  const std::vector<std::uint8_t> png = drawOffscreen();
  ::releaseDrawingCaches();  // fonts above all: leak checks see only real leaks
  if (png.empty())
    return reportError("gallery", "cannot draw the gallery off screen", kExitFailure);
  if (hostlib::Status written = writeWholeFile(path, png); !written) {
    return reportError("gallery", written.error(), kExitFailure);
  }
  printOut(path + ": " + std::to_string(Gallery::kSize.width()) + " x " +
           std::to_string(Gallery::kSize.height()) + "\n");
  return kExitOk;
}

int showWindow(double seconds) {
  auto display = EditorDisplay::connectToUsersDisplay();
  if (!display.ok()) return reportError("gallery", display.error(), kExitFailure);
  HostTopWindow window(*display.value(), "Overtonic control gallery", Gallery::kSize.width(),
                       Gallery::kSize.height());
  X11FrameBackend backend;
  GalleryEditor editor(&backend);
  if (editor.open(window.asParent()) == 0) {
    return reportError("gallery", "cannot open the gallery in its window", kExitFailure);
  }
  const auto start = std::chrono::steady_clock::now();
  auto timeUp = [&] {
    return seconds >= 0.0 &&
           std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() >=
               seconds;
  };
  while (!window.closeRequested() && !timeUp()) {
    editor.idle();
    if (editor.gallery()) editor.gallery()->tick();
    window.readEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(kEditorIdleMs));
  }
  editor.close();  // before the window and the display go
  ::releaseDrawingCaches();
  return kExitOk;
}

}  // namespace

int runGallery(const std::vector<std::string>& args) {
  int status = kExitOk;
  CommandLine line = kGallery;
  line.options.push_back({"--output", "-o", "GALLERY.png", false, "write the gallery as a PNG"});
  line.options.push_back(
      {"--seconds", "", "S", false, "close the window by itself after S seconds"});
  auto parsed = parseCommandLine(line, args, status);
  if (!parsed) return status;
  if (!parsed->positional().empty()) {
    return reportError("gallery", "unexpected argument '" + parsed->positional()[0] + "'",
                       kExitUsage);
  }
  double seconds = -1.0;
  if (auto text = parsed->value("--seconds")) {
    auto number = parseNumber(*text, 0.0, 1e6);
    if (!number.ok()) return reportError("gallery", "--seconds: " + number.error(), kExitUsage);
    seconds = number.value();
  }
  if (auto output = parsed->value("--output")) return writePicture(*output);
  return showWindow(seconds);
}

}  // namespace hostapp
