// The X11 popup: placement on the screen, the grabs, and its events as FrameEvents.
#include "gui/platform/x11/X11PopupWindow.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <algorithm>
#include <utility>

#include "gui/platform/x11/X11Display.h"
#include "gui/platform/x11/X11Keys.h"
#include "gui/platform/x11/X11Window.h"

namespace {

constexpr long kPopupEvents = ExposureMask | ButtonPressMask | ButtonReleaseMask |
                              PointerMotionMask | KeyPressMask | StructureNotifyMask;
constexpr unsigned int kGrabbedPointerEvents =
    ButtonPressMask | ButtonReleaseMask | PointerMotionMask;

Bool isEventOf(Display*, XEvent* event, XPointer window) {
  return event->xany.window == *reinterpret_cast<Window*>(window);
}

// The popup's place on the screen: below the anchor, or above it when there is no room below,
// and moved sideways (and finally down) to stay on the screen.
GuiRect placeOnScreen(GuiRect anchor, std::int32_t width, std::int32_t height, GuiRect screen) {
  std::int32_t top = anchor.bottom;
  if (top + height > screen.bottom && anchor.top - height >= screen.top) top = anchor.top - height;
  top = std::max(std::min(top, screen.bottom - height), screen.top);
  std::int32_t left = std::max(std::min(anchor.left, screen.right - width), screen.left);
  return {left, top, left + width, top + height};
}

}  // namespace

std::unique_ptr<X11PopupWindow> X11PopupWindow::open(X11Display& display, unsigned long frameWindow,
                                                     const GuiRect& anchor, std::int32_t width,
                                                     std::int32_t height, X11PopupWindow** slot) {
  if (width <= 0 || height <= 0 || width > 32767 || height > 32767) return nullptr;
  Display* dpy = display.raw();
  X11ErrorTrap trap(dpy);
  const Window root = DefaultRootWindow(dpy);
  int x = 0;
  int y = 0;
  Window child = 0;
  if (!XTranslateCoordinates(dpy, frameWindow, root, 0, 0, &x, &y, &child) || trap.failed()) {
    return nullptr;
  }
  XWindowAttributes screen{};
  if (!XGetWindowAttributes(dpy, root, &screen)) return nullptr;
  const GuiRect onScreen =
      placeOnScreen(anchor.offsetBy({x, y}), width, height, {0, 0, screen.width, screen.height});
  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  attributes.save_under = True;
  attributes.event_mask = kPopupEvents;
  const Window window =
      XCreateWindow(dpy, root, onScreen.left, onScreen.top, static_cast<unsigned int>(width),
                    static_cast<unsigned int>(height), 0, CopyFromParent, InputOutput,
                    CopyFromParent, CWOverrideRedirect | CWSaveUnder | CWEventMask, &attributes);
  if (trap.failed() || !window) return nullptr;
  XMapRaised(dpy, window);
  std::unique_ptr<X11Window> wrapped = X11Window::wrap(display, window);
  if (!wrapped || trap.failed()) {
    XDestroyWindow(dpy, window);
    return nullptr;
  }
  const GuiRect bounds = onScreen.offsetBy({-x, -y});
  auto popup = std::unique_ptr<X11PopupWindow>(
      new X11PopupWindow(display, std::move(wrapped), bounds, slot));
  popup->grabInput();
  return popup;
}

X11PopupWindow::X11PopupWindow(X11Display& display, std::unique_ptr<X11Window> window,
                               const GuiRect& bounds, X11PopupWindow** slot)
    : display_(display), window_(std::move(window)), bounds_(bounds), slot_(slot) {
  if (slot_) *slot_ = this;
}

X11PopupWindow::~X11PopupWindow() {
  close();
  if (slot_ && *slot_ == this) *slot_ = nullptr;
}

unsigned long X11PopupWindow::id() const { return window_ ? window_->id() : 0; }

// The window was just mapped; the grabs succeed once the server has made it viewable, which a
// round trip guarantees for an override-redirect window. A refused grab is not fatal: the popup
// still works with presses inside it.
void X11PopupWindow::grabInput() {
  Display* dpy = display_.raw();
  X11ErrorTrap trap(dpy);
  XSync(dpy, False);
  XGrabPointer(dpy, window_->id(), False, kGrabbedPointerEvents, GrabModeAsync, GrabModeAsync, None,
               None, CurrentTime);
  XGrabKeyboard(dpy, window_->id(), False, GrabModeAsync, GrabModeAsync, CurrentTime);
  XFlush(dpy);
}

void X11PopupWindow::close() {
  if (!window_) return;
  open_ = false;
  Display* dpy = display_.raw();
  X11ErrorTrap trap(dpy);
  XUngrabPointer(dpy, CurrentTime);
  XUngrabKeyboard(dpy, CurrentTime);
  Window window = window_->id();
  const bool destroyed = window_->isDestroyed();
  window_.reset();
  if (!destroyed) XDestroyWindow(dpy, window);
  XSync(dpy, False);
  // Nothing will ever read what the popup still had queued.
  XEvent event;
  while (XCheckIfEvent(dpy, &event, isEventOf, reinterpret_cast<XPointer>(&window))) {
  }
}

void X11PopupWindow::present(cairo_surface_t* image, const GuiRect& area) {
  if (open_ && window_) window_->present(image, area);
}

std::optional<FrameEvent> X11PopupWindow::nextEvent() {
  if (!open_ || !window_) return std::nullopt;
  Display* dpy = display_.raw();
  Window window = window_->id();
  XEvent event;
  while (XCheckIfEvent(dpy, &event, isEventOf, reinterpret_cast<XPointer>(&window))) {
    switch (event.type) {
      case Expose: {
        const XExposeEvent& e = event.xexpose;
        pendingExpose = pendingExpose.unite({e.x, e.y, e.x + e.width, e.y + e.height});
        if (e.count > 0) break;
        FrameEvent paint{FrameEvent::Kind::paint};
        paint.area = std::exchange(pendingExpose, GuiRect{});
        return paint;
      }
      case ButtonPress:
      case ButtonRelease: {
        const XButtonEvent& e = event.xbutton;
        if (e.button < Button1 || e.button > Button3) break;  // wheel steps do nothing here
        FrameEvent button{event.type == ButtonPress ? FrameEvent::Kind::buttonPress
                                                    : FrameEvent::Kind::buttonRelease,
                          {e.x, e.y}};
        button.button = static_cast<std::int32_t>(e.button);
        return button;
      }
      case MotionNotify: {
        // Only the latest position matters.
        while (XCheckTypedWindowEvent(dpy, window, MotionNotify, &event)) {
        }
        return FrameEvent{FrameEvent::Kind::motion, {event.xmotion.x, event.xmotion.y}};
      }
      case KeyPress: {
        FrameEvent key{FrameEvent::Kind::key};
        key.key = translateKeyPress(event, nullptr);
        return key;
      }
      case DestroyNotify:
        open_ = false;
        window_->markDestroyed();
        return std::nullopt;
      default: break;
    }
  }
  return std::nullopt;
}

void X11PopupWindow::waitForEvent(std::int32_t milliseconds) {
  Display* dpy = display_.raw();
  if (!open_ || XPending(dpy) > 0) return;
  pollfd wait{ConnectionNumber(dpy), POLLIN, 0};
  ::poll(&wait, 1, std::max(milliseconds, 0));
}
