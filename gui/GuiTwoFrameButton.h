// GuiTwoFrameButton: a toggle with press feedback. It tracks a press like the momentary button
// (the toggled value while the pointer is over it), but only as long as exactly the buttons and
// modifiers of the press are held, and the toggled value stays after the release. Its two frames
// are taken from column 0 of the bitmap: 0 at the offset's row, other values one frame lower.
#pragma once

#include "gui/GuiMomentaryButton.h"

class GuiTwoFrameButton : public GuiMomentaryButton {
 public:
  GuiTwoFrameButton(const GuiRect& size, ControlListener* listener, std::int32_t tag,
                    std::int32_t frameHeight, GuiBitmap* background, GuiPoint backgroundOffset);

  void draw(DrawContext* context) override;
  void onMouseDown(DrawContext* context, GuiPoint where) override;
};
