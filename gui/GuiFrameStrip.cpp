// The frame strip: the value picks a frame.
#include "gui/GuiFrameStrip.h"

#include <algorithm>

#include "gui/DrawContext.h"
#include "gui/PixelMath.h"
#include "gui/StripDrawing.h"

GuiFrameStrip::GuiFrameStrip(const GuiRect& stripSize, ControlListener* stripListener,
                             std::int32_t stripTag, std::int32_t count, std::int32_t height,
                             GuiBitmap* stripBackground, GuiPoint offset)
    : GuiControl(stripSize, stripListener, stripTag, stripBackground),
      frameCount(std::max(count, 1)),
      frameHeight(height),
      backgroundOffset(offset) {}

std::int32_t GuiFrameStrip::currentFrame() const {
  const float last = static_cast<float>(frameCount - 1);
  return indexOf(std::min(value, 1.0f) * last + 0.5f, 0, frameCount - 1);
}

void GuiFrameStrip::draw(DrawContext* context) {
  if (value > 1.0f) value = 1.0f;
  drawStripFrame(context, background, size,
                 frameSource(backgroundOffset, currentFrame(), frameHeight), transparent);
  setDirty(false);
}
