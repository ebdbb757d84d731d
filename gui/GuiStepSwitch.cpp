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
      axis_(switchAxis),
      bitmapFrames_(std::max(frames, 1)),
      frameHeight_(height),
      positionCount_(std::max(positions, 1)),
      backgroundOffset_(offset) {}

std::int32_t GuiStepSwitch::currentFrame() const {
  const std::int32_t last = positionCount_ - 1;
  const std::int32_t frameIndex =
      value_ >= 1.0f ? last : indexOf(value_ * static_cast<float>(last), 0, last);
  return std::min(frameIndex, bitmapFrames_ - 1);
}

void GuiStepSwitch::draw(DrawContext* context) {
  drawStripFrame(context, background_, size_,
                 frameSource(backgroundOffset_, currentFrame(), frameHeight_), transparent_);
  setDirty(false);
}

std::int32_t GuiStepSwitch::bandSize() const {
  const std::int32_t span =
      axis_ == Axis::vertical ? frameHeight_ : (background_ ? background_->getWidth() : size_.width());
  return std::max(span / positionCount_, 1);
}

float GuiStepSwitch::valueAt(GuiPoint where) const {
  if (positionCount_ < 2) return 0.0f;
  const std::int64_t along = axis_ == Axis::vertical ? std::int64_t{where.v} - size_.top
                                                    : std::int64_t{where.h} - size_.left;
  const std::int64_t band = std::max<std::int64_t>(along / bandSize(), 0);
  if (band >= positionCount_) return 1.0f;
  return static_cast<float>(band) / static_cast<float>(positionCount_ - 1);
}

void GuiStepSwitch::onMouseDown(DrawContext* context, GuiPoint where) {
  const std::int32_t pressed = pressState(context);
  if (!pressed || controlClickSetsDefault(context, pressed)) return;
  const GuiFrame* trackedIn = frame_;
  beginEdit();
  do {
    value_ = valueAt(where);
    notifyIfDirty(context);
    context->queryMouseLocation(where);
    pumpIdle();
    if (leftFrame(trackedIn)) return;
  } while (context->queryMouseButtons() == pressed);
  endEdit();
}
