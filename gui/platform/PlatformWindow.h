// The seam between the toolkit and the platform. Drawing contexts and, above them, frames and
// controls talk to a window only through PlatformWindow, and to time only through PlatformClock;
// the X11 back end (x11/) and the headless back end (headless/) implement both. No platform
// header is included here.
#pragma once

#include <cstdint>

#include "gui/GuiTypes.h"

typedef struct _cairo_surface cairo_surface_t;

// A native window (or its stand-in) that a frame draws into. All operations are called on the
// user-interface thread only.
class PlatformWindow {
 public:
  virtual ~PlatformWindow() = default;

  // Screen position of the window's top-left corner; (0, 0) when it cannot be read.
  virtual GuiPoint origin() = 0;

  // Copies `area` (back-buffer pixels, which are the window's pixels) of `backBuffer` onto the
  // window. `backBuffer` is an image surface the size of the frame.
  virtual void present(cairo_surface_t* backBuffer, const GuiRect& area) = 0;

  // The live state of the pointer buttons and modifier keys, as MouseState bits.
  virtual std::int32_t mouseButtons() = 0;

  // The pointer's live position in screen coordinates.
  virtual GuiPoint pointerPosition() = 0;

  // True when a left-button press for this window arrives (and is taken) before the double-click
  // time has passed since the last event; false at once when that time is already over.
  virtual bool awaitSecondClick() = 0;
};

// Milliseconds and short sleeps, for idle throttling and double-click timing.
class PlatformClock {
 public:
  virtual ~PlatformClock() = default;
  virtual std::int64_t ticks() = 0;
  virtual void sleep(std::int32_t milliseconds) = 0;
};

// The real clock: a monotonic millisecond count and a real sleep.
class SystemClock final : public PlatformClock {
 public:
  std::int64_t ticks() override;
  void sleep(std::int32_t milliseconds) override;
};
