// The curve editor: plot geometry, drawing over its own erased plot area, the painting loop and
// the curve's copies in and out.
#include "editor/GuiCurveEditor.h"

#include <algorithm>
#include <cmath>

#include "editor/CurveShape.h"
#include "gui/DrawContext.h"
#include "gui/GuiBitmap.h"
#include "gui/GuiFrame.h"

namespace {

// The plot area inside the control's rectangle.
constexpr std::int32_t kPlotInsetSides = 7;
constexpr std::int32_t kPlotInsetTop = 4;
constexpr std::int32_t kPlotInsetBottom = 20;

std::int32_t moved(std::int32_t coordinate, std::int32_t by) {
  return saturateToInt32(std::int64_t{coordinate} + by);
}

bool strictlyInside(const GuiRect& rect, GuiPoint p) {
  return rect.left < p.h && p.h < rect.right && rect.top < p.v && p.v < rect.bottom;
}

// Into [low, high]; `high` wins should the range be empty (a rectangle too small for a plot).
std::int32_t held(std::int32_t c, std::int32_t low, std::int32_t high) {
  return std::min(std::max(c, low), high);
}

}  // namespace

GuiCurveEditor::GuiCurveEditor(const GuiRect& editorSize, ControlListener* editorListener,
                               std::int32_t editorTag, GuiBitmap* bitmap, GuiBitmap* handle,
                               GuiPoint offset)
    : GuiKnob(editorSize, editorListener, editorTag, bitmap, handle, offset),
      editorRect(editorSize),
      plotLeft(moved(editorSize.left, kPlotInsetSides)),
      plotTop(moved(editorSize.top, kPlotInsetTop)),
      plotRight(moved(editorSize.right, -kPlotInsetSides)),
      plotBottom(moved(editorSize.bottom, -kPlotInsetBottom)),
      plotMid(saturateToInt32((std::int64_t{plotTop} + plotBottom) / 2)) {}

std::int32_t GuiCurveEditor::baseline() const {
  return baselineMode == kBaselineMiddle ? plotMid : plotBottom;
}

GuiRect GuiCurveEditor::plotPixels() const {
  return {plotLeft, plotTop, moved(plotRight, 1), moved(plotBottom, 1)};
}

GuiPoint GuiCurveEditor::clampToPlot(GuiPoint point) const {
  return {held(point.h, plotLeft, plotRight), held(point.v, plotTop, plotBottom)};
}

// Bars of a curve that fell would otherwise stay on screen: the plot area (all the bars of a
// painted curve lie in it) gets the frame's background back first. Only the plot area, because
// the panel's buttons above overlap the top row of the control's rectangle.
void GuiCurveEditor::eraseBeneath(DrawContext& context) const {
  GuiBitmap* ground = frame ? frame->getBackground() : nullptr;
  if (!ground) return;
  const GuiRect plot = plotPixels();
  ground->draw(&context, plot, plot.topLeft());
}

void GuiCurveEditor::draw(DrawContext* context) {
  if (!context) return;
  eraseBeneath(*context);
  // Bars are kept to the erased area, so that no curve can leave marks outside it.
  const GuiRect previousClip = context->getClipRect();
  context->setClipRect(plotPixels().offsetBy(context->getOffset()));
  const std::int32_t base = baseline();
  context->setFrameColor(kBarColor);
  for (std::int32_t i = 0; i < kEnvelopePointCount; ++i) {
    const std::int32_t x = moved(plotLeft, i);
    const std::int32_t tip = curveshape::rowOfValue(base, curve[static_cast<std::size_t>(i)]);
    context->moveTo({x, base});
    context->lineTo({x, tip});
    context->drawPoint({x, tip}, kTipColor);
  }
  context->setClipRect(previousClip);
}

void GuiCurveEditor::onMouseDown(DrawContext* context, GuiPoint) {
  if (!context) return;
  GuiPoint current;
  context->queryMouseLocation(current);
  GuiPoint previous = current;
  while (context->queryMouseButtons() == kMouseLeft) {
    context->queryMouseLocation(current);
    // Outside the control nothing is painted and the stroke resumes from the last point inside.
    if (!strictlyInside(editorRect, current)) continue;
    if (current.h != previous.h) {
      current = clampToPlot(current);
      previous = clampToPlot(previous);
      drawSegment(current.h, current.v, previous.h, previous.v);
      draw(context);
      notifyListener(context);
    }
    previous = current;
  }
  curveshape::smooth(curve);
}

bool GuiCurveEditor::onWheel(DrawContext*, GuiPoint, float) { return false; }

void GuiCurveEditor::setCurve(const float* source) {
  if (!source) return;
  std::transform(source, source + kEnvelopePointCount, curve.begin(),
                 [](float v) { return std::isfinite(v) ? v : 0.0f; });
}

void GuiCurveEditor::getCurve(float* destination) {
  if (destination) std::copy(curve.begin(), curve.end(), destination);
}

void GuiCurveEditor::drawSegment(std::int32_t x1, std::int32_t y1, std::int32_t x0,
                                 std::int32_t y0) {
  curveshape::paintSegment(curve, plotLeft, baseline(), {x1, y1}, {x0, y0});
}

void GuiCurveEditor::setBaselineMode(std::int32_t mode) { baselineMode = mode; }

void GuiCurveEditor::clearCurve() {
  curve.fill(0.0f);
  setDirty(true);
}
