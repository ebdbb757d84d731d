// GuiVerticalSlider: a slider whose handle travels up and down; the positions are offsets of the
// handle's top edge from the control's top, and the handle is centred across.
#pragma once

#include "gui/GuiSlider.h"

class GuiVerticalSlider : public GuiSlider {
 public:
  GuiVerticalSlider(const GuiRect& size, ControlListener* listener, std::int32_t tag,
                    std::int32_t minPosition, std::int32_t maxPosition, GuiBitmap* handle,
                    GuiBitmap* background, GuiPoint backgroundOffset, std::int32_t style = 0);
};
