// The vertical slider: the common slider along y.
#include "gui/GuiVerticalSlider.h"

GuiVerticalSlider::GuiVerticalSlider(const GuiRect& sliderSize, ControlListener* sliderListener,
                                     std::int32_t sliderTag, std::int32_t minPos,
                                     std::int32_t maxPos, GuiBitmap* handle,
                                     GuiBitmap* sliderBackground, GuiPoint offset,
                                     std::int32_t sliderStyle)
    : GuiSlider(Axis::vertical, sliderSize, sliderListener, sliderTag, minPos, maxPos, handle,
                sliderBackground, offset, sliderStyle) {}
