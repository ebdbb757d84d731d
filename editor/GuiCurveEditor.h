// GuiCurveEditor: the freehand envelope curve of one slot, 385 values shown as one-pixel bars
// rising from a baseline (one unit is 120 pixels), painted with the mouse and smoothed on release.
//
// The plot area is fixed at construction: 7 pixels in from the left and right, 4 down from the
// top, 20 up from the bottom. Point i belongs to column plotLeft + i; the baseline is the plot's
// bottom row (mode 0, values upward from 0) or its middle row (mode 1, values either side of 0).
//
// While exactly the left button is held (a modifier ends the stroke), each move to a new column
// strictly inside the control paints the straight segment from the previous point, clamped into
// the plot area, redraws and tells the listener once; moves outside paint nothing and leave the
// previous point where it was. Only points 1-384 are ever painted. Releasing smooths the whole
// curve (CurveShape.h) without redrawing or telling anyone: the smoothed curve shows at the next
// redraw and reaches the plug-in with the next getCurve.
//
// The control's value is not the curve: the panel keeps the slot number there, so painting never
// changes it, and unlike the knob it derives from the curve editor takes no wheel.
#pragma once

#include <cstdint>
#include <span>

#include "editor/CurveSource.h"
#include "gui/GuiKnob.h"
#include "synth/ProgramRecord.h"

class GuiCurveEditor : public GuiKnob, public CurveSource {
 public:
  enum BaselineMode : std::int32_t { kBaselineBottom = 0, kBaselineMiddle = 1 };

  // The knob's arguments; the bitmaps are held but not drawn. The curve starts all 0, mode 0.
  GuiCurveEditor(const GuiRect& size, ControlListener* listener, std::int32_t tag,
                 GuiBitmap* background, GuiBitmap* handle, GuiPoint backgroundOffset);

  // Repaints the frame's background over the plot area, then the 385 bars and their tips.
  void draw(DrawContext* context) override;
  void onMouseDown(DrawContext* context, GuiPoint where) override;
  // Not taken (false): the value must stay the slot number.
  bool onWheel(DrawContext* context, GuiPoint where, float distance) override;

  // Copies 385 values in (values that are not finite become 0); does not mark the control dirty.
  virtual void setCurve(const float* source);
  // Copies the 385 values out.
  void getCurve(float* destination) override;
  // Paints the segment from the previous point (x0, y0) to the current one (x1, y1), pixels:
  // the previous column is written, the current one is not; columns outside points 1-384 are
  // dropped.
  virtual void drawSegment(std::int32_t x1, std::int32_t y1, std::int32_t x0, std::int32_t y0);
  GuiControl* curveControl() override { return this; }

  // 1 puts the baseline in the middle, anything else at the bottom; from the next draw and drag.
  void setBaselineMode(std::int32_t mode);
  // All values 0; the control is marked dirty.
  void clearCurve();

  std::int32_t getBaselineMode() const { return baselineMode; }
  std::span<const float, kEnvelopePointCount> points() const { return curve; }
  // left/top/right/bottom of the plot area, all inclusive.
  GuiRect getPlotArea() const { return {plotLeft, plotTop, plotRight, plotBottom}; }
  std::int32_t getPlotMid() const { return plotMid; }
  // The row of value 0 in the current mode.
  std::int32_t baseline() const;

  static constexpr GuiColor kBarColor{80, 117, 147, 0};
  static constexpr GuiColor kTipColor{146, 171, 190, 0};

 private:
  // The plot area as pixels: right and bottom exclusive.
  GuiRect plotPixels() const;
  GuiPoint clampToPlot(GuiPoint point) const;
  void eraseBeneath(DrawContext& context) const;

  EnvelopeCurve curve{};
  std::int32_t baselineMode = kBaselineBottom;
  GuiRect editorRect;
  std::int32_t plotLeft;
  std::int32_t plotTop;
  std::int32_t plotRight;
  std::int32_t plotBottom;
  std::int32_t plotMid;
};
