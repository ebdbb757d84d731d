// The seam between a frame and its native window: what a GuiFrame needs beyond drawing and
// pointer polling (PlatformWindow). A back end creates the frame's child window inside the host's
// window, hands the frame its input as plain event values (paint, button press, wheel, keys for
// an open text field, destruction), opens popups (menus), sets cursors and answers the
// window-geometry questions. The X11 back end
// (x11/) is the plug-in's; the headless back end (headless/) is driven by tests. No platform
// header is included here.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "gui/GuiTypes.h"
#include "gui/platform/FrameEvent.h"
#include "gui/platform/PlatformWindow.h"
#include "gui/platform/PopupWindow.h"

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
  // The frame has finished handling the last press nextEvent gave it (the control's tracking
  // loop is over): from now on the pointer queries report the live state again.
  virtual void pressDispatched() {}
  // While enabled (a text field is open) the window has the keyboard focus and nextEvent also
  // delivers key presses and the loss of the focus; disabling gives the focus back to where it
  // was, if the window still has it.
  virtual void setKeyboardInput(bool enabled) = 0;
  // A popup of width x height next to `anchor` (a rectangle in this window's coordinates): below
  // it where the screen allows, else above it, moved sideways to stay on the screen. Null when
  // it cannot be made. The popup must not outlive this window; if it does, it is closed.
  virtual std::unique_ptr<PopupWindow> openPopup(const GuiRect& anchor, std::int32_t width,
                                                 std::int32_t height) = 0;

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
