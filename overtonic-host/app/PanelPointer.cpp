// The XTest side of PanelPointer. Xlib comes after our own headers: it defines macros (Status,
// Bool, None) that would break them.
#include "overtonic-host/app/PanelPointer.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace hostapp {
// Xlib defines Status as a macro.
using PlayResult = hostlib::Status;
}  // namespace hostapp

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace hostapp {
namespace {

using std::chrono::milliseconds;

// The button stays down this long before the drag starts, so that the editor has taken the
// press (at one of its idles) while the button is still held.
constexpr milliseconds kHoldBeforeDrag{120};
// Between two points of a drag: long enough for a tracking loop to see every point.
constexpr milliseconds kStep{3};
constexpr milliseconds kIdleEvery{5};
// Idles after the release, for the editor to finish the gesture and draw it.
constexpr int kIdlesAfterRelease = 8;
// How long a held press waits for the editor to take it.
constexpr int kTakeTimeoutMs = 10000;

Display* asDisplay(void* display) { return static_cast<Display*>(display); }

}  // namespace

hostlib::Result<std::unique_ptr<PanelPointer>> PanelPointer::connect(const EditorDisplay& display) {
  Display* dpy = XOpenDisplay(display.name().c_str());
  if (!dpy)
    return hostlib::fail("cannot open a second connection to the X display " + display.name());
  int eventBase = 0, errorBase = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(dpy, &eventBase, &errorBase, &major, &minor)) {
    XCloseDisplay(dpy);
    return hostlib::fail("the X display " + display.name() + " has no XTest extension");
  }
  return std::unique_ptr<PanelPointer>(new PanelPointer(dpy));
}

PanelPointer::~PanelPointer() {
  Display* dpy = asDisplay(display_);
  XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
  XCloseDisplay(dpy);
}

PlayResult PanelPointer::whileIdling(EditorWindow& window,
                                     const std::function<PlayResult(GuiPoint origin)>& hand) {
  Display* dpy = asDisplay(display_);
  int originX = 0, originY = 0;
  ::Window child = 0;
  if (!XTranslateCoordinates(dpy, window.nativeWindow(), DefaultRootWindow(dpy), 0, 0, &originX,
                             &originY, &child)) {
    return hostlib::fail("cannot find the editor window on the screen");
  }
  std::atomic<bool> done{false};
  PlayResult result;
  std::thread moves([&] {
    result = hand({originX, originY});
    done = true;
  });
  while (!done) {
    window.idle();
    std::this_thread::sleep_for(kIdleEvery);
  }
  moves.join();
  for (int i = 0; i < kIdlesAfterRelease; ++i) {
    window.idle();
    std::this_thread::sleep_for(kIdleEvery);
  }
  return result;
}

PlayResult PanelPointer::play(EditorWindow& window, const PointerGesture& gesture) {
  if (gesture.path.empty()) return {};
  Display* dpy = asDisplay(display_);
  return whileIdling(window, [&](GuiPoint origin) {
    auto moveTo = [&](GuiPoint p) {
      XTestFakeMotionEvent(dpy, DefaultScreen(dpy), origin.h + p.h, origin.v + p.v, CurrentTime);
      XSync(dpy, False);
    };
    moveTo(gesture.path.front());
    XTestFakeButtonEvent(dpy, 1, True, CurrentTime);
    XSync(dpy, False);
    std::this_thread::sleep_for(kHoldBeforeDrag);
    for (std::size_t i = 1; i < gesture.path.size(); ++i) {
      moveTo(gesture.path[i]);
      std::this_thread::sleep_for(kStep);
    }
    XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
    XSync(dpy, False);
    return PlayResult{};
  });
}

PlayResult PanelPointer::hold(EditorWindow& window, GuiPoint at, const std::function<bool()>& taken,
                              std::chrono::milliseconds longer) {
  Display* dpy = asDisplay(display_);
  return whileIdling(window, [&](GuiPoint origin) {
    XTestFakeMotionEvent(dpy, DefaultScreen(dpy), origin.h + at.h, origin.v + at.v, CurrentTime);
    XTestFakeButtonEvent(dpy, 1, True, CurrentTime);
    XSync(dpy, False);
    bool seen = false;
    for (int waited = 0; waited < kTakeTimeoutMs && !seen; ++waited) {
      seen = taken();
      if (!seen) std::this_thread::sleep_for(milliseconds(1));
    }
    if (seen) std::this_thread::sleep_for(longer);
    XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
    XSync(dpy, False);
    return seen ? PlayResult{} : hostlib::fail("the editor never took the held press");
  });
}

}  // namespace hostapp
