// The X11 back end's window: a native window on our own connection, presented by copying the
// back buffer's pixels to it (X11Cairo), with the pointer polled through XQueryPointer. Every
// request that can fail on a bad or vanished window is trapped, so that a host's bad window id
// never ends the process. The controls' tracking loops poll the pointer without pause; during a
// press the window paces them (pacedMouseButtons), so that a held button costs no more than the
// pointer's own motion asks for.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "gui/platform/PlatformWindow.h"

class X11CairoPainter;
class X11Display;
typedef struct _XDisplay Display;

class X11Window final : public PlatformWindow {
 public:
  // Double-click time of the toolkit (X11 has no system-wide setting for it).
  static constexpr std::int32_t kDoubleClickMs = 500;
  // Longest wait of a paced button query for the pointer to change: a loop held still polls at
  // most about 200 times a second, faster than any hand but far from a spinning core.
  static constexpr std::int32_t kPaceMs = 5;

  // MouseState bits of an X button and modifier mask.
  static std::int32_t mouseStateOf(unsigned int mask);

  // Creates a width x height child window of `parent` at (0, 0), selecting exposure, button
  // press and structure events, named `name` (window name and class; may be null), mapped and
  // flushed. Null when the parent is not a window or the window cannot be made. `display`
  // must outlive the window.
  static std::unique_ptr<X11Window> createChild(X11Display& display, unsigned long parent,
                                                std::int32_t width, std::int32_t height,
                                                const char* name);
  // Wraps an existing window of `display` without taking it over; null if it is not a window.
  static std::unique_ptr<X11Window> wrap(X11Display& display, unsigned long window);
  // Destroys the window if createChild made it.
  ~X11Window() override;
  X11Window(const X11Window&) = delete;
  X11Window& operator=(const X11Window&) = delete;

  unsigned long id() const { return window_; }
  Display* display() const { return display_; }
  // Tells the window surface about a new size of the window.
  void setSize(std::int32_t width, std::int32_t height);
  // The window has been destroyed behind our back: from now on nothing is sent to the server.
  void markDestroyed() { destroyed = true; }
  bool isDestroyed() const { return destroyed; }
  // When an event of this window was dispatched (steady-clock milliseconds): the start of the
  // double-click time. Without one, the double-click time counts from the query itself.
  void noteEventTime(std::int64_t ticks) { lastEventTicks = ticks; }

  GuiPoint origin() override;
  void present(cairo_surface_t* backBuffer, const GuiRect& area) override;
  std::int32_t mouseButtons() override;
  GuiPoint pointerPosition() override;
  bool awaitSecondClick() override;

  // mouseButtons for a tracking loop during a press: when the pointer reads exactly as at the
  // previous query (position, buttons and modifiers), it first waits up to kPaceMs for something
  // to happen (the server reports motion with a button held, presses and releases) and then
  // answers what it finds. Motion is answered at once.
  std::int32_t pacedMouseButtons();
  // A new press starts: the next paced query compares with nothing and answers at once.
  void forgetPointer() { lastPointer.reset(); }
  // How many paced queries have waited so far (for tests).
  std::uint64_t pacedWaits() const { return pacedWaits_; }

 private:
  struct Pointer {
    GuiPoint root;
    unsigned int mask = 0;
    friend bool operator==(const Pointer&, const Pointer&) = default;
  };

  X11Window(Display* display, unsigned long window, void* visual, int depth, std::int32_t width,
            std::int32_t height, bool owned);
  std::optional<Pointer> queryPointer();
  // Takes the queued motion reports of the window off the queue; true when any was there or a
  // press, release or destruction of the window is queued (those stay queued).
  bool takeQueuedActivity();
  // Waits up to `milliseconds` for such activity to arrive; true when it did.
  bool awaitActivity(std::int32_t milliseconds);

  Display* display_;
  unsigned long window_;
  std::unique_ptr<X11CairoPainter> painter;  // goes before the window
  bool owned_;
  bool destroyed = false;
  std::optional<std::int64_t> lastEventTicks;
  std::optional<Pointer> lastPointer;  // the answer of the last pointer query
  std::uint64_t pacedWaits_ = 0;
  SystemClock clock_;
};
