// GuiCycleSwitch: a bitmap button with N states. Each click advances the state by one, wrapping
// from the last state to the first; the value is the state scaled to 0...1. The bitmap holds two
// frames per state, stacked downwards from the background offset: state s released (frame 2s)
// and pressed (frame 2s + 1), each `frameHeight` pixels tall and as wide as the control.
//
// While the button is held over the switch it shows the pressed look of the next state; moving
// off shows the released look of the old state again, and releasing there keeps the old state.
// A held press is one automation gesture (the frame's beginEdit/endEdit with the tag).
#pragma once

#include <cstdint>

#include "gui/GuiControl.h"

class GuiCycleSwitch : public GuiControl {
 public:
  // A `stateCount` below 1 counts as 1. Retains `background` (may be null).
  GuiCycleSwitch(const GuiRect& size, ControlListener* listener, std::int32_t tag,
                 std::int32_t stateCount, std::int32_t frameHeight, GuiBitmap* background,
                 GuiPoint backgroundOffset);

  // The frame of the current state and pressed look, then clean.
  void draw(DrawContext* context) override;
  void onMouseDown(DrawContext* context, GuiPoint where) override;
  // True when the state or the pressed look differs from what was last drawn.
  bool isDirty() const override;
  // true: the next isDirty answers true; false: the current state and look count as drawn.
  void setDirty(bool state) override;
  // state = (N - 1) * value, truncated toward zero. Non-finite values are ignored; a state
  // outside 0 ... N - 1 (a value outside 0 ... 1) is held at the nearer end.
  void setValue(float newValue) override;
  // 0 with one state, else state / (N - 1).
  float getValue() const override;

  GuiFrame* getOwningFrame() const { return frame; }
  std::int32_t getStateCount() const { return stateCount; }
  std::int32_t getState() const { return state; }
  bool isPressed() const { return pressed != 0; }

 private:
  std::int32_t nextState(std::int32_t from) const { return (from + 1) % stateCount; }
  bool trackHeldPress(DrawContext* context, GuiPoint where, std::int32_t startState);

  std::int32_t stateCount;
  GuiPoint backgroundOffset;
  std::int32_t frameHeight;
  std::int32_t pressed = 0;
  std::int32_t savedPressed = 0;
  std::int32_t state = 0;
  std::int32_t savedState = -1;  // a new switch counts as needing a redraw
};
