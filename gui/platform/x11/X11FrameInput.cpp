// Keyboard input for an open text field, and popups, of X11 frame windows. While a field is
// open the frame window selects key presses and focus changes, takes the focus and reads text
// through an input method of its own connection; closing the field deselects them again, so that
// keys over the editor reach the host as before, and gives the focus back.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <utility>

#include "gui/platform/x11/X11Display.h"
#include "gui/platform/x11/X11FrameWindow.h"
#include "gui/platform/x11/X11Keys.h"
#include "gui/platform/x11/X11PopupWindow.h"
#include "gui/platform/x11/X11Window.h"

namespace {
constexpr long kKeyboardEvents = KeyPressMask | FocusChangeMask;
}  // namespace

void X11FrameWindow::makeInputContext() {
  if (inputContext) return;
  Display* dpy = display_->raw();
  if (!inputMethod) inputMethod = XOpenIM(dpy, nullptr, nullptr, nullptr);
  if (!inputMethod) return;
  inputContext = XCreateIC(inputMethod, XNInputStyle, XIMPreeditNothing | XIMStatusNothing,
                           XNClientWindow, window_->id(), XNFocusWindow, window_->id(), nullptr);
}

void X11FrameWindow::setKeyboardInput(bool enabled) {
  if (gone || enabled == keyboardInput) return;
  keyboardInput = enabled;
  Display* dpy = display_->raw();
  X11ErrorTrap trap(dpy);
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(dpy, window_->id(), &attributes)) return;
  long mask = attributes.your_event_mask;
  if (enabled) {
    makeInputContext();
    unsigned long filtered = 0;
    if (inputContext && !XGetICValues(inputContext, XNFilterEvents, &filtered, nullptr)) {
      mask |= static_cast<long>(filtered);
    }
    XSelectInput(dpy, window_->id(), mask | kKeyboardEvents);
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(dpy, &focus, &revert);
    focusBefore = focus;
    XSetInputFocus(dpy, window_->id(), RevertToParent, CurrentTime);
    if (inputContext) XSetICFocus(inputContext);
  } else {
    if (inputContext) XUnsetICFocus(inputContext);
    XSelectInput(dpy, window_->id(), mask & ~kKeyboardEvents);
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(dpy, &focus, &revert);
    if (focus == window_->id() && focusBefore > PointerRoot) {
      XSetInputFocus(dpy, focusBefore, RevertToParent, CurrentTime);
    }
    focusBefore = 0;
  }
  XFlush(dpy);
}

std::optional<FrameEvent> X11FrameWindow::keyboardEvent(XEvent& event) {
  if (!keyboardInput) return std::nullopt;
  if (event.type == FocusOut) {
    // Focus moving into or out of a grab (our own popup's, a menu's of the host) or following
    // the pointer is not the field losing its focus.
    const XFocusChangeEvent& change = event.xfocus;
    if (change.mode != NotifyNormal || change.detail == NotifyInferior ||
        change.detail == NotifyPointer) {
      return std::nullopt;
    }
    return FrameEvent{FrameEvent::Kind::focusLost};
  }
  if (XFilterEvent(&event, None)) return std::nullopt;  // part of a compose sequence
  FrameEvent key{FrameEvent::Kind::key};
  key.key = translateKeyPress(event, inputContext);
  return key;
}

void X11FrameWindow::releaseInput() {
  if (popup) std::exchange(popup, nullptr)->ownerGone();
  X11ErrorTrap trap(display_->raw());
  if (keyboardInput) setKeyboardInput(false);
  if (inputContext) XDestroyIC(inputContext);
  if (inputMethod) XCloseIM(inputMethod);
  inputContext = nullptr;
  inputMethod = nullptr;
}

std::unique_ptr<PopupWindow> X11FrameWindow::openPopup(const GuiRect& anchor, std::int32_t width,
                                                       std::int32_t height) {
  if (gone || popup) return nullptr;
  return X11PopupWindow::open(*display_, window_->id(), anchor, width, height, &popup);
}
