// The headless back end of a frame: a window that does not exist anywhere but in the test that
// drives it. Tests post the events a real window system would deliver (paint, presses, wheel,
// destruction), script the pointer through the embedded HeadlessWindow, read the cursor the frame
// asked for and set the geometry the window tree would report.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui/platform/FrameWindow.h"
#include "gui/platform/headless/HeadlessWindow.h"

class HeadlessFrameBackend;
class HeadlessFrameWindow;

// A popup that exists only for the test: its input is the script the test gave its window
// before the popup opened, and once that is used up the popup counts as closed by the system
// (so a menu's loop always ends).
class HeadlessPopupWindow final : public PopupWindow {
 public:
  HeadlessPopupWindow(HeadlessFrameWindow* owner, const GuiRect& bounds,
                      std::deque<FrameEvent> script);
  ~HeadlessPopupWindow() override;
  HeadlessPopupWindow(const HeadlessPopupWindow&) = delete;
  HeadlessPopupWindow& operator=(const HeadlessPopupWindow&) = delete;

  GuiRect bounds() const override { return bounds_; }
  void present(cairo_surface_t* image, const GuiRect& area) override;
  std::optional<FrameEvent> nextEvent() override;
  void waitForEvent(std::int32_t) override {}
  bool isOpen() const override { return open_; }

  // Called by the window when it goes away first.
  void detachFromWindow();

 private:
  HeadlessFrameWindow* owner_;
  GuiRect bounds_;
  std::deque<FrameEvent> script_;
  bool open_ = true;
};

class HeadlessFrameWindow final : public FrameWindow {
 public:
  HeadlessFrameWindow(HeadlessFrameBackend* owner, std::uintptr_t parent, std::int32_t width,
                      std::int32_t height, std::string name);
  ~HeadlessFrameWindow() override;
  HeadlessFrameWindow(const HeadlessFrameWindow&) = delete;
  HeadlessFrameWindow& operator=(const HeadlessFrameWindow&) = delete;

  GuiPoint origin() override { return pointer_.origin(); }
  void present(cairo_surface_t* backBuffer, const GuiRect& area) override;
  std::int32_t mouseButtons() override { return pointer_.mouseButtons(); }
  GuiPoint pointerPosition() override { return pointer_.pointerPosition(); }
  bool awaitSecondClick() override { return pointer_.awaitSecondClick(); }

  std::optional<FrameEvent> nextEvent(EventFilter filter) override;
  void setKeyboardInput(bool enabled) override;
  std::unique_ptr<PopupWindow> openPopup(const GuiRect& anchor, std::int32_t width,
                                         std::int32_t height) override;
  void setCursor(std::int32_t kind) override;
  std::uintptr_t nativeId() const override { return id; }
  std::optional<GuiPoint> topWindowPosition() override { return topPosition; }
  bool resizeWithAncestors(std::int32_t width, std::int32_t height) override;
  std::optional<GuiRect> parentRect() override { return parentRect_; }

  // Test side.
  HeadlessWindow& pointer() { return pointer_; }
  void postEvent(const FrameEvent& event);
  // A paint of the whole window.
  void postPaint();
  void postPress(GuiPoint where, std::int32_t button = 1);
  void postWheel(GuiPoint where, float distance);
  void postDestroyed();
  // A drop as the window system hands it on: file names, or one item holding the text.
  void postDrop(GuiPoint where, std::int32_t type, std::vector<std::string> items);
  // A key press, text typed as one key press per UTF-8 character, the loss of keyboard focus.
  void postKey(const KeyInput& key);
  void postText(const char* utf8);
  void postFocusLost();
  std::size_t pendingEvents() const { return events_.size(); }
  // Whether a text field has the keyboard now, and how often it was taken.
  bool hasKeyboardInput() const { return keyboardInput; }
  std::int32_t keyboardGrants() const { return keyboardGrants_; }

  // What the next popup will receive, in order. Positions are popup coordinates.
  void scriptPopup(std::vector<FrameEvent> events);
  // Every popup opened so far: where it was asked for, where it was put, whether it is still
  // open, how often it was presented.
  struct PopupRecord {
    GuiRect anchor;
    GuiRect bounds;
    bool open = true;
    std::int32_t presents = 0;
  };
  const std::vector<PopupRecord>& popups() const { return popups_; }
  // The size of the screen around the window, for placing popups (1280 x 1024 unless set).
  void setScreen(const GuiRect& screen) { screen_ = screen; }

  std::uintptr_t parent() const { return parent_; }
  const std::string& name() const { return name_; }
  std::int32_t width() const { return width_; }
  std::int32_t height() const { return height_; }
  // The last cursor kind set, kCursorDefault at first.
  std::int32_t cursor() const { return cursor_; }
  std::int32_t cursorChanges() const { return cursorChanges_; }
  std::int32_t presentCount() const { return pointer_.presentCount(); }
  GuiRect presentedArea() const { return presented; }  // union of everything presented
  void setTopWindowPosition(std::optional<GuiPoint> position) { topPosition = position; }
  void setParentRect(std::optional<GuiRect> rect) { parentRect_ = rect; }
  // Called by the backend when it goes away first.
  void detachFromBackend() { owner_ = nullptr; }
  // Called by a popup when it is presented and when it closes.
  void popupPresented() { ++popups_.back().presents; }
  void popupClosed(HeadlessPopupWindow* popup);

 private:
  HeadlessFrameBackend* owner_;
  std::uintptr_t parent_;
  std::uintptr_t id;
  std::int32_t width_;
  std::int32_t height_;
  std::string name_;
  HeadlessWindow pointer_;
  std::deque<FrameEvent> events_;
  std::int32_t cursor_ = kCursorDefault;
  std::int32_t cursorChanges_ = 0;
  GuiRect presented{};
  std::optional<GuiPoint> topPosition = GuiPoint{0, 0};
  std::optional<GuiRect> parentRect_;
  bool keyboardInput = false;
  std::int32_t keyboardGrants_ = 0;
  std::deque<FrameEvent> popupScript;
  std::vector<PopupRecord> popups_;
  HeadlessPopupWindow* openPopup_ = nullptr;
  GuiRect screen_{0, 0, 1280, 1024};
};

// Makes headless frame windows on a manual clock. The window most recently made (and still
// alive) is at hand for the test; creation can be made to fail.
class HeadlessFrameBackend final : public FrameBackend {
 public:
  HeadlessFrameBackend() = default;
  ~HeadlessFrameBackend() override;
  HeadlessFrameBackend(const HeadlessFrameBackend&) = delete;
  HeadlessFrameBackend& operator=(const HeadlessFrameBackend&) = delete;

  std::unique_ptr<FrameWindow> createChild(std::uintptr_t parent, std::int32_t width,
                                           std::int32_t height, const char* name) override;
  PlatformClock& clock() override { return clock_; }

  ManualClock& manualClock() { return clock_; }
  // The next createChild calls answer null while this is set.
  void setRefuseWindows(bool refuse) { refuse_ = refuse; }
  // The most recently created window that is still alive, else null.
  HeadlessFrameWindow* lastWindow() const { return live.empty() ? nullptr : live.back(); }
  std::int32_t liveWindows() const { return static_cast<std::int32_t>(live.size()); }
  std::int32_t createdWindows() const { return created; }

 private:
  friend class HeadlessFrameWindow;
  void windowGone(HeadlessFrameWindow* window);

  ManualClock clock_;
  bool refuse_ = false;
  std::vector<HeadlessFrameWindow*> live;  // in creation order
  std::int32_t created = 0;
};
