// The two-frame button: the momentary button's press without its final reset.
#include "gui/GuiTwoFrameButton.h"

#include "gui/DrawContext.h"
#include "gui/StripDrawing.h"

GuiTwoFrameButton::GuiTwoFrameButton(const GuiRect& buttonSize, ControlListener* buttonListener,
                                     std::int32_t buttonTag, std::int32_t height,
                                     GuiBitmap* buttonBackground, GuiPoint offset)
    : GuiMomentaryButton(buttonSize, buttonListener, buttonTag, height, buttonBackground, offset) {}

void GuiTwoFrameButton::draw(DrawContext* context) {
  drawStripFrame(context, background, size,
                 frameSource({0, backgroundOffset.v}, value == 0.0f ? 0 : 1, frameHeight),
                 transparent);
  setDirty(false);
}

void GuiTwoFrameButton::onMouseDown(DrawContext* context, GuiPoint where) {
  const std::int32_t state = pressState(context);
  if (!state) return;
  trackPress(context, where, state, HoldRule::sameState);
}
