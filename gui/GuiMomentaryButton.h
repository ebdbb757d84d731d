// GuiMomentaryButton: a push button. Its bitmap holds the released look at the background offset
// and the pressed look one frame height below. While the button is held it is pressed as long as
// the pointer is over it (a gesture for the host); on release the value goes back to 0. The
// listener hears the pressed value and then, always, the final 0.
#pragma once

#include "gui/GuiControl.h"

class GuiMomentaryButton : public GuiControl {
 public:
  GuiMomentaryButton(const GuiRect& size, ControlListener* listener, std::int32_t tag,
                     std::int32_t frameHeight, GuiBitmap* background, GuiPoint backgroundOffset);

  // Clamps the value, then shows the released look for 0 and the pressed look otherwise.
  void draw(DrawContext* context) override;
  void onMouseDown(DrawContext* context, GuiPoint where) override;

  std::int32_t getFrameHeight() const { return frameHeight; }
  GuiPoint getBackgroundOffset() const { return backgroundOffset; }

 protected:
  // Which polls end a held press: any button or modifier still down keeps it going, or only
  // exactly the buttons and modifiers of the press.
  enum class HoldRule { anyDown, sameState };
  // The press without its end: when the button is still held at the next poll, a host gesture
  // in which the value is the opposite of the starting value while the pointer is over the
  // button (edges included) and the starting value elsewhere, the listener told of each change;
  // when it is already released, the opposite value and the listener told.
  void trackPress(DrawContext* context, GuiPoint where, std::int32_t pressed, HoldRule rule);

  GuiPoint backgroundOffset;
  std::int32_t frameHeight;
};
