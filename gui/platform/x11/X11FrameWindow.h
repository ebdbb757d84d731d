// The X11 back end of a frame: each frame window has its own connection to the X server and a
// child window of the host's window on it. Events are read without blocking whenever the frame is
// given time and turned into FrameEvents; every request that can fail on a bad or vanished window
// is trapped, so that nothing the host does with its windows can end the process.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "gui/platform/FrameWindow.h"
#include "gui/platform/x11/X11PressTracker.h"

class X11Display;
class X11DropTarget;
class X11PopupWindow;
class X11Window;
typedef union _XEvent XEvent;
typedef struct _XIM* XIM;
typedef struct _XIC* XIC;

class X11FrameWindow final : public FrameWindow {
 public:
  // Opens a connection to `displayName` (null: $DISPLAY) and creates the child window there.
  // Null when there is no display or `parent` is not a window of it.
  static std::unique_ptr<X11FrameWindow> create(const char* displayName, std::uintptr_t parent,
                                                std::int32_t width, std::int32_t height,
                                                const char* name);
  // Destroys the window (unless it is already gone), then closes the connection.
  ~X11FrameWindow() override;
  X11FrameWindow(const X11FrameWindow&) = delete;
  X11FrameWindow& operator=(const X11FrameWindow&) = delete;

  GuiPoint origin() override;
  void present(cairo_surface_t* backBuffer, const GuiRect& area) override;
  std::int32_t mouseButtons() override;
  GuiPoint pointerPosition() override;
  bool awaitSecondClick() override;

  std::optional<FrameEvent> nextEvent(EventFilter filter) override;
  void setCursor(std::int32_t kind) override;
  std::uintptr_t nativeId() const override;
  void pressDispatched() override { press_.end(); }
  void setKeyboardInput(bool enabled) override;
  std::unique_ptr<PopupWindow> openPopup(const GuiRect& anchor, std::int32_t width,
                                         std::int32_t height) override;
  std::optional<GuiPoint> topWindowPosition() override;
  bool resizeWithAncestors(std::int32_t width, std::int32_t height) override;
  std::optional<GuiRect> parentRect() override;
  bool acceptsDrops() const override;
  std::uintptr_t dialogOwner() override;

  // The window's XDND drop target (for tests: its transfer time-out).
  X11DropTarget* dropTarget() const { return dropTarget_.get(); }
  // How many of the live button queries during presses waited for the pointer (for tests).
  std::uint64_t pacedWaits() const;

 private:
  X11FrameWindow(std::unique_ptr<X11Display> display, std::unique_ptr<X11Window> window);
  void freeCursors();
  // Key presses and focus loss while keyboard input is on (X11FrameInput.cpp).
  std::optional<FrameEvent> keyboardEvent(XEvent& event);
  void makeInputContext();
  void releaseInput();

  std::unique_ptr<X11Display> display_;
  std::unique_ptr<X11Window> window_;
  std::unique_ptr<X11DropTarget> dropTarget_;
  GuiRect pendingExpose{};        // exposed area gathered until the last Expose of a series
  unsigned long cursors[7] = {};  // font cursors made on first use, by CursorKind
  bool gone = false;              // DestroyNotify seen: no more requests for the window
  X11PressTracker press_;         // pointer state while a press is being handled
  bool keyboardInput = false;     // a text field is open
  unsigned long focusBefore = 0;  // who had the focus before the field took it
  XIM inputMethod = nullptr;      // for UTF-8 text from key presses, made on first use
  XIC inputContext = nullptr;
  X11PopupWindow* popup = nullptr;  // the open popup, closed if it would outlive us
};

// The plug-in's back end: frames on X11 windows of $DISPLAY, the steady clock. One serves any
// number of frames.
class X11FrameBackend final : public FrameBackend {
 public:
  std::unique_ptr<FrameWindow> createChild(std::uintptr_t parent, std::int32_t width,
                                           std::int32_t height, const char* name) override;
  PlatformClock& clock() override { return clock_; }

 private:
  SystemClock clock_;
};
