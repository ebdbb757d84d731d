// GuiKnob: a rotary control. It draws its background from a bitmap and a handle on a circle
// inside its rectangle, either a small bitmap centred on the handle point or two lines (a shadow
// and the handle) from that point to the centre. By default the handle sweeps 270 degrees
// clockwise from the lower left (the minimum) to the lower right (the maximum); the gap at the
// bottom is the dead zone.
//
// The mouse drags the value either around the circle (the value under the pointer, pinned at the
// end it came from when the pointer crosses the dead zone) or linearly (right and up increase,
// 200 pixels for the whole range, 1.5 times as many with shift). The toolkit's knob mode chooses
// which (mode 2 linear, anything else circular) and alt inverts that for one drag. Control-click
// sets the default value; the wheel moves the value by the wheel increment (a tenth with shift).
// A drag is one gesture for the host (begin and end of an edit).
//
// The panel's curve editor and bar sliders derive from this class; the virtual operations are in
// their fixed order after those of GuiControl.
#pragma once

#include <cstdint>

#include "gui/GuiControl.h"

class GuiKnob : public GuiControl {
 public:
  // Retains both bitmaps (either may be null). `backgroundOffset` is where the background starts
  // in its bitmap.
  GuiKnob(const GuiRect& size, ControlListener* listener, std::int32_t tag, GuiBitmap* background,
          GuiBitmap* handle, GuiPoint backgroundOffset);
  // Releases the handle bitmap (the base releases the background).
  ~GuiKnob() override;

  void draw(DrawContext* context) override;
  void onMouseDown(DrawContext* context, GuiPoint where) override;
  // Moves the value by distance x wheelIncrement (a tenth of that with shift); true when the
  // knob takes the wheel (it is mouse-enabled and the distance is a number).
  bool onWheel(DrawContext* context, GuiPoint where, float distance) override;
  // The angle-to-value mapping follows a new range.
  void setMin(float newMin) override;
  void setMax(float newMax) override;

  virtual void drawHandle(DrawContext* context);
  // Angles in radians, counter-clockwise from the positive x axis. Each marks the knob dirty;
  // values that are not finite, and a range of 0, are ignored.
  virtual void setStartAngle(float angle);
  virtual float getStartAngle() const;
  virtual void setRangeAngle(float angle);
  virtual float getRangeAngle() const;
  // The handle point for the current value, relative to the knob's top-left corner.
  virtual void pointForValue(GuiPoint& point) const;
  // The value for a point relative to the knob's top-left corner (see the .cpp for the dead zone).
  virtual float valueAtPoint(GuiPoint point) const;
  virtual void setInset(std::int32_t newInset);
  virtual void setShadowColor(GuiColor color);
  virtual void setHandleColor(GuiColor color);
  // Retains the new bitmap, releases the old one and takes the inset from the new bitmap's width;
  // null removes the bitmap and keeps the inset.
  virtual void setHandleBitmap(GuiBitmap* bitmap);
  // Shift divides the linear drag's step by this (values below 1 or not finite are ignored).
  virtual void setFineDivisor(float divisor);
  virtual float getFineDivisor() const;

  GuiPoint getBackgroundOffset() const { return backgroundOffset; }
  GuiColor getHandleColor() const { return handleColor; }
  GuiColor getShadowColor() const { return shadowColor; }
  GuiBitmap* getHandleBitmap() const { return handleBitmap; }
  std::int32_t getInset() const { return inset; }
  float getRadius() const { return radius; }

  // The default angles: 225 degrees (lower left) and a 270-degree clockwise sweep.
  static constexpr float kDefaultStartAngle = 3.9269908f;
  static constexpr float kDefaultRangeAngle = -4.712389f;
  // Inset without a handle bitmap.
  static constexpr std::int32_t kDefaultInset = 3;
  // Pixels of linear drag for the whole range (times the fine divisor with shift).
  static constexpr float kLinearDragPixels = 200.0f;

 protected:
  // valuePerRadian, valueOffset and halfDeadAngle from the angles and the range.
  void computeAngleMapping();
  // The inset that suits a handle bitmap: half its width plus 2.5, truncated.
  static std::int32_t insetForHandle(const GuiBitmap* bitmap);
  void trackCircular(DrawContext* context, GuiPoint where);
  void trackLinear(DrawContext* context, GuiPoint where, std::int32_t buttons);

  GuiPoint backgroundOffset;
  GuiColor handleColor = kColorWhite;
  GuiColor shadowColor = kColorGrey;
  GuiBitmap* handleBitmap = nullptr;
  std::int32_t inset = kDefaultInset;
  float startAngle = kDefaultStartAngle;
  float rangeAngle = kDefaultRangeAngle;
  float halfDeadAngle = 0.0f;
  float valuePerRadian = 0.0f;
  float valueOffset = 0.0f;
  float radius;
  float fineDivisor = 1.5f;
};
