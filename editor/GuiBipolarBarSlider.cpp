// The centred bar: the shared bar on the bipolar segment table.
#include "editor/GuiBipolarBarSlider.h"

GuiBipolarBarSlider::GuiBipolarBarSlider(const GuiRect& barSize, ControlListener* barListener,
                                         std::int32_t barTag, GuiBitmap* bitmap, GuiBitmap* handle,
                                         GuiPoint offset)
    : GuiSegmentBar(barSize, barListener, barTag, bitmap, handle, offset, kBipolarBar),
      centre(saturateToInt32((std::int64_t{barSize.top} + barSize.bottom) / 2)) {}
