// The momentary button: pressed while held over it, back to 0 on release.
#include "gui/GuiMomentaryButton.h"

#include "gui/DrawContext.h"
#include "gui/StripDrawing.h"

GuiMomentaryButton::GuiMomentaryButton(const GuiRect& buttonSize, ControlListener* buttonListener,
                                       std::int32_t buttonTag, std::int32_t height,
                                       GuiBitmap* buttonBackground, GuiPoint offset)
    : GuiControl(buttonSize, buttonListener, buttonTag, buttonBackground),
      backgroundOffset_(offset),
      frameHeight_(height) {}

void GuiMomentaryButton::draw(DrawContext* context) {
  clampValue();
  drawStripFrame(context, background_, size_,
                 frameSource(backgroundOffset_, value_ == 0.0f ? 0 : 1, frameHeight_), transparent_);
  setDirty(false);
}

void GuiMomentaryButton::onMouseDown(DrawContext* context, GuiPoint where) {
  const std::int32_t state = pressState(context);
  if (!state) return;
  trackPress(context, where, state, HoldRule::anyDown);
  value_ = 0.0f;
  notifyListener(context);
}

void GuiMomentaryButton::trackPress(DrawContext* context, GuiPoint where, std::int32_t pressed,
                                    HoldRule rule) {
  const float start = value_;
  const float opposite = start == 0.0f ? 1.0f : 0.0f;
  auto held = [&](std::int32_t state) {
    return rule == HoldRule::anyDown ? state != 0 : state == pressed;
  };
  if (!held(context->queryMouseButtons())) {
    value_ = opposite;
    notifyListener(context);
    return;
  }
  const GuiFrame* trackedIn = frame_;
  beginEdit();
  do {
    value_ = containsInclusive(size_, where) ? opposite : start;
    notifyIfDirty(context);
    context->queryMouseLocation(where);
    pumpIdle();
    if (leftFrame(trackedIn)) return;
  } while (held(context->queryMouseButtons()));
  endEdit();
}
