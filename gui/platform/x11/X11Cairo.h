// The X11 drawing glue: puts pixels of the frame's cairo back buffer onto an X window. On the
// usual 24-bit true-colour visual the pixels go as they are, with XPutImage; any other visual goes
// through a cairo-xlib surface, which converts. (The direct copy also avoids the shared-memory
// path of cairo-xlib, which leaks a little per connection.)
#pragma once

#include <cstdint>

#include "gui/GuiTypes.h"

typedef struct _XDisplay Display;
typedef struct _cairo_surface cairo_surface_t;

class X11CairoPainter {
 public:
  // For `window` of `display` with the window's visual and depth, sized width x height. Nothing
  // is sent to the server until the first paint.
  X11CairoPainter(Display* display, unsigned long window, void* visual, int depth,
                  std::int32_t width, std::int32_t height);
  // Frees the cairo-xlib surface and the graphics context, if they were made. Call it while the
  // window still exists.
  ~X11CairoPainter();
  X11CairoPainter(const X11CairoPainter&) = delete;
  X11CairoPainter& operator=(const X11CairoPainter&) = delete;

  // The window's new size.
  void setSize(std::int32_t width, std::int32_t height);
  // Copies `area` of `backBuffer` (an image surface whose pixels are the window's pixels), cut to
  // the back buffer, onto the window. False when the server refused a request (the window may
  // be gone); true otherwise, also when there was nothing to copy.
  bool paint(cairo_surface_t* backBuffer, const GuiRect& area);

 private:
  void putPixels(cairo_surface_t* backBuffer, const GuiRect& area);
  void paintThroughCairo(cairo_surface_t* backBuffer, const GuiRect& area);

  Display* display_;
  unsigned long window_;
  void* visual_;
  bool directUpload;  // the visual stores pixels exactly as the back buffer does
  std::int32_t width_;
  std::int32_t height_;
  void* gc = nullptr;
  cairo_surface_t* surface_ = nullptr;
};
