// The level meter: off picture, lit segments from the on picture, and the fall-back per redraw.
#include "gui/GuiLevelMeter.h"

#include <algorithm>
#include <cmath>

#include "gui/DrawContext.h"
#include "gui/GuiBitmap.h"
#include "gui/PixelMath.h"
#include "gui/StripDrawing.h"

GuiLevelMeter::GuiLevelMeter(const GuiRect& meterSize, GuiBitmap* on, GuiBitmap* off,
                             std::int32_t segments, std::int32_t meterStyle)
    : GuiControl(meterSize, nullptr, 0, off),
      segmentCount(std::max(segments, 1)),
      style(meterStyle) {
  if (on) {
    on->retain();
    onBitmap = on;
  }
}

GuiLevelMeter::~GuiLevelMeter() {
  if (onBitmap) onBitmap->release();
}

void GuiLevelMeter::setDecay(float amount) {
  if (std::isfinite(amount) && amount >= 0.0f) decay = amount;
}

bool GuiLevelMeter::isDirty() const { return GuiControl::isDirty() || shownLevel > value; }

std::int32_t GuiLevelMeter::litSegments() const {
  const float range = maxValue - minValue;
  const float fraction = range != 0.0f ? (shownLevel - minValue) / range : 0.0f;
  return indexOf(std::floor(fraction * static_cast<float>(segmentCount)), 0, segmentCount);
}

void GuiLevelMeter::draw(DrawContext* context) {
  shownLevel = std::max(value, shownLevel - decay);
  const GuiRect all{0, 0, size.width(), size.height()};
  drawStripFrame(context, background, size, {0, 0}, transparent);
  const std::int32_t lit = litSegments();
  if (style & kHorizontal) {
    const auto w = static_cast<std::int32_t>(std::int64_t{all.right} * lit / segmentCount);
    drawStripFrame(context, onBitmap, {size.left, size.top, size.left + w, size.bottom}, {0, 0},
                   transparent);
  } else {
    const auto h = static_cast<std::int32_t>(std::int64_t{all.bottom} * lit / segmentCount);
    drawStripFrame(context, onBitmap, {size.left, size.bottom - h, size.right, size.bottom},
                   {0, all.bottom - h}, transparent);
  }
  setDirty(false);
}
