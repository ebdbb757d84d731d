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
  const std::int32_t half = background_ ? background_->getHeight() / 2 : 0;
  drawStripFrame(context, background_, size_, frameSource({0, 0}, value_ == 0.0f ? 0 : 1, half),
                 transparent_);
  setDirty(false);
}

void GuiOnOffButton::onMouseDown(DrawContext* context, GuiPoint) {
  if (!pressState(context)) return;
  value_ = std::trunc(value_) == 0.0f ? 1.0f : 0.0f;
  draw(context);
  notifyListener(context);
}
