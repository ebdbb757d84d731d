// A popup window (the choice menu's list): a borderless window of its own above everything,
// which takes the pointer and keyboard while it is open, so that a click anywhere outside it is
// seen (and closes the menu). Its owner draws it by presenting an image and reads its input as
// FrameEvents in the popup's own coordinates: paint, button press and release, motion (also
// outside the popup) and keys. Destroying the object closes the window and ends the grabs.
#pragma once

#include <cstdint>
#include <optional>

#include "gui/GuiTypes.h"
#include "gui/platform/FrameEvent.h"

typedef struct _cairo_surface cairo_surface_t;

class PopupWindow {
 public:
  virtual ~PopupWindow() = default;

  // The popup's place relative to the frame window that opened it, and its size.
  virtual GuiRect bounds() const = 0;
  // Copies `area` (popup coordinates) of `image`, which is as large as the popup, onto it.
  virtual void present(cairo_surface_t* image, const GuiRect& area) = 0;
  // The next pending event, without waiting; nullopt when there is none.
  virtual std::optional<FrameEvent> nextEvent() = 0;
  // Waits up to `milliseconds` for an event (for loops with nothing else that sleeps).
  virtual void waitForEvent(std::int32_t milliseconds) = 0;
  // False once the window is gone (closed by the system, or its frame window went away).
  virtual bool isOpen() const = 0;
};
