// Frame windows on X11: event translation (Expose series -> one paint, buttons 1-3 -> presses,
// buttons 4 and 5 -> wheel steps, DestroyNotify -> destroyed), font cursors and the walks up the
// window tree for the geometry operations.
#include "gui/platform/x11/X11FrameWindow.h"

#include <X11/Xlib.h>
#include <X11/cursorfont.h>

#include <array>
#include <utility>

#include "gui/platform/x11/X11Display.h"
#include "gui/platform/x11/X11DropTarget.h"
#include "gui/platform/x11/X11TopLevel.h"
#include "gui/platform/x11/X11Window.h"

namespace {

// A host window counts as the top window when its parent is larger than this on either side.
constexpr int kTopWindowMargin = 60;
// Windows above the frame are resized with it only while they wrap it this closely.
constexpr int kResizeMargin = 80;

// Font cursor shapes by CursorKind (index 0, the default, has none).
constexpr std::array<unsigned int, 7> kCursorShapes{0,
                                                    XC_watch,
                                                    XC_sb_h_double_arrow,
                                                    XC_sb_v_double_arrow,
                                                    XC_fleur,
                                                    XC_top_right_corner,
                                                    XC_top_left_corner};

struct EventChoice {
  Window window;
  EventFilter filter;
  const X11DropTarget* drop;
};

Bool chooseEvent(Display*, XEvent* event, XPointer closure) {
  const auto* choice = reinterpret_cast<const EventChoice*>(closure);
  // Drag-and-drop messages may name the top-level window that proxies drops to this one.
  if (choice->filter == EventFilter::all && choice->drop->takes(*event)) return True;
  if (event->xany.window != choice->window) return False;
  if (choice->filter == EventFilter::all) return True;
  return event->type == Expose || event->type == DestroyNotify;
}

struct TreeLinks {
  Window root = 0;
  Window parent = 0;
};

std::optional<TreeLinks> linksOf(Display* dpy, Window window) {
  TreeLinks links;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(dpy, window, &links.root, &links.parent, &children, &count)) return std::nullopt;
  if (children) XFree(children);
  return links;
}

std::optional<XWindowAttributes> attributesOf(Display* dpy, Window window) {
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(dpy, window, &attributes)) return std::nullopt;
  return attributes;
}

}  // namespace

std::unique_ptr<X11FrameWindow> X11FrameWindow::create(const char* displayName,
                                                       std::uintptr_t parent, std::int32_t width,
                                                       std::int32_t height, const char* name) {
  if (parent == 0) return nullptr;
  std::unique_ptr<X11Display> display = X11Display::open(displayName);
  if (!display) return nullptr;
  std::unique_ptr<X11Window> window =
      X11Window::createChild(*display, static_cast<unsigned long>(parent), width, height, name);
  if (!window) return nullptr;
  return std::unique_ptr<X11FrameWindow>(new X11FrameWindow(std::move(display), std::move(window)));
}

X11FrameWindow::X11FrameWindow(std::unique_ptr<X11Display> display,
                               std::unique_ptr<X11Window> window)
    : display_(std::move(display)),
      window_(std::move(window)),
      dropTarget_(std::make_unique<X11DropTarget>(*window_)) {}

X11FrameWindow::~X11FrameWindow() {
  releaseInput();
  dropTarget_.reset();
  freeCursors();
  window_.reset();
  display_.reset();
}

void X11FrameWindow::freeCursors() {
  Display* dpy = display_->raw();
  X11ErrorTrap trap(dpy);
  for (unsigned long& cursor : cursors) {
    if (cursor) XFreeCursor(dpy, cursor);
    cursor = 0;
  }
}

GuiPoint X11FrameWindow::origin() { return window_->origin(); }

void X11FrameWindow::present(cairo_surface_t* backBuffer, const GuiRect& area) {
  window_->present(backBuffer, area);
}

// While a press is handled the event stream decides (see X11PressTracker); when it leaves the
// answer to the live state, the query is paced, for the tracking loop polling it.
std::int32_t X11FrameWindow::mouseButtons() {
  if (const auto fromEvents = press_.poll(display_->raw(), window_->id())) return *fromEvents;
  return press_.active() ? window_->pacedMouseButtons() : window_->mouseButtons();
}

GuiPoint X11FrameWindow::pointerPosition() {
  if (const auto fromEvents = press_.position()) return *fromEvents;
  return window_->pointerPosition();
}

bool X11FrameWindow::awaitSecondClick() { return window_->awaitSecondClick(); }

std::uint64_t X11FrameWindow::pacedWaits() const { return window_->pacedWaits(); }

std::uintptr_t X11FrameWindow::nativeId() const { return window_->id(); }

std::optional<FrameEvent> X11FrameWindow::nextEvent(EventFilter filter) {
  Display* dpy = display_->raw();
  EventChoice choice{window_->id(), filter, dropTarget_.get()};
  XEvent event;
  while (XCheckIfEvent(dpy, &event, chooseEvent, reinterpret_cast<XPointer>(&choice))) {
    if (dropTarget_->takes(event)) {
      if (std::optional<FrameEvent> drop = dropTarget_->handle(event)) return drop;
      continue;
    }
    switch (event.type) {
      case Expose: {
        const XExposeEvent& e = event.xexpose;
        pendingExpose = pendingExpose.unite({e.x, e.y, e.x + e.width, e.y + e.height});
        if (e.count > 0) break;
        FrameEvent paint{FrameEvent::Kind::paint};
        paint.area = std::exchange(pendingExpose, GuiRect{});
        return paint;
      }
      case ButtonPress: {
        const XButtonEvent& e = event.xbutton;
        window_->noteEventTime(SystemClock().ticks());
        if (e.button >= Button1 && e.button <= Button3) {
          press_.begin(e.button, e.state, {e.x_root, e.y_root});
          window_->forgetPointer();
          FrameEvent press{FrameEvent::Kind::buttonPress, {e.x, e.y}};
          press.button = static_cast<std::int32_t>(e.button);
          return press;
        }
        if (e.button == Button4 || e.button == Button5) {
          FrameEvent wheel{FrameEvent::Kind::wheel, {e.x, e.y}};
          wheel.distance = e.button == Button4 ? 1.0f : -1.0f;
          return wheel;
        }
        break;  // horizontal wheel buttons are not used
      }
      case KeyPress:
      case FocusOut:
        if (auto input = keyboardEvent(event)) return input;
        break;
      case DestroyNotify:
        if (event.xdestroywindow.window != window_->id()) break;
        gone = true;
        window_->markDestroyed();
        dropTarget_->windowGone();
        return FrameEvent{FrameEvent::Kind::destroyed};
      default: break;  // map, configure, reparent: nothing to do
    }
  }
  dropTarget_->expire();
  return std::nullopt;
}

void X11FrameWindow::setCursor(std::int32_t kind) {
  if (gone || kind < 0 || kind >= static_cast<std::int32_t>(kCursorShapes.size())) return;
  Display* dpy = display_->raw();
  X11ErrorTrap trap(dpy);
  if (kind == kCursorDefault) {
    XUndefineCursor(dpy, window_->id());
  } else {
    unsigned long& cursor = cursors[kind];
    if (!cursor) cursor = XCreateFontCursor(dpy, kCursorShapes[static_cast<std::size_t>(kind)]);
    XDefineCursor(dpy, window_->id(), cursor);
  }
  XFlush(dpy);
}

// Walks up while the parent wraps the window closely; the window where the walk stops is the
// host's top window.
std::optional<GuiPoint> X11FrameWindow::topWindowPosition() {
  if (gone) return std::nullopt;
  Display* dpy = display_->raw();
  X11ErrorTrap trap(dpy);
  Window window = window_->id();
  for (int depth = 0; depth < 64; ++depth) {
    const auto links = linksOf(dpy, window);
    const auto own = attributesOf(dpy, window);
    if (!links || !own || trap.failed()) return std::nullopt;
    const bool atTop = links->parent == 0 || links->parent == links->root;
    const auto parent = atTop ? std::nullopt : attributesOf(dpy, links->parent);
    if (atTop || !parent || parent->width - own->width > kTopWindowMargin ||
        parent->height - own->height > kTopWindowMargin) {
      return GuiPoint{own->x, own->y};
    }
    window = links->parent;
  }
  return std::nullopt;
}

bool X11FrameWindow::resizeWithAncestors(std::int32_t width, std::int32_t height) {
  if (gone || width <= 0 || height <= 0) return false;
  Display* dpy = display_->raw();
  X11ErrorTrap trap(dpy);
  Window window = window_->id();
  const auto start = attributesOf(dpy, window);
  if (!start) return false;
  int oldWidth = start->width;
  int oldHeight = start->height;
  XResizeWindow(dpy, window, static_cast<unsigned int>(width), static_cast<unsigned int>(height));
  window_->setSize(width, height);
  for (int depth = 0; depth < 64; ++depth) {
    const auto links = linksOf(dpy, window);
    if (!links || links->parent == 0 || links->parent == links->root) break;
    const auto parent = attributesOf(dpy, links->parent);
    if (!parent) break;
    const int dx = parent->width - oldWidth;
    const int dy = parent->height - oldHeight;
    if (dx < 0 || dy < 0 || dx > kResizeMargin || dy > kResizeMargin) break;
    oldWidth = parent->width;
    oldHeight = parent->height;
    width += dx;
    height += dy;
    XResizeWindow(dpy, links->parent, static_cast<unsigned int>(width),
                  static_cast<unsigned int>(height));
    window = links->parent;
  }
  XFlush(dpy);
  return !trap.failed();
}

std::optional<GuiRect> X11FrameWindow::parentRect() {
  if (gone) return std::nullopt;
  Display* dpy = display_->raw();
  X11ErrorTrap trap(dpy);
  const auto links = linksOf(dpy, window_->id());
  if (!links || links->parent == 0) return std::nullopt;
  const auto parent = attributesOf(dpy, links->parent);
  if (!parent || trap.failed()) return std::nullopt;
  return GuiRect{parent->x, parent->y, parent->x + parent->width, parent->y + parent->height};
}

bool X11FrameWindow::acceptsDrops() const { return dropTarget_->registered(); }

std::uintptr_t X11FrameWindow::dialogOwner() {
  return gone ? 0 : clientTopLevel(display_->raw(), window_->id());
}

std::unique_ptr<FrameWindow> X11FrameBackend::createChild(std::uintptr_t parent, std::int32_t width,
                                                          std::int32_t height, const char* name) {
  return X11FrameWindow::create(nullptr, parent, width, height, name);
}
