// The walk up the window tree to the host's top-level window.
#include "gui/platform/x11/X11TopLevel.h"

#include <X11/Xlib.h>

#include "gui/platform/x11/X11Display.h"

namespace {

// Deeper trees than this are not what a host builds.
constexpr int kMaxDepth = 64;

bool hasProperty(Display* display, Window window, Atom property) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  const int status = XGetWindowProperty(display, window, property, 0, 0, False, AnyPropertyType,
                                        &type, &format, &count, &after, &data);
  if (data) XFree(data);
  return status == Success && type != None;
}

}  // namespace

unsigned long clientTopLevel(Display* display, unsigned long window) {
  if (!display || window == 0) return 0;
  X11ErrorTrap trap(display);
  const Atom wmState = XInternAtom(display, "WM_STATE", False);
  Window current = window;
  Window managed = 0;
  for (int depth = 0; depth < kMaxDepth; ++depth) {
    if (hasProperty(display, current, wmState)) managed = current;
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, current, &root, &parent, &children, &count)) return 0;
    if (children) XFree(children);
    if (parent == 0 || parent == root) break;
    current = parent;
  }
  if (trap.failed()) return 0;
  return managed ? managed : current;
}
