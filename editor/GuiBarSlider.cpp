// The vertical bar: the shared bar on the vertical segment table.
#include "editor/GuiBarSlider.h"

GuiBarSlider::GuiBarSlider(const GuiRect& barSize, ControlListener* barListener,
                           std::int32_t barTag, GuiBitmap* bitmap, GuiBitmap* handle,
                           GuiPoint offset)
    : GuiSegmentBar(barSize, barListener, barTag, bitmap, handle, offset, kVerticalBar) {}
