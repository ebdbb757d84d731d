// GuiFrame: the root of the panel. A frame is bound to a native child window of the host's
// window (or, in own-window mode, to a window the host opens for it) and owns a flat, ordered list
// of views: later views lie on top. It draws through a back buffer the size of the frame: a full
// draw (background bitmap, then every view, then the modal view) when the window asks for paint,
// and an incremental update of the dirty views when it is given idle time. Mouse presses go to the
// topmost enabled view under the pointer; a modal view takes every press inside it and drops the
// rest; a focus view loses its focus on the next press.
//
// Everything runs on the host's user-interface thread. The window's events are read, without
// blocking, whenever the frame gets idle time (see idle and handleEvents).
#pragma once

#include <cstdint>
#include <memory>

#include "gui/GuiView.h"
#include "gui/platform/FrameWindow.h"

class DrawSurface;
class EditorBase;
class KeyboardTarget;
class GuiBitmap;
struct VstWindow;

class GuiFrame : public GuiView {
 public:
  // Embedded mode: creates the frame's child window inside `systemWindow` at once. When that
  // fails (no display, a bad window id) the frame is closed from the start: isWindowOpen() is
  // false and every window operation does nothing. `backend` makes the window and must outlive
  // the frame.
  GuiFrame(const GuiRect& size, void* systemWindow, EditorBase* editor, FrameBackend& backend);
  // Own-window mode: no window until openWindow asks the host for one. `title` (up to 127
  // bytes) and `style` go into the window-request block.
  GuiFrame(const GuiRect& size, const char* title, EditorBase* editor, std::int32_t style,
           FrameBackend& backend);
  // Restores the cursor, releases every view and the background, destroys the window and, in
  // own-window mode, asks the host to close its window.
  ~GuiFrame() override;

  void draw(DrawContext* context) override;
  void onMouseDown(DrawContext* context, GuiPoint where) override;
  void update(DrawContext* context) override;
  bool onDrop(void** items, std::int32_t count, std::int32_t type, GuiPoint where) override;
  bool onWheel(DrawContext* context, GuiPoint where, float distance) override;

  // Appends the view and takes over the caller's reference. False (the reference stays with the
  // caller) for null, the frame itself, a view already in the list, or when memory runs out.
  virtual bool addView(GuiView* view);
  // Takes the view out (releasing it if asked); true whether or not it was there. A view taken
  // out has no frame any more.
  virtual bool removeView(GuiView* view, bool withRelease = true);
  virtual bool removeAll(bool withRelease = true);
  virtual bool containsView(GuiView* view) const;

  // Retains the new background, releases the old one.
  void setBackground(GuiBitmap* bitmap);
  GuiBitmap* getBackground() const { return background; }

  // Handles pending window events, then redraws what is dirty. Nothing is drawn before the first
  // paint of the window or once the window is gone.
  void idle();
  // Draws one view of the list on the window at once, or everything when `view` is null or not
  // in the list.
  void drawView(GuiView* view);
  // The pointer's position relative to the frame window.
  void getCursorInFrame(GuiPoint& where);
  // The last view of the list whose rectangle holds the pointer, or null.
  GuiView* findViewAt();
  // One of the CursorKind shapes; other kinds change nothing.
  void setCursor(std::int32_t kind);
  // The previous focus view, if any, loses its focus.
  void setFocusView(GuiView* view);
  GuiView* getFocusView() const { return focusView; }
  // The receiver of the window's key presses (an open text field), null for none; while there
  // is one the window holds the keyboard focus.
  void setKeyboardTarget(KeyboardTarget* target);
  KeyboardTarget* getKeyboardTarget() const { return keyboardTarget; }
  // Refused (false) when a view is given while another one is modal; null clears.
  bool setModalView(GuiView* view);
  GuiView* getModalView() const { return modalView; }
  // The host's automation bracket for a user gesture on the control with `tag`.
  void beginEdit(std::int32_t tag);
  std::int32_t endEdit(std::int32_t tag);

  // Window geometry (not used by the panel). All answer false when the window is gone.
  using GuiView::getSize;
  using GuiView::setSize;
  bool setSize(std::int32_t width, std::int32_t height);
  bool getPosition(std::int32_t& x, std::int32_t& y);
  bool getSize(GuiRect& rect);

  // Own-window mode only.
  bool openWindow(GuiPoint position);
  void closeWindow();

  // Reads and handles the pending events of the window: paint (full draw), presses, wheel
  // steps, destruction. While a press is being handled (a control's tracking loop), only paint
  // and destruction are taken. handleOnePendingPaint takes at most one paint.
  void handleEvents();
  bool handleOnePendingPaint();

  // True when idle would draw: a modal view exists, or the frame or any view is dirty.
  bool needsDrawing() const;

  EditorBase* getEditor() const { return editor; }
  void* getSystemWindow() const { return systemWindow; }
  bool isWindowOpen() const { return isOpen; }
  bool isFirstDrawPending() const { return firstDrawPending; }
  bool isOwnWindowMode() const { return ownWindowMode; }
  bool isDropRegistered() const { return dropRegistered; }
  std::int32_t getViewCount() const { return viewCount; }
  GuiView* getView(std::int32_t index) const;
  // The frame's window (null when there is none) and back buffer, for back ends and tests.
  FrameWindow* getPlatformWindow() const { return window.get(); }
  DrawSurface* getBackBuffer() const { return backBuffer.get(); }

  // The process-wide window-class name, "Plugin" and eight hex digits of an address inside this
  // library, and the number of frames using it (it exists while that number is above 0).
  static const char* windowClassName();
  static std::int32_t windowClassUsers();

 private:
  // Marks an operation on the stack that calls out of the toolkit: a press runs a control's
  // tracking loop, which gives the host idle time, and the host may destroy the frame then (it
  // closes the editor). The destructor tells every such operation, which then touches nothing
  // of the frame, and hands the window and back buffer to the outermost one, so that the drawing
  // context of the running press stays valid until it ends.
  class CallGuard {
   public:
    explicit CallGuard(GuiFrame& frame);
    ~CallGuard();
    CallGuard(const CallGuard&) = delete;
    CallGuard& operator=(const CallGuard&) = delete;
    bool frameGone() const { return frameGone_; }

   private:
    friend class GuiFrame;
    GuiFrame* frame_;
    CallGuard* outer;
    bool frameGone_ = false;
    std::unique_ptr<FrameWindow> keptWindow;
    std::unique_ptr<DrawSurface> keptBuffer;
  };

  void createWindow(std::uintptr_t parent);
  void dispatchEvent(const FrameEvent& event);
  void paintWindow(const GuiRect& area);
  void pressAt(GuiPoint where);

  EditorBase* editor;
  void* systemWindow;
  GuiBitmap* background = nullptr;
  std::int32_t viewCount = 0;
  std::int32_t viewCapacity = 0;
  std::unique_ptr<GuiView*[]> views;
  GuiView* modalView = nullptr;
  GuiView* focusView = nullptr;
  bool firstDrawPending = true;
  bool isOpen = true;
  bool dropRegistered = false;
  std::unique_ptr<FrameWindow> window;
  bool ownWindowMode = false;
  std::unique_ptr<VstWindow> windowInfo;
  bool cursorChanged = false;  // setCursor was called: the default is restored at the end

  FrameBackend& backend;
  std::unique_ptr<DrawSurface> backBuffer;
  void* hostWindow = nullptr;       // own-window mode: the window the host opened
  std::int32_t pressDepth = 0;      // presses being handled (tracking loops running)
  CallGuard* callGuards = nullptr;  // innermost running operation that calls out
  KeyboardTarget* keyboardTarget = nullptr;
};
