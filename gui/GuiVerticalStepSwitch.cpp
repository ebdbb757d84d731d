// The vertical step switch: the common switch on rows.
#include "gui/GuiVerticalStepSwitch.h"

GuiVerticalStepSwitch::GuiVerticalStepSwitch(const GuiRect& switchSize,
                                             ControlListener* switchListener,
                                             std::int32_t switchTag, std::int32_t frames,
                                             std::int32_t height, std::int32_t positions,
                                             GuiBitmap* switchBackground, GuiPoint offset)
    : GuiStepSwitch(Axis::vertical, switchSize, switchListener, switchTag, frames, height,
                    positions, switchBackground, offset) {}
