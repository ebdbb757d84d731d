// The XTest side of PanelPointer. Xlib comes after our own headers: it defines macros (Status,
// Bool, None) that would break them.
#include "overtonic-host/app/PanelPointer.h"

#include <atomic>
#include <chrono>
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

Display* asDisplay(void* display) { return static_cast<Display*>(display); }

}  // namespace

hostlib::Result<std::unique_ptr<PanelPointer>> PanelPointer::connect(const EditorDisplay& display) {
  Display* dpy = XOpenDisplay(display.name().c_str());
  if (!dpy) return hostlib::fail("cannot open a second connection to the X display " + display.name());
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

PlayResult PanelPointer::play(EditorWindow& window, const PointerGesture& gesture) {
  if (gesture.path.empty()) return {};
  Display* dpy = asDisplay(display_);
  int originX = 0, originY = 0;
  ::Window child = 0;
  if (!XTranslateCoordinates(dpy, window.nativeWindow(), DefaultRootWindow(dpy), 0, 0, &originX,
                             &originY, &child)) {
    return hostlib::fail("cannot find the editor window on the screen");
  }
  std::atomic<bool> released{false};
  std::thread hand([&] {
    auto moveTo = [&](GuiPoint p) {
      XTestFakeMotionEvent(dpy, DefaultScreen(dpy), originX + p.h, originY + p.v, CurrentTime);
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
    released = true;
  });
  while (!released) {
    window.idle();
    std::this_thread::sleep_for(kIdleEvery);
  }
  hand.join();
  for (int i = 0; i < kIdlesAfterRelease; ++i) {
    window.idle();
    std::this_thread::sleep_for(kIdleEvery);
  }
  return {};
}

}  // namespace hostapp
