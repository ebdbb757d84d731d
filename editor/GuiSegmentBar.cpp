// The bars' shared drawing and drag loop.
#include "editor/GuiSegmentBar.h"

#include <optional>

#include "gui/DrawContext.h"

GuiSegmentBar::GuiSegmentBar(const GuiRect& barSize, ControlListener* barListener,
                             std::int32_t barTag, GuiBitmap* bitmap, GuiBitmap* handle,
                             GuiPoint offset, const BarLayout& barLayout)
    : GuiKnob(barSize, barListener, barTag, bitmap, handle, offset),
      layout(barLayout),
      barRect(barSize) {}

void GuiSegmentBar::draw(DrawContext* context) {
  if (context) drawBarSegments(*context, layout, barRect, value);
}

void GuiSegmentBar::onMouseDown(DrawContext* context, GuiPoint) {
  if (!context) return;
  while (context->queryMouseButtons() == kMouseLeft) {
    GuiPoint where;
    context->queryMouseLocation(where);
    const std::optional<float> fromMouse = barValueAt(layout, barRect, where);
    if (!fromMouse) continue;
    value = *fromMouse;
    draw(context);
    notifyListener(context);
  }
}
