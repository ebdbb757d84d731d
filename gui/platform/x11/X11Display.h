// Our own connection to the X server, and a trap that turns X errors caused by our requests into
// a failed operation instead of Xlib's default reaction (ending the whole process, host included).
#pragma once

#include <memory>

typedef struct _XDisplay Display;

class X11Display {
 public:
  // Opens the named display (null: $DISPLAY). Null when there is none.
  static std::unique_ptr<X11Display> open(const char* name = nullptr);
  ~X11Display();
  X11Display(const X11Display&) = delete;
  X11Display& operator=(const X11Display&) = delete;

  Display* raw() const { return display_; }
  unsigned long rootWindow() const;

 private:
  explicit X11Display(Display* display) : display_(display) {}
  Display* display_;
};

// While alive, X errors of `display` are recorded instead of handled by the previous handler
// (errors of other connections still go there). Construction and failed() wait for the server
// (XSync), so that failed() covers every request made in between. Traps may nest.
class X11ErrorTrap {
 public:
  explicit X11ErrorTrap(Display* display);
  ~X11ErrorTrap();
  X11ErrorTrap(const X11ErrorTrap&) = delete;
  X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

  // Whether any request since construction failed.
  bool failed();

 private:
  Display* display_;
  bool outerFailed;
};
