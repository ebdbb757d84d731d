// The momentary button: pressed while held over it, back to 0 on release.
#include "gui/GuiMomentaryButton.h"

#include "gui/DrawContext.h"
#include "gui/StripDrawing.h"

GuiMomentaryButton::GuiMomentaryButton(const GuiRect& buttonSize, ControlListener* buttonListener,
                                       std::int32_t buttonTag, std::int32_t height,
                                       GuiBitmap* buttonBackground, GuiPoint offset)
    : GuiControl(buttonSize, buttonListener, buttonTag, buttonBackground),
      backgroundOffset(offset),
      frameHeight(height) {}

void GuiMomentaryButton::draw(DrawContext* context) {
  clampValue();
  drawStripFrame(context, background, size,
                 frameSource(backgroundOffset, value == 0.0f ? 0 : 1, frameHeight), transparent);
  setDirty(false);
}

void GuiMomentaryButton::onMouseDown(DrawContext* context, GuiPoint where) {
  const std::int32_t state = pressState(context);
  if (!state) return;
  trackPress(context, where, state, HoldRule::anyDown);
  value = 0.0f;
  notifyListener(context);
}

void GuiMomentaryButton::trackPress(DrawContext* context, GuiPoint where, std::int32_t pressed,
                                    HoldRule rule) {
  const float start = value;
  const float opposite = start == 0.0f ? 1.0f : 0.0f;
  auto held = [&](std::int32_t state) {
    return rule == HoldRule::anyDown ? state != 0 : state == pressed;
  };
  if (!held(context->queryMouseButtons())) {
    value = opposite;
    notifyListener(context);
    return;
  }
  const GuiFrame* trackedIn = frame;
  beginEdit();
  do {
    value = containsInclusive(size, where) ? opposite : start;
    notifyIfDirty(context);
    context->queryMouseLocation(where);
    pumpIdle();
    if (leftFrame(trackedIn)) return;
  } while (held(context->queryMouseButtons()));
  endEdit();
}
