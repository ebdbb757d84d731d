// The horizontal step switch: the common switch on columns.
#include "gui/GuiHorizontalStepSwitch.h"

GuiHorizontalStepSwitch::GuiHorizontalStepSwitch(const GuiRect& switchSize,
                                                 ControlListener* switchListener,
                                                 std::int32_t switchTag, std::int32_t frames,
                                                 std::int32_t height, std::int32_t positions,
                                                 GuiBitmap* switchBackground, GuiPoint offset)
    : GuiStepSwitch(Axis::horizontal, switchSize, switchListener, switchTag, frames, height,
                    positions, switchBackground, offset) {}
