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
      segmentCount_(std::max(segments, 1)),
      style_(meterStyle) {
  if (on) {
    on->retain();
    onBitmap_ = on;
  }
}

GuiLevelMeter::~GuiLevelMeter() {
  if (onBitmap_) onBitmap_->release();
}

void GuiLevelMeter::setDecay(float amount) {
  if (std::isfinite(amount) && amount >= 0.0f) decay_ = amount;
}

bool GuiLevelMeter::isDirty() const { return GuiControl::isDirty() || shownLevel_ > value_; }

std::int32_t GuiLevelMeter::litSegments() const {
  const float range = maxValue_ - minValue_;
  const float fraction = range != 0.0f ? (shownLevel_ - minValue_) / range : 0.0f;
  return indexOf(std::floor(fraction * static_cast<float>(segmentCount_)), 0, segmentCount_);
}

void GuiLevelMeter::draw(DrawContext* context) {
  shownLevel_ = std::max(value_, shownLevel_ - decay_);
  const GuiRect all{0, 0, size_.width(), size_.height()};
  drawStripFrame(context, background_, size_, {0, 0}, transparent_);
  const std::int32_t lit = litSegments();
  if (style_ & kHorizontal) {
    const auto w = static_cast<std::int32_t>(std::int64_t{all.right} * lit / segmentCount_);
    drawStripFrame(context, onBitmap_, {size_.left, size_.top, size_.left + w, size_.bottom}, {0, 0},
                   transparent_);
  } else {
    const auto h = static_cast<std::int32_t>(std::int64_t{all.bottom} * lit / segmentCount_);
    drawStripFrame(context, onBitmap_, {size_.left, size_.bottom - h, size_.right, size_.bottom},
                   {0, all.bottom - h}, transparent_);
  }
  setDirty(false);
}
