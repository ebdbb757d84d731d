// The digit display: the number split into digits, each copied from the digit strip.
#include "gui/GuiDigitDisplay.h"

#include <algorithm>
#include <cmath>

#include "gui/DrawContext.h"
#include "gui/PixelMath.h"
#include "gui/StripDrawing.h"

GuiDigitDisplay::GuiDigitDisplay(const GuiRect& displaySize, ControlListener* displayListener,
                                 std::int32_t displayTag, float startValue, std::int32_t count,
                                 std::span<const std::int32_t> xs,
                                 std::span<const std::int32_t> ys, std::int32_t width,
                                 std::int32_t height, GuiBitmap* displayBackground)
    : GuiControl(displaySize, displayListener, displayTag, displayBackground),
      digitWidth_(width),
      digitHeight_(height) {
  const std::size_t usable = std::min({xs.size(), ys.size(), std::size_t{kMaxDigits}});
  digitCount_ = static_cast<std::int32_t>(
      std::clamp<std::int64_t>(count, 0, static_cast<std::int64_t>(usable)));
  std::copy_n(xs.begin(), digitCount_, xPositions_.begin());
  std::copy_n(ys.begin(), digitCount_, yPositions_.begin());
  maxValue_ = std::pow(10.0f, static_cast<float>(digitCount_)) - 1.0f;
  setValue(startValue);
}

std::int32_t GuiDigitDisplay::shownNumber() const {
  std::int32_t largest = 0;
  for (std::int32_t i = 0; i < digitCount_; ++i) largest = largest * 10 + 9;
  return indexOf(value_, 0, largest);
}

void GuiDigitDisplay::draw(DrawContext* context) {
  std::int32_t number = shownNumber();
  for (std::int32_t i = digitCount_ - 1; i >= 0; --i) {
    const auto at = static_cast<std::size_t>(i);
    const std::int32_t digit = number % 10;
    number /= 10;
    const GuiPoint corner = size_.topLeft().offsetBy({xPositions_[at], yPositions_[at]});
    const GuiRect dest{corner.h, corner.v, saturateToInt32(std::int64_t{corner.h} + digitWidth_),
                       saturateToInt32(std::int64_t{corner.v} + digitHeight_)};
    drawStripFrame(context, background_, dest, frameSource({0, 0}, digit, digitHeight_),
                   transparent_);
  }
  setDirty(false);
}
