// The animation: rows of a strip stepped by the owner, shown while running.
#include "gui/GuiAnimation.h"

#include <algorithm>

#include "gui/DrawContext.h"
#include "gui/GuiFrame.h"
#include "gui/PixelMath.h"
#include "gui/StripDrawing.h"

GuiAnimation::GuiAnimation(const GuiRect& animationSize, ControlListener* animationListener,
                           std::int32_t animationTag, std::int32_t count, std::int32_t height,
                           GuiBitmap* animationBackground, GuiPoint offset)
    : GuiControl(animationSize, animationListener, animationTag, animationBackground),
      frameCount(std::max(count, 1)),
      frameHeight(std::max(height, 0)),
      backgroundOffset(offset) {}

float GuiAnimation::lastRow() const {
  return static_cast<float>(std::int64_t{frameCount - 1} * frameHeight);
}

void GuiAnimation::draw(DrawContext* context) {
  if (running) {
    drawStripFrame(context, background, size, frameSource(backgroundOffset, pixelOf(value), 1),
                   transparent);
  }
  setDirty(false);
}

void GuiAnimation::onMouseDown(DrawContext* context, GuiPoint) {
  if (!pressState(context)) return;
  if (running) {
    stop();
  } else {
    start();
    notifyListener(context);
  }
}

void GuiAnimation::start() {
  value = 0.0f;
  running = true;
  setDirty(true);
}

void GuiAnimation::stop() {
  value = 0.0f;
  running = false;
  if (frame) frame->setDirty(true);  // what the last frame covered is drawn again
}

void GuiAnimation::nextFrame() {
  value += static_cast<float>(frameHeight);
  if (value > lastRow()) value = 0.0f;
}

void GuiAnimation::previousFrame() {
  value -= static_cast<float>(frameHeight);
  if (value < 0.0f) value = lastRow();
}
