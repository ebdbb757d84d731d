// The three-way switch: halves while held, back to 0 on release and after a wheel step.
#include "gui/GuiThreeWaySwitch.h"

#include <cmath>

#include "gui/DrawContext.h"
#include "gui/PixelMath.h"
#include "gui/StripDrawing.h"

GuiThreeWaySwitch::GuiThreeWaySwitch(const GuiRect& switchSize, ControlListener* switchListener,
                                     std::int32_t switchTag, std::int32_t height,
                                     GuiBitmap* switchBackground, GuiPoint offset,
                                     std::int32_t switchStyle)
    : GuiControl(switchSize, switchListener, switchTag, switchBackground),
      backgroundOffset(offset),
      frameHeight(height),
      style(switchStyle) {
  minValue = -1.0f;
}

void GuiThreeWaySwitch::draw(DrawContext* context) {
  const std::int32_t frameIndex = indexOf(std::round(value) + 1.0f, 0, 2);
  drawStripFrame(context, background, size, frameSource(backgroundOffset, frameIndex, frameHeight),
                 transparent);
  setDirty(false);
}

float GuiThreeWaySwitch::valueAt(GuiPoint where, float current) const {
  if (!containsInclusive(size, where)) return current;
  if (style & kHorizontal) {
    return std::int64_t{where.h} - size.left < size.width() / 2 ? -1.0f : 1.0f;
  }
  return std::int64_t{where.v} - size.top < size.height() / 2 ? -1.0f : 1.0f;
}

void GuiThreeWaySwitch::onMouseDown(DrawContext* context, GuiPoint where) {
  if (!pressState(context)) return;
  const GuiFrame* trackedIn = frame;
  beginEdit();
  do {
    value = valueAt(where, value);
    notifyIfDirty(context);
    context->queryMouseLocation(where);
    pumpIdle();
    if (leftFrame(trackedIn)) return;
  } while (context->queryMouseButtons() & kMouseLeft);
  value = 0.0f;
  notifyListener(context);
  endEdit();
}

bool GuiThreeWaySwitch::onWheel(DrawContext* context, GuiPoint, float distance) {
  if (!mouseEnabled || !std::isfinite(distance)) return false;
  value = distance > 0.0f ? -1.0f : 1.0f;
  notifyListener(context);
  value = 0.0f;
  notifyListener(context);
  return true;
}
