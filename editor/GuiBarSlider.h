// GuiBarSlider: a vertical LED-style bar, lit from the bottom: 50 rows two pixels apart, row i lit
// while value * 50 > i. A drag sets the value to (bottom - y) / 100, so a bar 100 pixels tall
// spans 0 to 1 (a taller one goes above 1: nothing is clamped). The pointer counts from 10 pixels
// left to 10 pixels right of the bar, between its top and bottom rows. The panel uses it for the
// main volume and the oscillators' volumes.
#pragma once

#include "editor/GuiSegmentBar.h"

class GuiBarSlider : public GuiSegmentBar {
 public:
  // The knob's arguments; the bitmaps are held but not drawn.
  GuiBarSlider(const GuiRect& size, ControlListener* listener, std::int32_t tag,
               GuiBitmap* background, GuiBitmap* handle, GuiPoint backgroundOffset);
};
