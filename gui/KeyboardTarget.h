// What receives the keyboard while a text field is open: the frame hands it every key press of
// its window and tells it when the window loses the keyboard focus.
#pragma once

#include "gui/platform/KeyInput.h"

class KeyboardTarget {
 public:
  KeyboardTarget() = default;
  KeyboardTarget(const KeyboardTarget&) = delete;
  KeyboardTarget& operator=(const KeyboardTarget&) = delete;
  virtual ~KeyboardTarget() = default;

  virtual void onKey(const KeyInput& key) = 0;
  virtual void onKeyboardFocusLost() = 0;
};
