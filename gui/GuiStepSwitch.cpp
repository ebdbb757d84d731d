// Step switches: frame choice, bands and the press loop.
#include "gui/GuiStepSwitch.h"

#include <algorithm>

#include "gui/DrawContext.h"
#include "gui/PixelMath.h"
#include "gui/StripDrawing.h"

GuiStepSwitch::GuiStepSwitch(Axis switchAxis, const GuiRect& switchSize,
                             ControlListener* switchListener, std::int32_t switchTag,
                             std::int32_t frames, std::int32_t height, std::int32_t positions,
                             GuiBitmap* switchBackground, GuiPoint offset)
    : GuiControl(switchSize, switchListener, switchTag, switchBackground),
      axis(switchAxis),
      bitmapFrames(std::max(frames, 1)),
      frameHeight(height),
      positionCount(std::max(positions, 1)),
      backgroundOffset(offset) {}

std::int32_t GuiStepSwitch::currentFrame() const {
  const std::int32_t last = positionCount - 1;
  const std::int32_t frameIndex =
      value >= 1.0f ? last : indexOf(value * static_cast<float>(last), 0, last);
  return std::min(frameIndex, bitmapFrames - 1);
}

void GuiStepSwitch::draw(DrawContext* context) {
  drawStripFrame(context, background, size,
                 frameSource(backgroundOffset, currentFrame(), frameHeight), transparent);
  setDirty(false);
}

std::int32_t GuiStepSwitch::bandSize() const {
  const std::int32_t span =
      axis == Axis::vertical ? frameHeight : (background ? background->getWidth() : size.width());
  return std::max(span / positionCount, 1);
}

float GuiStepSwitch::valueAt(GuiPoint where) const {
  if (positionCount < 2) return 0.0f;
  const std::int64_t along =
      axis == Axis::vertical ? std::int64_t{where.v} - size.top : std::int64_t{where.h} - size.left;
  const std::int64_t band = std::max<std::int64_t>(along / bandSize(), 0);
  if (band >= positionCount) return 1.0f;
  return static_cast<float>(band) / static_cast<float>(positionCount - 1);
}

void GuiStepSwitch::onMouseDown(DrawContext* context, GuiPoint where) {
  const std::int32_t pressed = pressState(context);
  if (!pressed || controlClickSetsDefault(context, pressed)) return;
  const GuiFrame* trackedIn = frame;
  beginEdit();
  do {
    value = valueAt(where);
    notifyIfDirty(context);
    context->queryMouseLocation(where);
    pumpIdle();
    if (leftFrame(trackedIn)) return;
  } while (context->queryMouseButtons() == pressed);
  endEdit();
}
