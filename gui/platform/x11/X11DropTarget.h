// The drop target of a frame window: the receiving side of the XDND protocol, version 5. The
// window is marked XdndAware; XdndEnter, XdndPosition, XdndLeave and XdndDrop from a drag source
// are answered (XdndStatus: copy while Control is held, else move, nothing when the offered types
// hold neither a file list nor text), the dropped data is fetched by converting the XdndSelection
// (incrementally when the source sends it in parts) and handed on as a plain FrameEvent, and the
// source gets its XdndFinished. The transfer never waits: its events arrive with the window's
// other events, and a source that stops answering is given up after a time-out, so a silent or
// vanished source can never hold the host.
//
// Sources find this window when they look for the deepest XdndAware window under the pointer, or
// when the top-level window holding it names it as its XdndProxy; a source that stops at a
// top-level window without the proxy talks to that window's owner instead. Replies carry the
// window the source addressed (the proxying top-level or this one), as sources expect.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "gui/platform/FrameWindow.h"

class X11Window;
typedef struct _XDisplay Display;
typedef union _XEvent XEvent;

class X11DropTarget {
 public:
  static constexpr long kProtocolVersion = 5;
  // How long the source may take to hand over the data (and each part of it).
  static constexpr std::int64_t kTransferTimeoutMs = 3000;
  // More dropped data than this is refused.
  static constexpr std::size_t kMaxTransferBytes = 16u << 20;

  // Marks `window` XdndAware and asks for the property events that transfers in parts need.
  // The window must outlive the target.
  explicit X11DropTarget(X11Window& window);
  // Tells a source still waiting that its drop failed, and takes the mark off the window unless
  // the window is gone.
  ~X11DropTarget();
  X11DropTarget(const X11DropTarget&) = delete;
  X11DropTarget& operator=(const X11DropTarget&) = delete;

  bool registered() const { return registered_; }
  // The window was destroyed: nothing more is asked of it.
  void windowGone() { windowGone_ = true; }
  void setTransferTimeout(std::int64_t milliseconds) { transferTimeoutMs = milliseconds; }

  // Whether `event` belongs to a drag and drop exchange with this target's window (XDND messages
  // may name a top-level window that proxies to it).
  bool takes(const XEvent& event) const;
  // Handles such an event; a completed drop comes back as a FrameEvent of kind drop, in window
  // coordinates.
  std::optional<FrameEvent> handle(const XEvent& event);
  // Gives up a transfer whose source has not answered in time.
  void expire();

 private:
  enum class Phase { idle, dragging, converting, incremental };
  struct Drag {
    unsigned long source = 0;
    unsigned long addressee = 0;  // the window the source sends to: this one or its proxy owner
    long version = 0;
    unsigned long type = 0;  // the data type to ask for; 0 when none offered is usable
    GuiPoint where{};        // last pointer position, window coordinates
    bool positioned = false;
  };

  void onEnter(unsigned long addressee, const long* data);
  void onPosition(const long* data);
  void onLeave(const long* data);
  void onDrop(unsigned long addressee, const long* data);
  std::optional<FrameEvent> onSelection(unsigned long property);
  std::optional<FrameEvent> onPart();
  std::optional<FrameEvent> deliver();
  unsigned long chooseType(const long* data) const;
  bool controlHeld();
  void sendToSource(unsigned long source, unsigned long addressee, unsigned long messageType,
                    long l1, long l2, long l3, long l4);
  void finish(bool success);
  // Appends the data property to data_ (and deletes it); false on failure or when too much.
  bool readData(bool& incremental);

  X11Window& nativeWindow;
  Display* display_;
  unsigned long window_;
  bool registered_ = false;
  bool windowGone_ = false;
  std::int64_t transferTimeoutMs = kTransferTimeoutMs;
  std::string localHost;

  Phase phase = Phase::idle;
  Drag drag;
  std::string data_;
  std::int64_t deadline = 0;

  struct Atoms {
    unsigned long aware, enter, position, status, leave, drop, finished, selection, typeList,
        actionCopy, actionMove, uriList, plainUtf8, utf8String, plain, incr, property;
  } atoms_{};
};
