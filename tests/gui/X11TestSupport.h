// What the X11 tests of frames and of the plug-in's editor share: a test-side connection with a
// parent window on the screen, the server held while a test moves the one pointer or reads
// pixels (ctest runs test programs in parallel on one Xvfb), XTest presses, and waiting for the
// plug-in's own connection to catch up.
#pragma once

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

namespace x11test {

// The x11 tests run under the test command's private Xvfb (24-bit true colour, with XTest), so a
// missing display, extension or visual is a failure there, never a reason to skip.
inline constexpr char kNeedsDisplay[] =
    "no X display with XTest: run the x11 tests under xvfb-run -a -s \"-screen 0 1280x1024x24\" "
    "(tools/test.sh does), or leave them out with ctest -LE x11";
inline constexpr char kNeeds24Bit[] =
    "pixel read-back needs a 24-bit true-colour visual (xvfb-run -s \"-screen 0 1280x1024x24\")";

// While alive no other client can reach the server, and `window` is on top.
class ServerGrab {
 public:
  ServerGrab(Display* display, Window window) : display_(display) {
    XGrabServer(display_);
    XRaiseWindow(display_, window);
    XSync(display_, False);
  }
  ~ServerGrab() {
    XUngrabServer(display_);
    XSync(display_, False);
  }
  ServerGrab(const ServerGrab&) = delete;
  ServerGrab& operator=(const ServerGrab&) = delete;

 private:
  Display* display_;
};

// Our own connection and a mapped top-level window at `position` to act as the host's window.
class HostWindow {
 public:
  HostWindow(int x, int y, unsigned int width, unsigned int height) : x_(x), y_(y) {
    // A busy server may turn a connection away for a moment (EAGAIN): try again a little.
    for (int attempt = 0; attempt < 20 && !display_; ++attempt) {
      display_ = XOpenDisplay(nullptr);
      if (!display_) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!display_) return;
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    hasXTest = XTestQueryExtension(display_, &eventBase, &errorBase, &major, &minor);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;  // placed exactly where asked, window manager or not
    window_ =
        XCreateWindow(display_, DefaultRootWindow(display_), x, y, width, height, 0, CopyFromParent,
                      InputOutput, CopyFromParent, CWOverrideRedirect, &attributes);
    XMapRaised(display_, window_);
    XSync(display_, False);
  }
  ~HostWindow() {
    if (!display_) return;
    for (unsigned int b = 1; b <= 5; ++b) XTestFakeButtonEvent(display_, b, False, CurrentTime);
    if (window_) XDestroyWindow(display_, window_);
    XCloseDisplay(display_);
  }
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  bool usable() const { return display_ && hasXTest; }
  // What a host does when it closes its editor window without asking the plug-in first.
  void destroyWindow() {
    XDestroyWindow(display_, window_);
    XSync(display_, False);
    window_ = 0;
  }
  Display* display() const { return display_; }
  Window window() const { return window_; }
  void* asParent() const { return reinterpret_cast<void*>(static_cast<std::uintptr_t>(window_)); }

  std::vector<Window> children() const {
    Window root = 0, parent = 0;
    Window* list = nullptr;
    unsigned int count = 0;
    std::vector<Window> result;
    XSync(display_, False);
    if (XQueryTree(display_, window_, &root, &parent, &list, &count)) {
      result.assign(list, list + count);
      if (list) XFree(list);
    }
    return result;
  }

  void movePointer(int windowX, int windowY) {
    XTestFakeMotionEvent(display_, DefaultScreen(display_), x_ + windowX, y_ + windowY,
                         CurrentTime);
    XSync(display_, False);
  }
  void click(unsigned int button) {
    XTestFakeButtonEvent(display_, button, True, CurrentTime);
    XTestFakeButtonEvent(display_, button, False, CurrentTime);
    XSync(display_, False);
  }

  // 0x00RRGGBB of a pixel of `window`, read from the screen; needs a 24-bit true-colour visual.
  std::uint32_t pixel(Window window, int x, int y) const {
    XSync(display_, False);
    XImage* image = XGetImage(display_, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return 0xFFFFFFFFu;
    const auto value = static_cast<std::uint32_t>(XGetPixel(image, 0, 0) & 0xFFFFFF);
    XDestroyImage(image);
    return value;
  }
  bool hasTrueColour24() const {
    XWindowAttributes attributes{};
    XGetWindowAttributes(display_, window_, &attributes);
    return attributes.depth == 24 && attributes.visual->red_mask == 0xff0000 &&
           attributes.visual->green_mask == 0xff00 && attributes.visual->blue_mask == 0xff;
  }

 private:
  Display* display_ = nullptr;
  Window window_ = 0;
  int x_;
  int y_;
  bool hasXTest = false;
};

// Calls `step` (an idle of the plug-in) every 5 ms until `done` or about two seconds passed.
inline bool pumpUntil(const std::function<void()>& step, const std::function<bool()>& done) {
  for (int i = 0; i < 400; ++i) {
    step();
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

}  // namespace x11test
