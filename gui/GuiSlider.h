// The common part of the two sliders: a handle bitmap that travels over a background between two
// positions (pixel offsets of the handle's leading edge from the control's top or left edge),
// composed in an offscreen of the control's size and copied out in one block. With style bit
// 0x20 the handle's place along the travel is the value, otherwise 1 - value; a drag gives the
// value as the fraction of the travel, or 1 - fraction with bit 0x40. Pressing on the handle
// takes it where it is, pressing beside it centres it on the pointer; shift slows the drag down
// by the zoom factor (10); control-click sets the default value; the wheel works as on a knob.
#pragma once

#include <cstdint>

#include "gui/GuiControl.h"

class GuiSlider : public GuiControl {
 public:
  enum class Axis { vertical, horizontal };
  // How many times slower a drag with shift moves the handle.
  static constexpr float kZoomFactor = 10.0f;

  // Releases the handle bitmap.
  ~GuiSlider() override;

  void draw(DrawContext* context) override;
  void onMouseDown(DrawContext* context, GuiPoint where) override;
  // As the knob: the value moves by distance x wheelIncrement (a tenth with shift), clamped.
  bool onWheel(DrawContext* context, GuiPoint where, float distance) override;

  std::int32_t getMinPosition() const { return minPosition; }
  std::int32_t getMaxPosition() const { return maxPosition; }
  std::int32_t getStyle() const { return style; }
  GuiBitmap* getHandleBitmap() const { return handleBitmap; }
  // The handle's leading edge for the current value, relative to the control's origin.
  std::int32_t handlePosition() const;

 protected:
  // Retains the handle bitmap (may be null).
  GuiSlider(Axis axis, const GuiRect& size, ControlListener* listener, std::int32_t tag,
            std::int32_t minPosition, std::int32_t maxPosition, GuiBitmap* handle,
            GuiBitmap* background, GuiPoint backgroundOffset, std::int32_t style);
  // The value as a fraction of [min, max] and back.
  float normalized() const;
  void setNormalized(float fraction);
  // Along the axis: a point's coordinate in the control and the handle's length.
  float along(GuiPoint where) const;
  float handleLength() const;
  // The value for a handle at `position` along the travel.
  void setFromPosition(float position);

  Axis axis;
  GuiPoint backgroundOffset;
  std::int32_t minPosition;
  std::int32_t maxPosition;
  GuiBitmap* handleBitmap = nullptr;
  std::int32_t style;
};
