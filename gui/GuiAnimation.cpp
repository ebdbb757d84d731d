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
      frameCount_(std::max(count, 1)),
      frameHeight_(std::max(height, 0)),
      backgroundOffset_(offset) {}

float GuiAnimation::lastRow() const {
  return static_cast<float>(std::int64_t{frameCount_ - 1} * frameHeight_);
}

void GuiAnimation::draw(DrawContext* context) {
  if (running_) {
    drawStripFrame(context, background_, size_, frameSource(backgroundOffset_, pixelOf(value_), 1),
                   transparent_);
  }
  setDirty(false);
}

void GuiAnimation::onMouseDown(DrawContext* context, GuiPoint) {
  if (!pressState(context)) return;
  if (running_) {
    stop();
  } else {
    start();
    notifyListener(context);
  }
}

void GuiAnimation::start() {
  value_ = 0.0f;
  running_ = true;
  setDirty(true);
}

void GuiAnimation::stop() {
  value_ = 0.0f;
  running_ = false;
  if (frame_) frame_->setDirty(true);  // what the last frame covered is drawn again
}

void GuiAnimation::nextFrame() {
  value_ += static_cast<float>(frameHeight_);
  if (value_ > lastRow()) value_ = 0.0f;
}

void GuiAnimation::previousFrame() {
  value_ -= static_cast<float>(frameHeight_);
  if (value_ < 0.0f) value_ = lastRow();
}
