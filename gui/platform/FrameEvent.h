// The plain input events the back ends hand the toolkit: a frame window's (paint, presses,
// wheel steps, keys, drops, destruction) and a popup's (also releases and motion). Coordinates are
// the window's own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gui/GuiTypes.h"
#include "gui/platform/KeyInput.h"

// What a drop carries, as GuiView::onDrop's type.
enum DropType : std::int32_t {
  kDropFileNames = 0,  // items: `count` zero-terminated file names
  kDropText = 1,       // items: one pointer to the text, `count` its size in bytes
};

// One input event of a frame window, in the window's own coordinates.
struct FrameEvent {
  enum class Kind {
    paint,          // the window needs a full redraw; `area` is what the system lost
    buttonPress,    // buttons 1 (left), 2 (middle) or 3 (right) at `where`
    wheel,          // one wheel step: `distance` +1 (away from the user) or -1
    destroyed,      // the native window is gone
    key,            // a key press for an open text field or a popup: `key`
    focusLost,      // the keyboard focus went elsewhere while a text field was open
    buttonRelease,  // popups only: a button released at `where`
    motion,         // popups only: the pointer moved to `where`
    drop,           // something was dropped at `where`: `dropItems` of `dropType`
  };
  Kind kind = Kind::paint;
  GuiPoint where{};
  std::int32_t button = 0;
  float distance = 0.0f;
  GuiRect area{};
  KeyInput key{};
  std::int32_t dropType = kDropFileNames;
  // File names (never empty), or for text one item holding the text's bytes.
  std::vector<std::string> dropItems{};
};
