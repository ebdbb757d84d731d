// The on/off button: two frames and a flip on every click.
#include "gui/GuiOnOffButton.h"

#include <cmath>

#include "gui/DrawContext.h"
#include "gui/GuiBitmap.h"
#include "gui/StripDrawing.h"

GuiOnOffButton::GuiOnOffButton(const GuiRect& buttonSize, ControlListener* buttonListener,
                               std::int32_t buttonTag, GuiBitmap* buttonBackground)
    : GuiControl(buttonSize, buttonListener, buttonTag, buttonBackground) {}

void GuiOnOffButton::draw(DrawContext* context) {
  const std::int32_t half = background ? background->getHeight() / 2 : 0;
  drawStripFrame(context, background, size, frameSource({0, 0}, value == 0.0f ? 0 : 1, half),
                 transparent);
  setDirty(false);
}

void GuiOnOffButton::onMouseDown(DrawContext* context, GuiPoint) {
  if (!pressState(context)) return;
  value = std::trunc(value) == 0.0f ? 1.0f : 0.0f;
  draw(context);
  notifyListener(context);
}
