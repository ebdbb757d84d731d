// Connection and error trap. The trap's state is process-wide because Xlib's error handler is;
// all X calls of the toolkit happen on the user-interface thread.
#include "gui/platform/x11/X11Display.h"

#include <X11/Xlib.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

Display* trappedDisplay = nullptr;
int trapDepth = 0;
bool trappedError = false;
XErrorHandler previousHandler = nullptr;

int recordError(Display* display, XErrorEvent* event) {
  if (display == trappedDisplay) {
    trappedError = true;
    return 0;
  }
  return previousHandler ? previousHandler(display, event) : 0;
}

}  // namespace

// A busy server can turn a connection away for a moment (its listen queue is full: EAGAIN), so
// a failed connection is tried again a few times, 10 ms apart, when there is a display to try.
std::unique_ptr<X11Display> X11Display::open(const char* name) {
  constexpr int kAttempts = 10;
  const char* shown = name ? name : std::getenv("DISPLAY");
  const bool worthRetrying = shown && *shown;
  for (int attempt = 0;; ++attempt) {
    if (Display* display = XOpenDisplay(name)) {
      return std::unique_ptr<X11Display>(new X11Display(display));
    }
    if (!worthRetrying || attempt + 1 == kAttempts) return nullptr;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

X11Display::~X11Display() { XCloseDisplay(display_); }

unsigned long X11Display::rootWindow() const { return DefaultRootWindow(display_); }

X11ErrorTrap::X11ErrorTrap(Display* display) : display_(display), outerFailed(trappedError) {
  XSync(display_, False);
  if (trapDepth++ == 0) {
    trappedDisplay = display_;
    previousHandler = XSetErrorHandler(recordError);
  }
  trappedError = false;
}

X11ErrorTrap::~X11ErrorTrap() {
  XSync(display_, False);
  const bool failedHere = trappedError;
  if (--trapDepth == 0) {
    XSetErrorHandler(previousHandler);
    trappedDisplay = nullptr;
    previousHandler = nullptr;
  }
  // An enclosing trap also sees the failures of the requests made inside this one.
  trappedError = outerFailed || failedHere;
}

bool X11ErrorTrap::failed() {
  XSync(display_, False);
  return trappedError;
}
