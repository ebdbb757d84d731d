// Back buffer to X window: XPutImage of the buffer's own words, or a cairo-xlib surface.
#include "gui/platform/x11/X11Cairo.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo-xlib.h>
#include <cairo.h>

#include <algorithm>
#include <bit>

#include "gui/platform/x11/X11Display.h"

namespace {

// Whether the window keeps pixels as 0x00RRGGBB words, like a 24-bit image surface.
bool storesPixelsLikeTheBackBuffer(const Visual* visual, int depth) {
  return depth == 24 && visual->c_class == TrueColor && visual->red_mask == 0xff0000 &&
         visual->green_mask == 0x00ff00 && visual->blue_mask == 0x0000ff;
}

}  // namespace

X11CairoPainter::X11CairoPainter(Display* display, unsigned long window, void* visual, int depth,
                                 std::int32_t width, std::int32_t height)
    : display_(display),
      window_(window),
      visual_(visual),
      directUpload(storesPixelsLikeTheBackBuffer(static_cast<Visual*>(visual), depth)),
      width_(width),
      height_(height) {}

X11CairoPainter::~X11CairoPainter() {
  if (surface_) cairo_surface_destroy(surface_);
  if (!gc) return;
  X11ErrorTrap trap(display_);
  XFreeGC(display_, static_cast<GC>(gc));
}

void X11CairoPainter::setSize(std::int32_t width, std::int32_t height) {
  width_ = std::max(width, 1);
  height_ = std::max(height, 1);
  if (surface_) cairo_xlib_surface_set_size(surface_, width_, height_);
}

bool X11CairoPainter::paint(cairo_surface_t* backBuffer, const GuiRect& area) {
  if (!backBuffer || area.isEmpty()) return true;
  const GuiRect bounds{0, 0, cairo_image_surface_get_width(backBuffer),
                       cairo_image_surface_get_height(backBuffer)};
  const GuiRect visible = area.intersect(bounds);
  if (visible.isEmpty()) return true;
  X11ErrorTrap trap(display_);
  cairo_surface_flush(backBuffer);
  const bool direct =
      directUpload && cairo_image_surface_get_format(backBuffer) == CAIRO_FORMAT_RGB24;
  if (direct) {
    putPixels(backBuffer, visible);
  } else {
    paintThroughCairo(backBuffer, visible);
  }
  return !trap.failed();
}

void X11CairoPainter::putPixels(cairo_surface_t* backBuffer, const GuiRect& area) {
  if (!gc) gc = XCreateGC(display_, window_, 0, nullptr);
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
  XPutImage(display_, window_, static_cast<GC>(gc), image, area.left, area.top, area.left, area.top,
            static_cast<unsigned int>(area.width()), static_cast<unsigned int>(area.height()));
  image->data = nullptr;  // the pixels belong to the back buffer
  XDestroyImage(image);
}

void X11CairoPainter::paintThroughCairo(cairo_surface_t* backBuffer, const GuiRect& area) {
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
