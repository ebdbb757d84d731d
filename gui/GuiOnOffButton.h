// GuiOnOffButton: a switch with two looks stacked in its bitmap, off on top and on below, each
// half the bitmap's height. A click (left button, whatever the modifiers) flips the value
// between 0 and 1, shows it at once and tells the listener; there is no drag and no host
// gesture.
#pragma once

#include "gui/GuiControl.h"

class GuiOnOffButton : public GuiControl {
 public:
  GuiOnOffButton(const GuiRect& size, ControlListener* listener, std::int32_t tag,
                 GuiBitmap* background);

  // The upper half of the bitmap for 0, the lower half for any other value.
  void draw(DrawContext* context) override;
  // The value becomes 1 when its integer part is 0, else 0.
  void onMouseDown(DrawContext* context, GuiPoint where) override;
};
