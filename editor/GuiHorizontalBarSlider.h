// GuiHorizontalBarSlider: a horizontal LED-style bar lit from the left: 25 columns two pixels
// apart, column i lit while value * 25 > i. A drag sets the value to (x - left) / 50, so a bar
// 50 pixels wide spans 0 to 1; the pointer counts from the left to the right edge, strictly
// between the top and bottom rows. The panel uses it for the effect settings.
#pragma once

#include "editor/GuiSegmentBar.h"

class GuiHorizontalBarSlider : public GuiSegmentBar {
 public:
  // The knob's arguments; the bitmaps are held but not drawn.
  GuiHorizontalBarSlider(const GuiRect& size, ControlListener* listener, std::int32_t tag,
                         GuiBitmap* background, GuiBitmap* handle, GuiPoint backgroundOffset);
};
