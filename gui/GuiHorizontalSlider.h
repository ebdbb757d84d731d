// GuiHorizontalSlider: a slider whose handle travels left and right; the positions are offsets
// of the handle's left edge from the control's left, and the handle is centred vertically.
#pragma once

#include "gui/GuiSlider.h"

class GuiHorizontalSlider : public GuiSlider {
 public:
  GuiHorizontalSlider(const GuiRect& size, ControlListener* listener, std::int32_t tag,
                      std::int32_t minPosition, std::int32_t maxPosition, GuiBitmap* handle,
                      GuiBitmap* background, GuiPoint backgroundOffset, std::int32_t style = 0);
};
