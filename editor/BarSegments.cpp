// Drawing the bars' segments and reading a value off the mouse, from the layout tables.
#include "editor/BarSegments.h"

#include "gui/DrawContext.h"

namespace {

// Segments are one-pixel lines this far apart.
constexpr std::int64_t kSegmentPitch = 2;

std::int64_t anchorOf(const BarLayout& layout, const GuiRect& rect) {
  switch (layout.anchor) {
    case BarAnchor::bottom: return rect.bottom;
    case BarAnchor::centre: return (std::int64_t{rect.top} + rect.bottom) / 2;
    case BarAnchor::left: return rect.left;
  }
  return rect.bottom;
}

bool isLit(const SegmentRun& run, std::int32_t index, float scaled) {
  if (run.firstAlwaysLit && index == run.first) return true;
  const auto i = static_cast<float>(index);
  return run.lit == LitWhen::scaledAbove ? scaled > i : scaled < i;
}

}  // namespace

void drawBarSegments(DrawContext& context, const BarLayout& layout, const GuiRect& rect,
                     float value) {
  const std::int64_t anchor = anchorOf(layout, rect);
  const float scaled = (value - layout.valueOffset) * layout.valueScale;
  context.setFrameColor(kSegmentDark);
  for (std::int32_t r = 0; r < layout.runCount; ++r) {
    const SegmentRun& run = layout.runs[static_cast<std::size_t>(r)];
    for (std::int32_t n = 0; n < run.count; ++n) {
      const std::int32_t index = run.first + n * run.step;
      context.setFrameColor(isLit(run, index, scaled) ? kSegmentLit : kSegmentDark);
      if (layout.columns) {
        const std::int32_t x = saturateToInt32(anchor + kSegmentPitch * index);
        context.moveTo({x, rect.bottom});
        context.lineTo({x, rect.top});
      } else {
        const std::int32_t y = saturateToInt32(anchor - kSegmentPitch * index);
        context.moveTo({rect.left, y});
        context.lineTo({rect.right, y});
      }
    }
  }
}

std::optional<float> barValueAt(const BarLayout& layout, const GuiRect& rect, GuiPoint where) {
  if (!layout.acceptsX.holds(rect.left, rect.right, where.h) ||
      !layout.acceptsY.holds(rect.top, rect.bottom, where.v)) {
    return std::nullopt;
  }
  const std::int64_t distance =
      layout.columns ? std::int64_t{where.h} - rect.left : std::int64_t{rect.bottom} - where.v;
  return static_cast<float>(distance) / layout.pixelsPerUnit;
}
