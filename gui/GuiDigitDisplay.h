// GuiDigitDisplay: an integer shown as a row of digit images, one per position, like a counter.
// Its bitmap holds the ten digit images 0-9 stacked vertically, each `digitWidth` x
// `digitHeight`. Position i (0 the most significant digit) is drawn at (xPositions[i],
// yPositions[i]) from the control's top-left corner. At most 7 positions; leading zeros are
// shown. It takes no part in mouse handling.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "gui/GuiControl.h"

class GuiDigitDisplay : public GuiControl {
 public:
  static constexpr std::int32_t kMaxDigits = 7;

  // The number of positions is `digitCount`, cut to 7 and to the length of the shorter position
  // list (a list shorter than the count is never read beyond its end).
  GuiDigitDisplay(const GuiRect& size, ControlListener* listener, std::int32_t tag, float value,
                  std::int32_t digitCount, std::span<const std::int32_t> xPositions,
                  std::span<const std::int32_t> yPositions, std::int32_t digitWidth,
                  std::int32_t digitHeight, GuiBitmap* background);

  // The integer part of the value, clamped to 0 ... 10^count - 1, one digit per position.
  void draw(DrawContext* context) override;

  std::int32_t getDigitCount() const { return digitCount; }
  // The number drawn for the current value.
  std::int32_t shownNumber() const;

 protected:
  std::int32_t digitCount;
  std::array<std::int32_t, kMaxDigits> xPositions{};
  std::array<std::int32_t, kMaxDigits> yPositions{};
  std::int32_t digitWidth;
  std::int32_t digitHeight;
};
