// The horizontal bar: the shared bar on the horizontal segment table.
#include "editor/GuiHorizontalBarSlider.h"

GuiHorizontalBarSlider::GuiHorizontalBarSlider(const GuiRect& barSize, ControlListener* barListener,
                                               std::int32_t barTag, GuiBitmap* bitmap,
                                               GuiBitmap* handle, GuiPoint offset)
    : GuiSegmentBar(barSize, barListener, barTag, bitmap, handle, offset, kHorizontalBar) {}
