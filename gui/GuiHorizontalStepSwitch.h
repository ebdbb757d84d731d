// GuiHorizontalStepSwitch: a step switch whose bands are columns of (bitmap width / n) pixels,
// counted from the left; right of the last band the value is 1. Its frames are stacked
// vertically in the bitmap like every strip's.
#pragma once

#include "gui/GuiStepSwitch.h"

class GuiHorizontalStepSwitch : public GuiStepSwitch {
 public:
  GuiHorizontalStepSwitch(const GuiRect& size, ControlListener* listener, std::int32_t tag,
                          std::int32_t bitmapFrames, std::int32_t frameHeight,
                          std::int32_t positions, GuiBitmap* background, GuiPoint backgroundOffset);
};
