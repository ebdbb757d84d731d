// The press tracker: the press, then queued releases, then the live state.
#include "gui/platform/x11/X11PressTracker.h"

#include <X11/Xlib.h>

#include "gui/platform/x11/X11Window.h"

namespace {

unsigned int maskOfButton(unsigned int button) { return Button1Mask << (button - 1); }

Bool isReleaseOf(Display*, XEvent* event, XPointer window) {
  return event->type == ButtonRelease &&
         event->xbutton.window == *reinterpret_cast<Window*>(window) &&
         event->xbutton.button >= Button1 && event->xbutton.button <= Button3;
}

}  // namespace

void X11PressTracker::begin(unsigned int button, unsigned int mask, GuiPoint root) {
  if (button < Button1 || button > Button3) return;
  stage = Stage::pressed;
  pressState = X11Window::mouseStateOf(mask | maskOfButton(button));
  position_ = root;
}

std::optional<std::int32_t> X11PressTracker::poll(Display* display, unsigned long window) {
  switch (stage) {
    case Stage::idle: return std::nullopt;
    case Stage::pressed: stage = Stage::following; return pressState;
    case Stage::following: break;
  }
  Window ours = window;
  XEvent event;
  if (!XCheckIfEvent(display, &event, isReleaseOf, reinterpret_cast<XPointer>(&ours))) {
    position_.reset();
    return std::nullopt;
  }
  const XButtonEvent& release = event.xbutton;
  position_ = GuiPoint{release.x_root, release.y_root};
  return X11Window::mouseStateOf(release.state & ~maskOfButton(release.button));
}
