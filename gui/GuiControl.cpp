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
    : GuiView(controlSize), listener(controlListener), tag(controlTag) {
  setBackground(backgroundBitmap);
}

GuiControl::~GuiControl() {
  if (background) background->release();
}

bool GuiControl::isDirty() const { return value != oldValue || dirty; }

void GuiControl::setDirty(bool state) {
  dirty = state;
  if (!state) {
    oldValue = value;
  } else {
    oldValue = value == -1.0f ? 0.0f : -1.0f;
  }
}

void GuiControl::pumpIdle() {
  EditorBase* editor = frame ? frame->getEditor() : nullptr;
  if (editor) editor->pumpIdle();
}

void GuiControl::setValue(float newValue) {
  if (std::isfinite(newValue)) value = newValue;
}

float GuiControl::getValue() const { return value; }
void GuiControl::setMin(float newMin) { minValue = newMin; }
float GuiControl::getMin() const { return minValue; }
void GuiControl::setMax(float newMax) { maxValue = newMax; }
float GuiControl::getMax() const { return maxValue; }
void GuiControl::setOldValue(float newOldValue) { oldValue = newOldValue; }
float GuiControl::getOldValue() const { return oldValue; }
void GuiControl::setDefaultValue(float newDefault) { defaultValue = newDefault; }
float GuiControl::getDefaultValue() const { return defaultValue; }
void GuiControl::setTag(std::int32_t newTag) { tag = newTag; }

void GuiControl::setBackground(GuiBitmap* bitmap) {
  if (bitmap) bitmap->retain();
  if (background) background->release();
  background = bitmap;
}

GuiBitmap* GuiControl::getBackground() const { return background; }
void GuiControl::setWheelIncrement(float increment) { wheelIncrement = increment; }
float GuiControl::getWheelIncrement() const { return wheelIncrement; }

void GuiControl::clampValue() {
  if (value > maxValue) value = maxValue;
  if (value < minValue) value = minValue;
}

void GuiControl::notifyListener(DrawContext* context) {
  if (listener) listener->valueChanged(context, this);
}

void GuiControl::notifyIfDirty(DrawContext* context) {
  if (isDirty()) notifyListener(context);
}

void GuiControl::beginEdit() {
  if (frame) frame->beginEdit(tag);
}

void GuiControl::endEdit() {
  if (frame) frame->endEdit(tag);
}

bool GuiControl::wheelStep(DrawContext* context, float distance) {
  if (!mouseEnabled || !std::isfinite(distance)) return false;
  const bool fine = context && (context->queryMouseButtons() & kMouseShift);
  const float change = distance * wheelIncrement;
  setValue(value + (fine ? change * 0.1f : change));
  clampValue();
  notifyIfDirty(context);
  return true;
}

std::int32_t GuiControl::pressState(DrawContext* context) const {
  if (!context || !mouseEnabled) return 0;
  const std::int32_t state = context->queryMouseButtons();
  return (state & kMouseLeft) ? state : 0;
}

bool GuiControl::controlClickSetsDefault(DrawContext* context, std::int32_t state) {
  if (state != kControlClick) return false;
  value = defaultValue;
  notifyIfDirty(context);
  return true;
}
