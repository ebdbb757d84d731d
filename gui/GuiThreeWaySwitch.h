// GuiThreeWaySwitch: a spring-loaded rocker with the values -1, 0 and +1, shown by three frames
// stacked in that order. While it is held, the half under the pointer chooses -1 (top, or left
// with style bit 1) or +1 (bottom, or right); outside the control the value stays. On release it
// springs back to 0 and tells the listener once more. A wheel step is a tap: -1 for a positive
// distance, +1 otherwise, then 0.
#pragma once

#include <cstdint>

#include "gui/GuiControl.h"

class GuiThreeWaySwitch : public GuiControl {
 public:
  // Style bit choosing left/right halves instead of top/bottom.
  static constexpr std::int32_t kHorizontal = 0x1;

  // The range is -1 to +1.
  GuiThreeWaySwitch(const GuiRect& size, ControlListener* listener, std::int32_t tag,
                    std::int32_t frameHeight, GuiBitmap* background, GuiPoint backgroundOffset,
                    std::int32_t style = 0);

  void draw(DrawContext* context) override;
  void onMouseDown(DrawContext* context, GuiPoint where) override;
  bool onWheel(DrawContext* context, GuiPoint where, float distance) override;

  std::int32_t getStyle() const { return style; }
  // The value a press at `where` (frame coordinates) gives while held; `current` outside.
  float valueAt(GuiPoint where, float current) const;

 protected:
  GuiPoint backgroundOffset;
  std::int32_t frameHeight;
  std::int32_t style;
};
