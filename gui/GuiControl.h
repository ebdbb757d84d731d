// GuiControl: a view with a value. The value (0 to 1 by default, between `minValue` and
// `maxValue`) is compared with the value at the last redraw (`oldValue`), so that setting a new
// value is enough to have the control redrawn at the next idle. A control tells its listener
// when the user changes it, identifies itself by its tag, and holds a reference to its background
// bitmap. Concrete controls implement `draw`; their mouse-tracking loops call `pumpIdle` on every
// pass to keep paints and the host going.
#pragma once

#include <cstdint>

#include "gui/GuiView.h"

class ControlListener;
class GuiBitmap;

class GuiControl : public GuiView {
 public:
  // The button state of a control-click (left button and control, nothing else), which sets
  // knobs, sliders and switches to their default value.
  static constexpr std::int32_t kControlClick = kMouseLeft | kMouseControl;

  // Retains `background` (may be null).
  GuiControl(const GuiRect& size, ControlListener* listener, std::int32_t tag,
             GuiBitmap* background);
  // Releases the background.
  ~GuiControl() override;

  void draw(DrawContext* context) override = 0;
  // True when the value moved since the last redraw or the view is marked dirty.
  bool isDirty() const override;
  // false: clean, and the current value counts as drawn; true: the next isDirty answers true.
  void setDirty(bool state) override;

  virtual void pumpIdle();
  // Non-finite values are ignored (the value stays as it was): a control never holds NaN.
  virtual void setValue(float newValue);
  virtual float getValue() const;
  virtual void setMin(float newMin);
  virtual float getMin() const;
  virtual void setMax(float newMax);
  virtual float getMax() const;
  virtual void setOldValue(float newOldValue);
  virtual float getOldValue() const;
  virtual void setDefaultValue(float newDefault);
  virtual float getDefaultValue() const;
  virtual void setTag(std::int32_t newTag);
  // Retains the new bitmap, then releases the old one.
  virtual void setBackground(GuiBitmap* bitmap);
  virtual GuiBitmap* getBackground() const;
  virtual void setWheelIncrement(float increment);
  virtual float getWheelIncrement() const;
  // Clamps the value into [minValue, maxValue].
  virtual void clampValue();

  std::int32_t getTag() const { return tag; }
  ControlListener* getListener() const { return listener; }
  void setListener(ControlListener* newListener) { listener = newListener; }

 protected:
  // The first poll of a press, shared by the family: the button and modifier state, or 0 when
  // the control does not take the press (no context, not mouse-enabled, no left button).
  std::int32_t pressState(DrawContext* context) const;
  // A control-click sets the default value and tells the listener if that changed it; true
  // when `state` was one (the press is then over).
  bool controlClickSetsDefault(DrawContext* context, std::int32_t state);
  // Tells the listener that the user changed the value; nothing without a listener.
  void notifyListener(DrawContext* context);
  // notifyListener, when the value differs from the last redraw (or the control is marked dirty).
  void notifyIfDirty(DrawContext* context);
  // The wheel of knobs and sliders: the value moves by distance x wheelIncrement (a tenth of
  // that with shift held), is clamped and the listener told if it changed. False (nothing done)
  // when the control is not mouse-enabled or the distance is not a number.
  bool wheelStep(DrawContext* context, float distance);
  // The host's automation bracket around a held gesture, through the frame; nothing without one.
  void beginEdit();
  void endEdit();
  // For tracking loops: true once the control has left the frame it was tracked in (the host
  // closed the editor during the loop's idle time), so that the loop stops at once.
  bool leftFrame(const GuiFrame* trackedIn) const { return trackedIn && frame != trackedIn; }

  ControlListener* listener;
  std::int32_t tag;
  float oldValue = 1.0f;
  float defaultValue = 0.5f;
  float value = 0.0f;
  float minValue = 0.0f;
  float maxValue = 1.0f;
  float wheelIncrement = 0.1f;
  GuiBitmap* background = nullptr;
};
