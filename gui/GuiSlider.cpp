// Sliders: the handle's place, the composed drawing and the drag.
#include "gui/GuiSlider.h"

#include <algorithm>
#include <cmath>

#include "gui/ControlStyle.h"
#include "gui/DrawContext.h"
#include "gui/GuiBitmap.h"
#include "gui/OffscreenContext.h"
#include "gui/PixelMath.h"
#include "gui/StripDrawing.h"

GuiSlider::GuiSlider(Axis sliderAxis, const GuiRect& sliderSize, ControlListener* sliderListener,
                     std::int32_t sliderTag, std::int32_t minPos, std::int32_t maxPos,
                     GuiBitmap* handle, GuiBitmap* sliderBackground, GuiPoint offset,
                     std::int32_t sliderStyle)
    : GuiControl(sliderSize, sliderListener, sliderTag, sliderBackground),
      axis(sliderAxis),
      backgroundOffset(offset),
      minPosition(minPos),
      maxPosition(maxPos),
      style(sliderStyle) {
  if (handle) {
    handle->retain();
    handleBitmap = handle;
  }
}

GuiSlider::~GuiSlider() {
  if (handleBitmap) handleBitmap->release();
}

float GuiSlider::normalized() const {
  const float range = maxValue - minValue;
  const float fraction = range != 0.0f ? (value - minValue) / range : 0.0f;
  return std::isfinite(fraction) ? std::clamp(fraction, 0.0f, 1.0f) : 0.0f;
}

void GuiSlider::setNormalized(float fraction) {
  setValue(minValue + std::clamp(fraction, 0.0f, 1.0f) * (maxValue - minValue));
}

std::int32_t GuiSlider::handlePosition() const {
  const float place = (style & kStyleHandleFollowsValue) ? normalized() : 1.0f - normalized();
  const float travel = static_cast<float>(std::int64_t{maxPosition} - minPosition);
  return pixelOf(static_cast<float>(minPosition) + place * travel);
}

float GuiSlider::along(GuiPoint where) const {
  return axis == Axis::vertical ? static_cast<float>(std::int64_t{where.v} - size.top)
                                : static_cast<float>(std::int64_t{where.h} - size.left);
}

float GuiSlider::handleLength() const {
  if (!handleBitmap) return 0.0f;
  return static_cast<float>(axis == Axis::vertical ? handleBitmap->getHeight()
                                                   : handleBitmap->getWidth());
}

void GuiSlider::setFromPosition(float position) {
  const float travel = static_cast<float>(std::int64_t{maxPosition} - minPosition);
  float fraction = travel != 0.0f ? (position - static_cast<float>(minPosition)) / travel : 0.0f;
  fraction = std::clamp(fraction, 0.0f, 1.0f);
  setNormalized((style & kStyleInvertedDrag) ? 1.0f - fraction : fraction);
}

void GuiSlider::draw(DrawContext* context) {
  if (!context) {
    setDirty(false);
    return;
  }
  const std::int32_t w = size.width();
  const std::int32_t h = size.height();
  OffscreenContext composed(context->getFrame(), w, h, kColorBlack, context->getFrameSize());
  if (transparent && context->getDevice()) {
    // What lies beneath the control shows through the knocked-out background.
    composed.copyBlock(context->getDevice()->cairoSurface(), {0, 0, w, h},
                       size.topLeft().offsetBy(context->getOffset()));
  }
  drawStripFrame(&composed, background, {0, 0, w, h}, backgroundOffset, transparent);
  if (handleBitmap) {
    const std::int32_t hw = handleBitmap->getWidth();
    const std::int32_t hh = handleBitmap->getHeight();
    const std::int32_t at = handlePosition();
    const GuiPoint corner =
        axis == Axis::vertical ? GuiPoint{(w - hw) / 2, at} : GuiPoint{at, (h - hh) / 2};
    handleBitmap->drawKeyed(&composed, {corner.h, corner.v, corner.h + hw, corner.v + hh});
  }
  composed.copyTo(context, size);
  setDirty(false);
}

void GuiSlider::onMouseDown(DrawContext* context, GuiPoint where) {
  const std::int32_t state = pressState(context);
  if (!state || controlClickSetsDefault(context, state)) return;
  // The handle keeps the point where it was taken; a press beside it takes it by its middle.
  const float length = handleLength();
  const float at = static_cast<float>(handlePosition());
  const float pressed = along(where);
  const float grip = (pressed >= at && pressed <= at + length) ? pressed - at : length * 0.5f;
  float anchorPointer = pressed;
  float anchorHandle = pressed - grip;
  bool zoomed = (state & kMouseShift) != 0;

  const GuiFrame* trackedIn = frame;
  beginEdit();
  bool held = true;
  while (held) {
    const std::int32_t now = context->queryMouseButtons();
    held = (now & kMouseLeft) != 0;
    const float pointer = along(where);
    const bool zoomNow = (now & kMouseShift) != 0;
    if (zoomNow != zoomed) {
      // Re-anchor, so that changing the speed never makes the handle jump.
      const float zoom = zoomed ? kZoomFactor : 1.0f;
      anchorHandle += (pointer - anchorPointer) / zoom;
      anchorPointer = pointer;
      zoomed = zoomNow;
    }
    const float zoom = zoomed ? kZoomFactor : 1.0f;
    setFromPosition(anchorHandle + (pointer - anchorPointer) / zoom);
    notifyIfDirty(context);
    context->queryMouseLocation(where);
    pumpIdle();
    if (leftFrame(trackedIn)) return;
  }
  endEdit();
}

bool GuiSlider::onWheel(DrawContext* context, GuiPoint, float distance) {
  return wheelStep(context, distance);
}
