// The seam between a frame and its native window: what a GuiFrame needs beyond drawing and
// pointer polling (PlatformWindow). A back end creates the frame's child window inside the host's
// window, hands the frame its input as plain event values (paint, button press, wheel,
// destruction), sets cursors and answers the window-geometry questions. The X11 back end
// (x11/) is the plug-in's; the headless back end (headless/) is driven by tests. No platform
// header is included here.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "gui/GuiTypes.h"
#include "gui/platform/PlatformWindow.h"

// Cursor shapes of GuiFrame::setCursor. Kind 0 goes back to the window's default cursor.
enum CursorKind : std::int32_t {
  kCursorDefault = 0,
  kCursorWait = 1,
  kCursorHorizontalResize = 2,
  kCursorVerticalResize = 3,
  kCursorMove = 4,
  kCursorDiagonalRising = 5,   // resize, rising to the right
  kCursorDiagonalFalling = 6,  // resize, falling to the right
};

// One input event of a frame window, in the window's own coordinates.
struct FrameEvent {
  enum class Kind {
    paint,        // the window needs a full redraw; `area` is what the system lost
    buttonPress,  // buttons 1 (left), 2 (middle) or 3 (right) at `where`
    wheel,        // one wheel step: `distance` +1 (away from the user) or -1
    destroyed,    // the native window is gone
  };
  Kind kind = Kind::paint;
  GuiPoint where{};
  std::int32_t button = 0;
  float distance = 0.0f;
  GuiRect area{};
};

// Which pending events nextEvent may take. During a control's mouse-tracking loop only paint and
// destruction are handled; presses stay queued until the loop is over, as on every desktop.
enum class EventFilter { all, paintOnly };

class FrameWindow : public PlatformWindow {
 public:
  // The next pending event the filter allows, without waiting; nullopt when there is none.
  virtual std::optional<FrameEvent> nextEvent(EventFilter filter) = 0;
  // Shows one of the CursorKind shapes over the window; other kinds change nothing.
  virtual void setCursor(std::int32_t kind) = 0;
  // The native window id (on X11 the window), for hosts and tests.
  virtual std::uintptr_t nativeId() const = 0;

  // Geometry of the windows around the frame window (see GuiFrame). Each answers nullopt or false
  // when the window tree cannot be read.
  //   topWindowPosition: position of the host's top window (found by walking up) in its parent.
  //   resizeWithAncestors: the frame window becomes width x height, and the host windows above it
  //     grow or shrink with it as long as they wrap it closely.
  //   parentRect: the parent's rectangle in the coordinates of the parent's parent.
  virtual std::optional<GuiPoint> topWindowPosition() = 0;
  virtual bool resizeWithAncestors(std::int32_t width, std::int32_t height) = 0;
  virtual std::optional<GuiRect> parentRect() = 0;
};

// Makes frame windows and tells the time. Whoever makes an editor or a frame hands it its back
// end (the plug-in the X11 one, tests the headless one); it is held by reference and must
// outlive them.
class FrameBackend {
 public:
  virtual ~FrameBackend() = default;
  // A visible child window of `parent` at (0, 0) with the given size, named `name` (window name
  // and class). Null when the parent is not a window or the window cannot be made.
  virtual std::unique_ptr<FrameWindow> createChild(std::uintptr_t parent, std::int32_t width,
                                                   std::int32_t height, const char* name) = 0;
  virtual PlatformClock& clock() = 0;
};
