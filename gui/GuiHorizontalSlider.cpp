// The horizontal slider: the common slider along x.
#include "gui/GuiHorizontalSlider.h"

GuiHorizontalSlider::GuiHorizontalSlider(const GuiRect& sliderSize, ControlListener* sliderListener,
                                         std::int32_t sliderTag, std::int32_t minPos,
                                         std::int32_t maxPos, GuiBitmap* handle,
                                         GuiBitmap* sliderBackground, GuiPoint offset,
                                         std::int32_t sliderStyle)
    : GuiSlider(Axis::horizontal, sliderSize, sliderListener, sliderTag, minPos, maxPos, handle,
                sliderBackground, offset, sliderStyle) {}
