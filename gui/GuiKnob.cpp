// The knob: angle-to-value mapping, drawing, the two drag modes, control-click and the wheel.
#include "gui/GuiKnob.h"

#include <cmath>
#include <numbers>

#include "gui/DrawContext.h"
#include "gui/EditorBase.h"
#include "gui/GuiBitmap.h"
#include "gui/GuiFrame.h"
#include "gui/PixelMath.h"
#include "gui/StripDrawing.h"

namespace {

constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;
// The knob mode (EditorBase::setDragMode) that makes linear dragging the default.
constexpr std::int32_t kLinearKnobMode = 2;

// `angle` brought into [0, 2 pi).
float wrapAngle(float angle) {
  float wrapped = std::fmod(angle, kTwoPi);
  if (wrapped < 0.0f) wrapped += kTwoPi;
  return wrapped >= kTwoPi ? 0.0f : wrapped;
}

}  // namespace

GuiKnob::GuiKnob(const GuiRect& knobSize, ControlListener* knobListener, std::int32_t knobTag,
                 GuiBitmap* knobBackground, GuiBitmap* handle, GuiPoint offset)
    : GuiControl(knobSize, knobListener, knobTag, knobBackground),
      backgroundOffset(offset),
      radius(static_cast<float>(knobSize.width()) * 0.5f) {
  if (handle) {
    handle->retain();
    handleBitmap = handle;
    inset = insetForHandle(handle);
  }
  computeAngleMapping();
}

GuiKnob::~GuiKnob() {
  if (handleBitmap) handleBitmap->release();
}

std::int32_t GuiKnob::insetForHandle(const GuiBitmap* bitmap) {
  return static_cast<std::int32_t>(static_cast<float>(bitmap->getWidth()) * 0.5f + 2.5f);
}

void GuiKnob::computeAngleMapping() {
  halfDeadAngle = (kTwoPi - std::fabs(rangeAngle)) * 0.5f;
  valuePerRadian = (maxValue - minValue) / rangeAngle;
  valueOffset = minValue - valuePerRadian * startAngle;
}

// ---- drawing ------------------------------------------------------------------------------

void GuiKnob::draw(DrawContext* context) {
  drawStripFrame(context, background, size, backgroundOffset, transparent);
  drawHandle(context);
  setDirty(false);
}

void GuiKnob::drawHandle(DrawContext* context) {
  if (!context) return;
  GuiPoint p;
  pointForValue(p);
  const GuiPoint at = size.topLeft().offsetBy(p);
  if (handleBitmap) {
    const std::int32_t w = handleBitmap->getWidth();
    const std::int32_t h = handleBitmap->getHeight();
    const GuiPoint corner = at.offsetBy({-w / 2, -h / 2});
    handleBitmap->drawKeyed(context, {corner.h, corner.v, corner.h + w, corner.v + h});
    return;
  }
  GuiPoint handlePoint = at.offsetBy({-1, 0});
  GuiPoint centre{saturateToInt32(std::int64_t{size.left} + size.width() / 2 - 1),
                  saturateToInt32(std::int64_t{size.top} + size.height() / 2)};
  context->setFrameColor(shadowColor);
  context->moveTo(handlePoint);
  context->lineTo(centre);
  handlePoint = handlePoint.offsetBy({1, -1});
  centre = centre.offsetBy({1, -1});
  context->setFrameColor(handleColor);
  context->moveTo(handlePoint);
  context->lineTo(centre);
}

// ---- geometry -----------------------------------------------------------------------------

void GuiKnob::pointForValue(GuiPoint& point) const {
  float alpha = (value - valueOffset) / valuePerRadian;
  if (!std::isfinite(alpha)) alpha = startAngle;  // an empty range: the handle rests at the start
  const float reach = radius - static_cast<float>(inset);
  point.h = pixelOf(radius + std::cos(alpha) * reach + 0.5f);
  point.v = pixelOf(radius - std::sin(alpha) * reach + 0.5f);
}

// The angle of the point, swept from the start angle in the direction of the range, maps
// linearly onto [min, max] over the range. Beyond the end of the sweep lies the dead zone: its
// first half (next to the end) gives the maximum, its second half (next to the start) the
// minimum.
float GuiKnob::valueAtPoint(GuiPoint point) const {
  const float theta = wrapAngle(
      std::atan2(radius - static_cast<float>(point.v), static_cast<float>(point.h) - radius));
  const float sweep = std::fabs(rangeAngle);
  const float swept = wrapAngle(rangeAngle < 0.0f ? startAngle - theta : theta - startAngle);
  if (swept <= sweep) return minValue + swept * (maxValue - minValue) / sweep;
  return swept - sweep < halfDeadAngle ? maxValue : minValue;
}

void GuiKnob::setStartAngle(float angle) {
  if (!std::isfinite(angle)) return;
  startAngle = angle;
  computeAngleMapping();
  setDirty(true);
}

float GuiKnob::getStartAngle() const { return startAngle; }

void GuiKnob::setRangeAngle(float angle) {
  if (!std::isfinite(angle) || angle == 0.0f) return;
  rangeAngle = angle;
  computeAngleMapping();
  setDirty(true);
}

float GuiKnob::getRangeAngle() const { return rangeAngle; }

void GuiKnob::setMin(float newMin) {
  GuiControl::setMin(newMin);
  computeAngleMapping();
}

void GuiKnob::setMax(float newMax) {
  GuiControl::setMax(newMax);
  computeAngleMapping();
}

void GuiKnob::setInset(std::int32_t newInset) { inset = newInset; }

void GuiKnob::setShadowColor(GuiColor color) {
  shadowColor = color;
  setDirty(true);
}

void GuiKnob::setHandleColor(GuiColor color) {
  handleColor = color;
  setDirty(true);
}

void GuiKnob::setHandleBitmap(GuiBitmap* bitmap) {
  if (bitmap) bitmap->retain();
  if (handleBitmap) handleBitmap->release();
  handleBitmap = bitmap;
  if (bitmap) inset = insetForHandle(bitmap);
}

void GuiKnob::setFineDivisor(float divisor) {
  if (std::isfinite(divisor) && divisor >= 1.0f) fineDivisor = divisor;
}

float GuiKnob::getFineDivisor() const { return fineDivisor; }

// ---- mouse --------------------------------------------------------------------------------

void GuiKnob::onMouseDown(DrawContext* context, GuiPoint where) {
  const std::int32_t buttons = pressState(context);
  if (!buttons || controlClickSetsDefault(context, buttons)) return;
  bool linear = toolkitKnobMode() == kLinearKnobMode;
  if (buttons & kMouseAlt) linear = !linear;
  beginEdit();
  if (linear) {
    trackLinear(context, where, buttons);
  } else {
    trackCircular(context, where);
  }
  endEdit();
}

// Each pass polls the buttons first; the pass that finds them released is still completed. The
// first pass handles the click point, later ones the location read at the end of the pass
// before.
void GuiKnob::trackCircular(DrawContext* context, GuiPoint where) {
  const GuiFrame* trackedIn = frame;
  const float halfRange = (maxValue - minValue) * 0.5f;
  const GuiPoint origin = size.topLeft();
  float reference = valueAtPoint({where.h - origin.h, where.v - origin.v});
  GuiPoint cursor = where;
  GuiPoint handled{};
  bool first = true;
  bool held = true;
  while (held) {
    held = (context->queryMouseButtons() & kMouseLeft) != 0;
    if (first || !(cursor == handled)) {
      first = false;
      handled = cursor;
      const float m = valueAtPoint({cursor.h - origin.h, cursor.v - origin.v});
      if (reference - m > halfRange) {
        value = maxValue;
      } else if (m - reference > halfRange) {
        value = minValue;
      } else {
        value = m;
        reference = m;
      }
      notifyIfDirty(context);
    }
    context->queryMouseLocation(cursor);
    pumpIdle();
    if (leftFrame(trackedIn)) return;
  }
}

void GuiKnob::trackLinear(DrawContext* context, GuiPoint where, std::int32_t buttons) {
  const GuiFrame* trackedIn = frame;
  const float range = maxValue - minValue;
  auto stepFor = [&](std::int32_t state) {
    return (state & kMouseShift) ? range / (fineDivisor * kLinearDragPixels)
                                 : range / kLinearDragPixels;
  };
  float start = value;
  float step = stepFor(buttons);
  std::int32_t stepState = buttons;
  GuiPoint cursor = where;
  GuiPoint handled{};
  bool first = true;
  bool held = true;
  while (held) {
    const std::int32_t state = context->queryMouseButtons();
    held = (state & kMouseLeft) != 0;
    if (first || !(cursor == handled)) {
      first = false;
      handled = cursor;
      const float d = static_cast<float>(std::int64_t{cursor.h} - where.h) +
                      static_cast<float>(std::int64_t{where.v} - cursor.v);
      if (state != stepState) {
        // Keep the value where it is when shift changes the step mid-drag.
        const float newStep = stepFor(state);
        start += (step - newStep) * d;
        step = newStep;
        stepState = state;
      }
      setValue(start + d * step);
      clampValue();
      notifyIfDirty(context);
    }
    context->queryMouseLocation(cursor);
    pumpIdle();
    if (leftFrame(trackedIn)) return;
  }
}

bool GuiKnob::onWheel(DrawContext* context, GuiPoint, float distance) {
  return wheelStep(context, distance);
}
