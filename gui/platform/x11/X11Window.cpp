// X11 window, presentation and pointer polling. Button and modifier bits follow the toolkit's
// MouseState: Button1 -> left, Button2 -> middle, Button3 -> right, Shift, Control, Mod1 (Alt).
// On the usual 24-bit true-colour visual the back buffer's pixels are sent as they are with
// XPutImage; other visuals go through a cairo-xlib surface, which converts. (The direct copy
// also avoids the shared-memory path of cairo-xlib, which leaks a little per connection.)
#include "gui/platform/x11/X11Window.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo-xlib.h>
#include <cairo.h>

#include <algorithm>
#include <array>
#include <bit>
#include <string>

#include "gui/platform/x11/X11Display.h"

namespace {

// Releases are selected so that the press tracker can follow a click through the queue.
constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | StructureNotifyMask;
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

// Whether the window keeps pixels as 0x00RRGGBB words, like a 24-bit image surface.
bool storesPixelsLikeTheBackBuffer(const Visual* visual, int depth) {
  return depth == 24 && visual->c_class == TrueColor && visual->red_mask == 0xff0000 &&
         visual->green_mask == 0x00ff00 && visual->blue_mask == 0x0000ff;
}

}  // namespace

X11Window::X11Window(Display* display, unsigned long window, void* visual, int depth,
                     std::int32_t width, std::int32_t height, bool owned)
    : display_(display),
      window_(window),
      visual_(visual),
      directUpload_(storesPixelsLikeTheBackBuffer(static_cast<Visual*>(visual), depth)),
      width_(width),
      height_(height),
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
  if (surface_) cairo_surface_destroy(surface_);
  X11ErrorTrap trap(display_);
  if (gc_) XFreeGC(display_, static_cast<GC>(gc_));
  if (owned_ && !destroyed_) XDestroyWindow(display_, window_);
}

void X11Window::setSize(std::int32_t width, std::int32_t height) {
  width_ = std::max(width, 1);
  height_ = std::max(height, 1);
  if (surface_) cairo_xlib_surface_set_size(surface_, width_, height_);
}

GuiPoint X11Window::origin() {
  if (destroyed_) return {};
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
  if (destroyed_ || !backBuffer || area.isEmpty()) return;
  const GuiRect bounds{0, 0, cairo_image_surface_get_width(backBuffer),
                       cairo_image_surface_get_height(backBuffer)};
  const GuiRect visible = area.intersect(bounds);
  if (visible.isEmpty()) return;
  X11ErrorTrap trap(display_);
  cairo_surface_flush(backBuffer);
  const bool direct =
      directUpload_ && cairo_image_surface_get_format(backBuffer) == CAIRO_FORMAT_RGB24;
  if (direct) {
    putPixels(backBuffer, visible);
  } else {
    paintThroughCairo(backBuffer, visible);
  }
  if (trap.failed()) {
    // A window that no longer exists is left alone from now on.
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display_, window_, &attributes)) destroyed_ = true;
  }
}

void X11Window::putPixels(cairo_surface_t* backBuffer, const GuiRect& area) {
  if (!gc_) gc_ = XCreateGC(display_, window_, 0, nullptr);
  XImage* image =
      XCreateImage(display_, static_cast<Visual*>(visual_), 24, ZPixmap, 0,
                   reinterpret_cast<char*>(cairo_image_surface_get_data(backBuffer)),
                   static_cast<unsigned int>(cairo_image_surface_get_width(backBuffer)),
                   static_cast<unsigned int>(cairo_image_surface_get_height(backBuffer)), 32,
                   cairo_image_surface_get_stride(backBuffer));
  if (!image) return;
  // The back buffer holds 32-bit words in the machine's byte order; Xlib swaps if the server's
  // differs.
  image->byte_order = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
  XPutImage(display_, window_, static_cast<GC>(gc_), image, area.left, area.top, area.left,
            area.top, static_cast<unsigned int>(area.width()),
            static_cast<unsigned int>(area.height()));
  image->data = nullptr;  // the pixels belong to the back buffer
  XDestroyImage(image);
}

void X11Window::paintThroughCairo(cairo_surface_t* backBuffer, const GuiRect& area) {
  if (!surface_) {
    surface_ = cairo_xlib_surface_create(display_, window_, static_cast<Visual*>(visual_), width_,
                                         height_);
  }
  cairo_t* cr = cairo_create(surface_);
  cairo_set_source_surface(cr, backBuffer, 0, 0);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_rectangle(cr, area.left, area.top, area.width(), area.height());
  cairo_fill(cr);
  cairo_destroy(cr);
  cairo_surface_flush(surface_);
}

std::optional<X11Window::Pointer> X11Window::queryPointer() {
  if (destroyed_) return std::nullopt;
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
  return Pointer{{rootX, rootY}, mask};
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

GuiPoint X11Window::pointerPosition() {
  const std::optional<Pointer> pointer = queryPointer();
  return pointer ? pointer->root : GuiPoint{};
}

bool X11Window::awaitSecondClick() {
  if (destroyed_) return false;
  const std::int64_t deadline = lastEventTicks_.value_or(clock_.ticks()) + kDoubleClickMs;
  Window window = window_;
  while (clock_.ticks() < deadline) {
    XEvent event;
    if (XCheckIfEvent(display_, &event, isLeftPressOf, reinterpret_cast<XPointer>(&window))) {
      lastEventTicks_ = clock_.ticks();
      return true;
    }
    clock_.sleep(kPollMs);
  }
  return false;
}
