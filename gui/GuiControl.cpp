// The control base: value model, dirty rules and the background bitmap's reference.
#include "gui/GuiControl.h"

#include <cmath>

#include "gui/ControlListener.h"
#include "gui/DrawContext.h"
#include "gui/EditorBase.h"
#include "gui/GuiBitmap.h"
#include "gui/GuiFrame.h"

GuiControl::GuiControl(const GuiRect& controlSize, ControlListener* controlListener,
                       std::int32_t controlTag, GuiBitmap* backgroundBitmap)
    : GuiView(controlSize), listener_(controlListener), tag_(controlTag) {
  setBackground(backgroundBitmap);
}

GuiControl::~GuiControl() {
  if (background_) background_->release();
}

bool GuiControl::isDirty() const { return value_ != oldValue_ || dirty_; }

void GuiControl::setDirty(bool state) {
  dirty_ = state;
  if (!state) {
    oldValue_ = value_;
  } else {
    oldValue_ = value_ == -1.0f ? 0.0f : -1.0f;
  }
}

void GuiControl::pumpIdle() {
  EditorBase* editor = frame_ ? frame_->getEditor() : nullptr;
  if (editor) editor->pumpIdle();
}

void GuiControl::setValue(float newValue) {
  if (std::isfinite(newValue)) value_ = newValue;
}

float GuiControl::getValue() const { return value_; }
void GuiControl::setMin(float newMin) { minValue_ = newMin; }
float GuiControl::getMin() const { return minValue_; }
void GuiControl::setMax(float newMax) { maxValue_ = newMax; }
float GuiControl::getMax() const { return maxValue_; }
void GuiControl::setOldValue(float newOldValue) { oldValue_ = newOldValue; }
float GuiControl::getOldValue() const { return oldValue_; }
void GuiControl::setDefaultValue(float newDefault) { defaultValue_ = newDefault; }
float GuiControl::getDefaultValue() const { return defaultValue_; }
void GuiControl::setTag(std::int32_t newTag) { tag_ = newTag; }

void GuiControl::setBackground(GuiBitmap* bitmap) {
  if (bitmap) bitmap->retain();
  if (background_) background_->release();
  background_ = bitmap;
}

GuiBitmap* GuiControl::getBackground() const { return background_; }
void GuiControl::setWheelIncrement(float increment) { wheelIncrement_ = increment; }
float GuiControl::getWheelIncrement() const { return wheelIncrement_; }

void GuiControl::clampValue() {
  if (value_ > maxValue_) value_ = maxValue_;
  if (value_ < minValue_) value_ = minValue_;
}

void GuiControl::notifyListener(DrawContext* context) {
  if (listener_) listener_->valueChanged(context, this);
}

void GuiControl::notifyIfDirty(DrawContext* context) {
  if (isDirty()) notifyListener(context);
}

void GuiControl::beginEdit() {
  if (frame_) frame_->beginEdit(tag_);
}

void GuiControl::endEdit() {
  if (frame_) frame_->endEdit(tag_);
}

bool GuiControl::wheelStep(DrawContext* context, float distance) {
  if (!mouseEnabled_ || !std::isfinite(distance)) return false;
  const bool fine = context && (context->queryMouseButtons() & kMouseShift);
  const float change = distance * wheelIncrement_;
  setValue(value_ + (fine ? change * 0.1f : change));
  clampValue();
  notifyIfDirty(context);
  return true;
}

std::int32_t GuiControl::pressState(DrawContext* context) const {
  if (!context || !mouseEnabled_) return 0;
  const std::int32_t state = context->queryMouseButtons();
  return (state & kMouseLeft) ? state : 0;
}

bool GuiControl::controlClickSetsDefault(DrawContext* context, std::int32_t state) {
  if (state != kControlClick) return false;
  value_ = defaultValue_;
  notifyIfDirty(context);
  return true;
}
