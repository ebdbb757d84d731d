// The cycle switch: frames by state and press, the click and the held-press tracking loop.
#include "editor/GuiCycleSwitch.h"

#include <algorithm>
#include <cmath>

#include "gui/DrawContext.h"
#include "gui/StripDrawing.h"

GuiCycleSwitch::GuiCycleSwitch(const GuiRect& switchSize, ControlListener* switchListener,
                               std::int32_t switchTag, std::int32_t states,
                               std::int32_t heightOfFrame, GuiBitmap* bitmap, GuiPoint offset)
    : GuiControl(switchSize, switchListener, switchTag, bitmap),
      stateCount(std::max(states, 1)),
      backgroundOffset(offset),
      frameHeight(heightOfFrame) {}

void GuiCycleSwitch::draw(DrawContext* context) {
  const std::int64_t frameIndex = std::int64_t{pressed} + 2 * std::int64_t{state};
  const GuiPoint source{backgroundOffset.h,
                        saturateToInt32(backgroundOffset.v + frameIndex * frameHeight)};
  drawStripFrame(context, background, size, source, transparent);
  setDirty(false);
}

bool GuiCycleSwitch::isDirty() const { return state != savedState || pressed != savedPressed; }

void GuiCycleSwitch::setDirty(bool needsDrawing) {
  if (needsDrawing) {
    savedState = -1;
  } else {
    savedState = state;
    savedPressed = pressed;
  }
}

void GuiCycleSwitch::setValue(float newValue) {
  if (!std::isfinite(newValue)) return;
  // Held inside the states before the conversion: beyond them no frame exists, and a float
  // outside the int range has no defined conversion.
  const float scaled = static_cast<float>(stateCount - 1) * newValue;
  const float held = std::clamp(scaled, 0.0f, static_cast<float>(stateCount - 1));
  state = static_cast<std::int32_t>(held);
}

float GuiCycleSwitch::getValue() const {
  if (stateCount == 1) return 0.0f;
  return static_cast<float>(state) / static_cast<float>(stateCount - 1);
}

void GuiCycleSwitch::onMouseDown(DrawContext* context, GuiPoint where) {
  if (pressState(context) == 0) {
    pressed = 0;
    return;
  }
  const std::int32_t startState = state;
  if (context->queryMouseButtons() != 0) {
    if (!trackHeldPress(context, where, startState)) return;
  } else {
    state = nextState(state);  // the button was already up again: a plain click
  }
  draw(context);
  pressed = 0;  // left dirty: the next idle shows the released look
  notifyListener(context);
}

// While any button or modifier is down: over the switch the pressed look of the next state,
// off it the released look of the old one; the listener hears of every change. False when the
// switch left its frame during the loop's idle time (the host closed the editor): then nothing
// more may be drawn.
bool GuiCycleSwitch::trackHeldPress(DrawContext* context, GuiPoint where, std::int32_t startState) {
  const GuiFrame* trackedIn = frame;
  beginEdit();
  do {
    if (containsInclusive(size, where)) {
      pressed = 1;
      state = nextState(startState);
    } else {
      pressed = 0;
      state = startState;
    }
    notifyIfDirty(context);
    context->queryMouseLocation(where);
    pumpIdle();
    if (leftFrame(trackedIn)) {
      endEdit();
      return false;
    }
    draw(context);
  } while (context->queryMouseButtons() != 0);
  setDirty(true);
  endEdit();
  return true;
}
