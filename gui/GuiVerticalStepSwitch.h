// GuiVerticalStepSwitch: a step switch whose bands are rows of (frame height / n) pixels,
// counted from the top; below the last band the value is 1.
#pragma once

#include "gui/GuiStepSwitch.h"

class GuiVerticalStepSwitch : public GuiStepSwitch {
 public:
  GuiVerticalStepSwitch(const GuiRect& size, ControlListener* listener, std::int32_t tag,
                        std::int32_t bitmapFrames, std::int32_t frameHeight, std::int32_t positions,
                        GuiBitmap* background, GuiPoint backgroundOffset);
};
