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
      frameCount_(std::max(count, 1)),
      frameHeight_(height),
      backgroundOffset_(offset) {}

std::int32_t GuiFrameStrip::currentFrame() const {
  const float last = static_cast<float>(frameCount_ - 1);
  return indexOf(std::min(value_, 1.0f) * last + 0.5f, 0, frameCount_ - 1);
}

void GuiFrameStrip::draw(DrawContext* context) {
  if (value_ > 1.0f) value_ = 1.0f;
  drawStripFrame(context, background_, size_,
                 frameSource(backgroundOffset_, currentFrame(), frameHeight_), transparent_);
  setDirty(false);
}
