// X11 window, presentation and pointer polling. Button and modifier bits follow the toolkit's
// MouseState: Button1 -> left, Button2 -> middle, Button3 -> right, Shift, Control, Mod1 (Alt).
#include "gui/platform/x11/X11Window.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <cerrno>
#include <chrono>

#include <algorithm>
#include <array>
#include <string>

#include "gui/platform/x11/X11Cairo.h"
#include "gui/platform/x11/X11Display.h"

namespace {

// Releases are selected so that the press tracker can follow a click through the queue. Motion
// with a button held is selected as hints (one report until the pointer is queried again), which
// wake a paced query at once.
constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask |
                            StructureNotifyMask | ButtonMotionMask | PointerMotionHintMask;
constexpr std::int32_t kPollMs = 5;

struct MaskBit {
  unsigned int x11;
  std::int32_t toolkit;
};

constexpr std::array<MaskBit, 6> kMaskBits{{
    {Button1Mask, kMouseLeft},
    {Button2Mask, kMouseMiddle},
    {Button3Mask, kMouseRight},
    {ShiftMask, kMouseShift},
    {ControlMask, kMouseControl},
    {Mod1Mask, kMouseAlt},
}};

Bool isLeftPressOf(Display*, XEvent* event, XPointer window) {
  return event->type == ButtonPress && event->xbutton.button == Button1 &&
         event->xbutton.window == *reinterpret_cast<Window*>(window);
}

struct QueueScan {
  Window window;
  bool noted = false;  // a press, release or destruction of the window is queued
};

// Takes motion reports of the window off the queue and notes queued presses, releases and the
// window's destruction, which stay where they are for the press tracker and the frame.
Bool takeMotionNoteButtons(Display*, XEvent* event, XPointer closure) {
  auto* scan = reinterpret_cast<QueueScan*>(closure);
  if (event->xany.window != scan->window) return False;
  if (event->type == MotionNotify) return True;
  if (event->type == ButtonPress || event->type == ButtonRelease || event->type == DestroyNotify) {
    scan->noted = true;
  }
  return False;
}

}  // namespace

X11Window::X11Window(Display* display, unsigned long window, void* visual, int depth,
                     std::int32_t width, std::int32_t height, bool owned)
    : display_(display),
      window_(window),
      painter(std::make_unique<X11CairoPainter>(display, window, visual, depth, width, height)),
      owned_(owned) {}

std::unique_ptr<X11Window> X11Window::createChild(X11Display& display, unsigned long parent,
                                                  std::int32_t width, std::int32_t height,
                                                  const char* name) {
  Display* dpy = display.raw();
  const unsigned int w = static_cast<unsigned int>(std::clamp(width, 1, 32767));
  const unsigned int h = static_cast<unsigned int>(std::clamp(height, 1, 32767));
  X11ErrorTrap trap(dpy);
  XSetWindowAttributes attributes{};
  attributes.event_mask = kEventMask;
  const Window window = XCreateWindow(dpy, parent, 0, 0, w, h, 0, CopyFromParent, InputOutput,
                                      CopyFromParent, CWEventMask, &attributes);
  XWindowAttributes created{};
  if (trap.failed() || !XGetWindowAttributes(dpy, window, &created) || trap.failed()) {
    if (window) XDestroyWindow(dpy, window);
    return nullptr;
  }
  if (name) {
    XStoreName(dpy, window, name);
    std::string instance(name);
    XClassHint hint{instance.data(), instance.data()};
    XSetClassHint(dpy, window, &hint);
  }
  XMapWindow(dpy, window);
  XFlush(dpy);
  if (trap.failed()) {
    XDestroyWindow(dpy, window);
    return nullptr;
  }
  return std::unique_ptr<X11Window>(new X11Window(dpy, window, created.visual, created.depth,
                                                  static_cast<std::int32_t>(w),
                                                  static_cast<std::int32_t>(h), true));
}

std::unique_ptr<X11Window> X11Window::wrap(X11Display& display, unsigned long window) {
  Display* dpy = display.raw();
  X11ErrorTrap trap(dpy);
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(dpy, window, &attributes) || trap.failed()) return nullptr;
  return std::unique_ptr<X11Window>(new X11Window(dpy, window, attributes.visual, attributes.depth,
                                                  attributes.width, attributes.height, false));
}

X11Window::~X11Window() {
  painter.reset();
  X11ErrorTrap trap(display_);
  if (owned_ && !destroyed) XDestroyWindow(display_, window_);
}

void X11Window::setSize(std::int32_t width, std::int32_t height) {
  painter->setSize(width, height);
}

GuiPoint X11Window::origin() {
  if (destroyed) return {};
  X11ErrorTrap trap(display_);
  int x = 0;
  int y = 0;
  Window child = 0;
  const Bool ok =
      XTranslateCoordinates(display_, window_, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
  if (!ok || trap.failed()) return {};
  return {x, y};
}

void X11Window::present(cairo_surface_t* backBuffer, const GuiRect& area) {
  if (destroyed || painter->paint(backBuffer, area)) return;
  // A window that no longer exists is left alone from now on.
  X11ErrorTrap trap(display_);
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(display_, window_, &attributes)) destroyed = true;
}

std::optional<X11Window::Pointer> X11Window::queryPointer() {
  if (destroyed) return std::nullopt;
  takeQueuedActivity();  // reports of motion that this query reads anyway
  X11ErrorTrap trap(display_);
  Window root = 0;
  Window child = 0;
  int rootX = 0;
  int rootY = 0;
  int windowX = 0;
  int windowY = 0;
  unsigned int mask = 0;
  XQueryPointer(display_, window_, &root, &child, &rootX, &rootY, &windowX, &windowY, &mask);
  if (trap.failed()) return std::nullopt;
  lastPointer = Pointer{{rootX, rootY}, mask};
  return lastPointer;
}

bool X11Window::takeQueuedActivity() {
  QueueScan scan{window_};
  bool moved = false;
  XEvent event;
  const auto closure = reinterpret_cast<XPointer>(&scan);
  while (XCheckIfEvent(display_, &event, takeMotionNoteButtons, closure)) moved = true;
  return moved || scan.noted;
}

// Other events (exposure, structure) that arrive meanwhile are left queued for the frame and do
// not end the wait.
bool X11Window::awaitActivity(std::int32_t milliseconds) {
  using Clock = std::chrono::steady_clock;
  XFlush(display_);
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return false;
    pollfd connection{ConnectionNumber(display_), POLLIN, 0};
    const int ready = ::poll(&connection, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    if (takeQueuedActivity()) return true;
  }
}

std::int32_t X11Window::mouseStateOf(unsigned int mask) {
  std::int32_t state = 0;
  for (const MaskBit& bit : kMaskBits) {
    if (mask & bit.x11) state |= bit.toolkit;
  }
  return state;
}

std::int32_t X11Window::mouseButtons() {
  const std::optional<Pointer> pointer = queryPointer();
  return pointer ? mouseStateOf(pointer->mask) : 0;
}

// The pointer read as before means the user holds still: instead of answering at once (and
// being asked again at once), wait for the server to report something, at most kPaceMs.
std::int32_t X11Window::pacedMouseButtons() {
  const std::optional<Pointer> previous = lastPointer;
  std::optional<Pointer> pointer = queryPointer();
  if (pointer && previous && *pointer == *previous && !takeQueuedActivity()) {
    ++pacedWaits_;
    if (awaitActivity(kPaceMs)) pointer = queryPointer();
  }
  return pointer ? mouseStateOf(pointer->mask) : 0;
}

GuiPoint X11Window::pointerPosition() {
  const std::optional<Pointer> pointer = queryPointer();
  return pointer ? pointer->root : GuiPoint{};
}

bool X11Window::awaitSecondClick() {
  if (destroyed) return false;
  const std::int64_t deadline = lastEventTicks.value_or(clock_.ticks()) + kDoubleClickMs;
  Window window = window_;
  while (clock_.ticks() < deadline) {
    XEvent event;
    if (XCheckIfEvent(display_, &event, isLeftPressOf, reinterpret_cast<XPointer>(&window))) {
      lastEventTicks = clock_.ticks();
      return true;
    }
    clock_.sleep(kPollMs);
  }
  return false;
}
