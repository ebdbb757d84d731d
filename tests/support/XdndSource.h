// A small XDND (version 5) drag source for the tests: its own X connection and window, owner of
// the XdndSelection while it drags, speaking the protocol to a target window as a file manager
// or a text editor would (to the window named by the target's XdndProxy, if it has one, with
// the target itself in the messages' window field): XdndEnter with its types (the first three in
// the message, all of them in XdndTypeList when there are more), XdndPosition, XdndLeave, XdndDrop;
// it answers the target's selection request with its data at once, in parts (INCR), with a refusal,
// or not at all, and records the target's XdndStatus and XdndFinished. Everything is driven by
// pump(), without blocking, so one test thread can run source and target together.
#pragma once

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class XdndSource {
 public:
  enum class Answer { whole, inParts, refuse, silent };
  struct StatusReply {  // (Xlib defines Status as a macro)
    bool accepted = false;
    std::string action;  // atom name, empty for None
    Window target = 0;   // the window the reply speaks for
  };
  struct Finished {
    bool success = false;
    std::string action;
    Window target = 0;
  };

  XdndSource() {
    display_ = XOpenDisplay(nullptr);
    if (!display_) return;
    window_ = XCreateWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, InputOnly,
                            CopyFromParent, 0, nullptr);
    XSync(display_, False);
  }
  ~XdndSource() { vanish(); }
  XdndSource(const XdndSource&) = delete;
  XdndSource& operator=(const XdndSource&) = delete;

  bool usable() const { return display_ && window_; }
  Display* display() const { return display_; }

  // The types offered, in order, each with the bytes handed over for it.
  void offer(std::vector<std::pair<std::string, std::string>> data) { data_ = std::move(data); }
  void answer(Answer how, std::size_t partSize = 64 * 1024) {
    answer_ = how;
    partSize_ = partSize;
  }
  // After the first part of a transfer in parts, the source closes its connection.
  void vanishAfterFirstPart() { vanishAfterFirstPart_ = true; }

  void enter(Window target, int version = 5) {
    XSetSelectionOwner(display_, atom("XdndSelection"), window_, CurrentTime);
    std::vector<Atom> types;
    for (const auto& offered : data_) types.push_back(atom(offered.first));
    const bool many = types.size() > 3;
    if (many) {
      XChangeProperty(display_, window_, atom("XdndTypeList"), XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(types.data()),
                      static_cast<int>(types.size()));
    }
    long words[5] = {static_cast<long>(window_),
                     (static_cast<long>(version) << 24) | (many ? 1 : 0), 0, 0, 0};
    for (std::size_t i = 0; i < 3 && i < types.size(); ++i)
      words[2 + i] = static_cast<long>(types[i]);
    send(target, "XdndEnter", words);
  }
  void moveTo(Window target, int rootX, int rootY) {
    long words[5] = {static_cast<long>(window_), 0, (static_cast<long>(rootX) << 16) | rootY,
                     CurrentTime, static_cast<long>(atom("XdndActionCopy"))};
    send(target, "XdndPosition", words);
  }
  void leave(Window target) {
    long words[5] = {static_cast<long>(window_), 0, 0, 0, 0};
    send(target, "XdndLeave", words);
  }
  void drop(Window target) {
    long words[5] = {static_cast<long>(window_), 0, CurrentTime, 0, 0};
    send(target, "XdndDrop", words);
  }
  // Holds or releases the Control key (XTest).
  void control(bool down) {
    XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, XK_Control_L), down ? True : False,
                      CurrentTime);
    XSync(display_, False);
  }
  // The source's window and connection are gone, as when a file manager quits mid-drag.
  void vanish() {
    if (!display_) return;
    XDestroyWindow(display_, window_);
    XCloseDisplay(display_);
    display_ = nullptr;
  }

  // Handles what arrived for the source.
  void pump() {
    while (display_ && XPending(display_) > 0) {
      XEvent event;
      XNextEvent(display_, &event);
      if (event.type == ClientMessage) onMessage(event.xclient);
      if (event.type == SelectionRequest) onRequest(event.xselectionrequest);
      if (event.type == PropertyNotify) onPropertyChange(event.xproperty);
    }
  }

  std::optional<StatusReply> status;  // the last XdndStatus
  int statusCount = 0;
  std::optional<Finished> finished;
  int requests = 0;           // selection requests received
  std::string requestedType;  // the type the target asked for

 private:
  Atom atom(const std::string& name) { return XInternAtom(display_, name.c_str(), False); }
  std::string nameOf(Atom value) {
    if (value == None) return "";
    char* text = XGetAtomName(display_, value);
    std::string name = text ? text : "";
    if (text) XFree(text);
    return name;
  }
  // The window named by the target's XdndProxy, else the target.
  Window proxyOf(Window target) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    Window proxy = target;
    if (XGetWindowProperty(display_, target, atom("XdndProxy"), 0, 1, False, XA_WINDOW, &type,
                           &format, &count, &after, &data) == Success &&
        data && count == 1) {
      proxy = static_cast<Window>(*reinterpret_cast<unsigned long*>(data));
    }
    if (data) XFree(data);
    return proxy;
  }
  void send(Window target, const char* type, const long (&words)[5]) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = target;
    event.xclient.message_type = atom(type);
    event.xclient.format = 32;
    for (int i = 0; i < 5; ++i) event.xclient.data.l[i] = words[i];
    XSendEvent(display_, proxyOf(target), False, NoEventMask, &event);
    XSync(display_, False);
  }

  void onMessage(const XClientMessageEvent& message) {
    if (message.message_type == atom("XdndStatus")) {
      status =
          StatusReply{(message.data.l[1] & 1) != 0, nameOf(static_cast<Atom>(message.data.l[4])),
                      static_cast<Window>(message.data.l[0])};
      ++statusCount;
    } else if (message.message_type == atom("XdndFinished")) {
      finished =
          Finished{(message.data.l[1] & 1) != 0, nameOf(static_cast<Atom>(message.data.l[2])),
                   static_cast<Window>(message.data.l[0])};
    }
  }

  void onRequest(const XSelectionRequestEvent& request) {
    ++requests;
    requestedType = nameOf(request.target);
    if (answer_ == Answer::silent) return;
    const std::string* bytes = nullptr;
    for (const auto& offered : data_) {
      if (offered.first == requestedType) bytes = &offered.second;
    }
    Atom property = request.property;
    if (answer_ == Answer::refuse || !bytes) {
      property = None;
    } else if (answer_ == Answer::whole) {
      XChangeProperty(display_, request.requestor, property, request.target, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(bytes->data()),
                      static_cast<int>(bytes->size()));
    } else {
      // In parts: announce the size, then one part after each deletion of the property.
      XSelectInput(display_, request.requestor, PropertyChangeMask);
      const long size = static_cast<long>(bytes->size());
      XChangeProperty(display_, request.requestor, property, atom("INCR"), 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(&size), 1);
      parts = Parts{request.requestor, property, request.target, *bytes, 0, false};
    }
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.requestor = request.requestor;
    reply.xselection.selection = request.selection;
    reply.xselection.target = request.target;
    reply.xselection.property = property;
    reply.xselection.time = request.time;
    XSendEvent(display_, request.requestor, False, NoEventMask, &reply);
    XSync(display_, False);
  }

  void onPropertyChange(const XPropertyEvent& change) {
    if (!parts || parts->done || change.state != PropertyDelete ||
        change.window != parts->requestor || change.atom != parts->property) {
      return;
    }
    Parts& p = *parts;
    const std::size_t length = std::min(partSize_, p.bytes.size() - p.sent);
    XChangeProperty(display_, p.requestor, p.property, p.type, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(p.bytes.data() + p.sent),
                    static_cast<int>(length));
    XSync(display_, False);
    p.done = length == 0;  // the empty part ends the transfer
    const bool first = p.sent == 0;
    p.sent += length;
    if (first && vanishAfterFirstPart_) vanish();
  }

  struct Parts {
    Window requestor;
    Atom property;
    Atom type;
    std::string bytes;
    std::size_t sent;
    bool done;
  };

  Display* display_ = nullptr;
  Window window_ = 0;
  std::vector<std::pair<std::string, std::string>> data_;
  Answer answer_ = Answer::whole;
  std::size_t partSize_ = 64 * 1024;
  bool vanishAfterFirstPart_ = false;
  std::optional<Parts> parts;
};
