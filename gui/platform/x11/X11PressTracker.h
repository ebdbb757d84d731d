// What the pointer queries report while the frame handles a press. Hosts give the editor time
// only now and then (Ardour about 25 times a second), so by the time a press is read from the
// queue and handed to a control, a quick click or a touchpad tap has often been released
// already, and polling the live state would make the control miss it. Instead the queries
// follow the event stream: the first poll reads the press (its buttons, modifiers and position),
// later polls take the queued release of our window when there is one and read as released at
// the release's position; only when no release is queued do they read the live state. So every
// click acts exactly once and a drag that is really held works as it always did.
#pragma once

#include <cstdint>
#include <optional>

#include "gui/GuiTypes.h"

typedef struct _XDisplay Display;

class X11PressTracker {
 public:
  // A press of `button` (1-3) with the modifier and button `mask` the event carried (the state
  // before the press), at `root` (screen coordinates), has been handed to the frame.
  void begin(unsigned int button, unsigned int mask, GuiPoint root);
  // The frame is done with the press.
  void end() { stage = Stage::idle; }
  bool active() const { return stage != Stage::idle; }

  // The MouseState bits the event stream gives for this poll, taking at most one queued release
  // of `window` from the queue; nullopt when the live state is to be read.
  std::optional<std::int32_t> poll(Display* display, unsigned long window);
  // The screen position that goes with the last poll; nullopt when it is the live one.
  std::optional<GuiPoint> position() const { return active() ? position_ : std::nullopt; }

 private:
  enum class Stage { idle, pressed, following };
  Stage stage = Stage::idle;
  std::int32_t pressState = 0;
  std::optional<GuiPoint> position_;
};
