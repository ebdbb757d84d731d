// The X11 popup: an override-redirect top-level window on the frame's own connection, placed
// next to an anchor in the frame window and kept on the screen, which grabs the pointer and the
// keyboard while it is open, so that presses outside it are reported to it (in its coordinates)
// and keys reach it whatever has the focus. Presenting copies the owner's image like a frame
// window does. Destroying it ends the grabs and destroys the window.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "gui/platform/PopupWindow.h"

class X11Display;
class X11Window;

class X11PopupWindow final : public PopupWindow {
 public:
  // Null when the window cannot be made. `slot`, if given, is set to the popup and cleared when
  // the popup goes; the owner uses it to close a popup that would outlive its connection.
  static std::unique_ptr<X11PopupWindow> open(X11Display& display, unsigned long frameWindow,
                                              const GuiRect& anchor, std::int32_t width,
                                              std::int32_t height, X11PopupWindow** slot);
  ~X11PopupWindow() override;
  X11PopupWindow(const X11PopupWindow&) = delete;
  X11PopupWindow& operator=(const X11PopupWindow&) = delete;

  GuiRect bounds() const override { return bounds_; }
  void present(cairo_surface_t* image, const GuiRect& area) override;
  std::optional<FrameEvent> nextEvent() override;
  void waitForEvent(std::int32_t milliseconds) override;
  bool isOpen() const override { return open_; }

  // Closes the window now; the object stays, closed, until its owner lets it go.
  void close();
  // The frame window that opened the popup is going away (with the connection): close now and
  // leave its slot alone from now on.
  void ownerGone() {
    close();
    slot_ = nullptr;
  }
  unsigned long id() const;

 private:
  X11PopupWindow(X11Display& display, std::unique_ptr<X11Window> window, const GuiRect& bounds,
                 X11PopupWindow** slot);
  void grabInput();

  X11Display& display_;
  std::unique_ptr<X11Window> window_;
  GuiRect bounds_;
  X11PopupWindow** slot_;
  bool open_ = true;
  GuiRect pendingExpose{};
};
