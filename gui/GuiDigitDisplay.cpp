// The digit display: the number split into digits, each copied from the digit strip.
#include "gui/GuiDigitDisplay.h"

#include <algorithm>
#include <cmath>

#include "gui/DrawContext.h"
#include "gui/PixelMath.h"
#include "gui/StripDrawing.h"

GuiDigitDisplay::GuiDigitDisplay(const GuiRect& displaySize, ControlListener* displayListener,
                                 std::int32_t displayTag, float startValue, std::int32_t count,
                                 std::span<const std::int32_t> xs, std::span<const std::int32_t> ys,
                                 std::int32_t width, std::int32_t height,
                                 GuiBitmap* displayBackground)
    : GuiControl(displaySize, displayListener, displayTag, displayBackground),
      digitWidth(width),
      digitHeight(height) {
  const std::size_t usable = std::min({xs.size(), ys.size(), std::size_t{kMaxDigits}});
  digitCount = static_cast<std::int32_t>(
      std::clamp<std::int64_t>(count, 0, static_cast<std::int64_t>(usable)));
  std::copy_n(xs.begin(), digitCount, xPositions.begin());
  std::copy_n(ys.begin(), digitCount, yPositions.begin());
  maxValue = std::pow(10.0f, static_cast<float>(digitCount)) - 1.0f;
  setValue(startValue);
}

std::int32_t GuiDigitDisplay::shownNumber() const {
  std::int32_t largest = 0;
  for (std::int32_t i = 0; i < digitCount; ++i) largest = largest * 10 + 9;
  return indexOf(value, 0, largest);
}

void GuiDigitDisplay::draw(DrawContext* context) {
  std::int32_t number = shownNumber();
  for (std::int32_t i = digitCount - 1; i >= 0; --i) {
    const auto at = static_cast<std::size_t>(i);
    const std::int32_t digit = number % 10;
    number /= 10;
    const GuiPoint corner = size.topLeft().offsetBy({xPositions[at], yPositions[at]});
    const GuiRect dest{corner.h, corner.v, saturateToInt32(std::int64_t{corner.h} + digitWidth),
                       saturateToInt32(std::int64_t{corner.v} + digitHeight)};
    drawStripFrame(context, background, dest, frameSource({0, 0}, digit, digitHeight), transparent);
  }
  setDirty(false);
}
