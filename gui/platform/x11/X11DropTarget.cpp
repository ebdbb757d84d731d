// XDND version 5, receiving side. Message layouts (32-bit data words):
//   XdndEnter    l0 source, l1 version << 24 | 1 when XdndTypeList holds more than three types,
//                l2..l4 the first three types;
//   XdndPosition l0 source, l2 root x << 16 | root y, l3 time, l4 the action asked for;
//   XdndStatus   l0 target, l1 bit 0 accepted, bit 1 "send every position", l2/l3 a rectangle
//                needing no further positions (none here), l4 the action taken;
//   XdndLeave    l0 source;  XdndDrop l0 source, l2 time;
//   XdndFinished l0 target, l1 bit 0 success, l2 the action performed.
// File lists are preferred over text when a source offers both: file managers offer their paths
// as text too, and a file drop must arrive as file names.
#include "gui/platform/x11/X11DropTarget.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <array>
#include <utility>
#include <vector>

#include "gui/platform/DropData.h"
#include "gui/platform/x11/X11Display.h"
#include "gui/platform/x11/X11Window.h"

namespace {

constexpr std::array<const char*, 17> kAtomNames{"XdndAware",
                                                 "XdndEnter",
                                                 "XdndPosition",
                                                 "XdndStatus",
                                                 "XdndLeave",
                                                 "XdndDrop",
                                                 "XdndFinished",
                                                 "XdndSelection",
                                                 "XdndTypeList",
                                                 "XdndActionCopy",
                                                 "XdndActionMove",
                                                 "text/uri-list",
                                                 "text/plain;charset=utf-8",
                                                 "UTF8_STRING",
                                                 "text/plain",
                                                 "INCR",
                                                 "OVERTONIC_DROP_DATA"};

// Longest type list read from a source; XDND sources offer a handful.
constexpr long kMaxTypes = 256;
// Property reads in pieces of this many 32-bit units.
constexpr long kReadUnits = 64 * 1024;

std::int64_t nowMs() { return SystemClock().ticks(); }

}  // namespace

X11DropTarget::X11DropTarget(X11Window& window)
    : nativeWindow(window),
      display_(window.display()),
      window_(window.id()),
      localHost(localHostName()) {
  X11ErrorTrap trap(display_);
  std::array<Atom, kAtomNames.size()> atoms{};
  XInternAtoms(display_, const_cast<char**>(kAtomNames.data()), static_cast<int>(atoms.size()),
               False, atoms.data());
  atoms_ = {atoms[0],  atoms[1],  atoms[2],  atoms[3],  atoms[4],  atoms[5],
            atoms[6],  atoms[7],  atoms[8],  atoms[9],  atoms[10], atoms[11],
            atoms[12], atoms[13], atoms[14], atoms[15], atoms[16]};
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(display_, window_, &attributes)) return;
  XSelectInput(display_, window_, attributes.your_event_mask | PropertyChangeMask);
  const long version = kProtocolVersion;
  XChangeProperty(display_, window_, atoms_.aware, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&version), 1);
  XFlush(display_);
  registered_ = !trap.failed();
}

X11DropTarget::~X11DropTarget() {
  if (phase != Phase::idle) finish(false);
  if (!registered_ || windowGone_) return;
  X11ErrorTrap trap(display_);
  XDeleteProperty(display_, window_, atoms_.aware);
  XFlush(display_);
}

bool X11DropTarget::takes(const XEvent& event) const {
  switch (event.type) {
    case ClientMessage: {
      const Atom type = event.xclient.message_type;
      return type == atoms_.enter || type == atoms_.position || type == atoms_.leave ||
             type == atoms_.drop;
    }
    case SelectionNotify: return event.xselection.selection == atoms_.selection;
    case PropertyNotify: return event.xproperty.atom == atoms_.property;
    default: return false;
  }
}

std::optional<FrameEvent> X11DropTarget::handle(const XEvent& event) {
  if (event.type == ClientMessage) {
    if (event.xclient.format != 32) return std::nullopt;
    const long* data = event.xclient.data.l;
    const Atom type = event.xclient.message_type;
    if (type == atoms_.enter) onEnter(event.xclient.window, data);
    if (type == atoms_.position) onPosition(data);
    if (type == atoms_.leave) onLeave(data);
    if (type == atoms_.drop) onDrop(event.xclient.window, data);
    return std::nullopt;
  }
  if (event.type == SelectionNotify && phase == Phase::converting) {
    return onSelection(event.xselection.property);
  }
  if (event.type == PropertyNotify && phase == Phase::incremental &&
      event.xproperty.state == PropertyNewValue) {
    return onPart();
  }
  return std::nullopt;
}

void X11DropTarget::expire() {
  if ((phase == Phase::converting || phase == Phase::incremental) && nowMs() > deadline) {
    finish(false);
  }
}

// ---- the drag -------------------------------------------------------------------------------

void X11DropTarget::onEnter(unsigned long addressee, const long* data) {
  const long version = (data[1] >> 24) & 0xFF;
  if (version < 3 || version > kProtocolVersion) return;  // a protocol we do not speak
  // A new drag ends whatever an earlier source left unfinished.
  if (phase != Phase::idle) finish(false);
  drag = Drag{};
  drag.source = static_cast<unsigned long>(data[0]);
  drag.addressee = addressee;
  drag.version = version;
  drag.type = chooseType(data);
  phase = Phase::dragging;
}

unsigned long X11DropTarget::chooseType(const long* data) const {
  std::vector<Atom> offered;
  if (data[1] & 1) {
    X11ErrorTrap trap(display_);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* list = nullptr;
    const int status =
        XGetWindowProperty(display_, static_cast<Window>(data[0]), atoms_.typeList, 0, kMaxTypes,
                           False, XA_ATOM, &type, &format, &count, &after, &list);
    if (status == Success && list && format == 32) {
      const auto* atoms = reinterpret_cast<const Atom*>(list);
      offered.assign(atoms, atoms + count);
    }
    if (list) XFree(list);
  }
  for (int i = 2; i <= 4; ++i) offered.push_back(static_cast<Atom>(data[i]));
  for (const Atom wanted : {atoms_.uriList, atoms_.plainUtf8, atoms_.utf8String, atoms_.plain}) {
    for (const Atom type : offered) {
      if (type == wanted) return wanted;
    }
  }
  return 0;
}

void X11DropTarget::onPosition(const long* data) {
  const auto source = static_cast<unsigned long>(data[0]);
  if (phase != Phase::dragging || source != drag.source) return;
  const int rootX = static_cast<int>((data[2] >> 16) & 0xFFFF);
  const int rootY = static_cast<int>(data[2] & 0xFFFF);
  {
    X11ErrorTrap trap(display_);
    int x = 0;
    int y = 0;
    Window child = 0;
    if (XTranslateCoordinates(display_, DefaultRootWindow(display_), window_, rootX, rootY, &x, &y,
                              &child) &&
        !trap.failed()) {
      drag.where = {x, y};
      drag.positioned = true;
    }
  }
  const bool accepted = drag.type != 0 && drag.positioned;
  const Atom action = !accepted ? None : controlHeld() ? atoms_.actionCopy : atoms_.actionMove;
  sendToSource(source, drag.addressee, atoms_.status, (accepted ? 1 : 0) | 2, 0, 0,
               static_cast<long>(action));
}

bool X11DropTarget::controlHeld() { return (nativeWindow.mouseButtons() & kMouseControl) != 0; }

void X11DropTarget::onLeave(const long* data) {
  if (phase == Phase::dragging && static_cast<unsigned long>(data[0]) == drag.source) {
    phase = Phase::idle;
    drag = Drag{};
  }
}

void X11DropTarget::onDrop(unsigned long addressee, const long* data) {
  const auto source = static_cast<unsigned long>(data[0]);
  if (phase != Phase::dragging || source != drag.source) {
    // A drop we never accepted: the source still waits for its answer.
    if (phase == Phase::idle && source != 0) {
      sendToSource(source, addressee, atoms_.finished, 0, None, 0, 0);
    }
    return;
  }
  if (drag.type == 0 || !drag.positioned) {
    finish(false);
    return;
  }
  X11ErrorTrap trap(display_);
  XDeleteProperty(display_, window_, atoms_.property);
  const Time time = static_cast<Time>(static_cast<unsigned long>(data[2]));
  XConvertSelection(display_, atoms_.selection, drag.type, atoms_.property, window_,
                    time ? time : CurrentTime);
  XFlush(display_);
  if (trap.failed()) {
    finish(false);
    return;
  }
  data_.clear();
  phase = Phase::converting;
  deadline = nowMs() + transferTimeoutMs;
}

// ---- the transfer ---------------------------------------------------------------------------

std::optional<FrameEvent> X11DropTarget::onSelection(unsigned long property) {
  if (property == None) {  // the source refused, or the selection had no owner
    finish(false);
    return std::nullopt;
  }
  bool incremental = false;
  if (!readData(incremental)) {
    finish(false);
    return std::nullopt;
  }
  if (!incremental) return deliver();
  // The source sends the data in parts, each after we have taken the previous one.
  data_.clear();
  phase = Phase::incremental;
  deadline = nowMs() + transferTimeoutMs;
  return std::nullopt;
}

std::optional<FrameEvent> X11DropTarget::onPart() {
  const std::size_t before = data_.size();
  bool incremental = false;
  if (!readData(incremental) || incremental) {
    finish(false);
    return std::nullopt;
  }
  if (data_.size() == before) return deliver();  // an empty part ends the transfer
  deadline = nowMs() + transferTimeoutMs;
  return std::nullopt;
}

bool X11DropTarget::readData(bool& incremental) {
  X11ErrorTrap trap(display_);
  long offset = 0;
  for (;;) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* bytes = nullptr;
    const int status =
        XGetWindowProperty(display_, window_, atoms_.property, offset, kReadUnits, False,
                           AnyPropertyType, &type, &format, &count, &after, &bytes);
    if (status != Success || trap.failed()) {
      if (bytes) XFree(bytes);
      return false;
    }
    if (type == atoms_.incr) {
      if (bytes) XFree(bytes);
      incremental = true;
      break;
    }
    const bool usable = type == None || format == 8;
    const bool fits = data_.size() + count <= kMaxTransferBytes;
    if (usable && fits && bytes) data_.append(reinterpret_cast<const char*>(bytes), count);
    if (bytes) XFree(bytes);
    if (!usable || !fits) return false;
    if (after == 0) break;
    offset += static_cast<long>(count / 4);
  }
  XDeleteProperty(display_, window_, atoms_.property);
  XFlush(display_);
  return !trap.failed();
}

std::optional<FrameEvent> X11DropTarget::deliver() {
  FrameEvent event{FrameEvent::Kind::drop, drag.where};
  if (drag.type == atoms_.uriList) {
    event.dropType = kDropFileNames;
    event.dropItems = fileNamesFromUriList(data_, localHost);
  } else if (!data_.empty()) {
    event.dropType = kDropText;
    event.dropItems.push_back(std::move(data_));
  }
  const bool something = !event.dropItems.empty();
  finish(something);
  if (!something) return std::nullopt;
  return event;
}

// The plug-in only reads what was dropped, so the source is told it was copied whatever the
// cursor showed: a source told "moved" deletes its own copy (dragged text vanishes from an editor).
void X11DropTarget::finish(bool success) {
  const unsigned long source = drag.source;
  const unsigned long addressee = drag.addressee;
  phase = Phase::idle;
  drag = Drag{};
  data_.clear();
  if (!windowGone_) {
    X11ErrorTrap trap(display_);
    XDeleteProperty(display_, window_, atoms_.property);
  }
  if (source != 0) {
    sendToSource(source, addressee, atoms_.finished, success ? 1 : 0,
                 success ? static_cast<long>(atoms_.actionCopy) : None, 0, 0);
  }
}

void X11DropTarget::sendToSource(unsigned long source, unsigned long addressee,
                                 unsigned long messageType, long l1, long l2, long l3, long l4) {
  XEvent message{};
  message.xclient.type = ClientMessage;
  message.xclient.display = display_;
  message.xclient.window = source;
  message.xclient.message_type = messageType;
  message.xclient.format = 32;
  message.xclient.data.l[0] = static_cast<long>(addressee ? addressee : window_);
  message.xclient.data.l[1] = l1;
  message.xclient.data.l[2] = l2;
  message.xclient.data.l[3] = l3;
  message.xclient.data.l[4] = l4;
  X11ErrorTrap trap(display_);  // the source may be gone already
  XSendEvent(display_, source, False, NoEventMask, &message);
  XFlush(display_);
}
