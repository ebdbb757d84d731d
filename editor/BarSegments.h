// The segment tables of the panel's three LED-style bars, as data, and the two things done with
// them: drawing the segments lit or dark for a value, and turning a mouse point into a value.
//
// A bar is one or two runs of one-pixel segments two pixels apart. A row segment is a horizontal
// line from `left` to `right` (the end pixel not painted); a column segment a vertical line from
// `bottom` up to `top`. Segment i of a run is lit when the scaled value s = (value - offset) *
// scale compares with i as the run says; a run may keep its first segment always lit.
//
//   bar       | segments                 | at                  | lit             | mouse value
//   vertical  | rows i = 0 ... 49        | y = bottom - 2i     | value*50 > i    | (bottom - y)/100
//   bipolar   | rows i = 0 ... 24, then  | y = centre - 2i     | s > i, then     | (bottom - y)/100
//             | rows i = 0 ... -25       |                     | s < i; i = 0 lit| s=(value-0.5)*50
//   horizontal| columns i = 0 ... 24     | x = left + 2i       | value*25 > i    | (x - left)/50
//
// The mouse is taken only inside each bar's accepted area: vertical left - 10 < x < right + 10
// and top <= y <= bottom; bipolar left < x < right and top <= y <= bottom; horizontal
// left <= x <= right and top < y < bottom.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "gui/GuiTypes.h"

class DrawContext;

// Where a bar's segments start counting from.
enum class BarAnchor { bottom, centre, left };

// How a segment index compares with the scaled value for the segment to be lit.
enum class LitWhen { scaledAbove, scaledBelow };

// A run of segments i = first, first + step, ... (count of them) drawn in that order.
struct SegmentRun {
  std::int32_t first;
  std::int32_t step;
  std::int32_t count;
  LitWhen lit;
  bool firstAlwaysLit;
};

// One side of the accepted mouse area: low - margin .. high + margin, ends included or not.
struct AcceptedSpan {
  std::int32_t margin;
  bool inclusive;

  bool holds(std::int32_t low, std::int32_t high, std::int32_t c) const {
    const std::int64_t lo = std::int64_t{low} - margin;
    const std::int64_t hi = std::int64_t{high} + margin;
    return inclusive ? lo <= c && c <= hi : lo < c && c < hi;
  }
};

struct BarLayout {
  BarAnchor anchor;   // where segment 0 lies
  bool columns;       // vertical lines side by side (else horizontal lines stacked)
  float valueOffset;  // s = (value - valueOffset) * valueScale
  float valueScale;
  std::array<SegmentRun, 2> runs;
  std::int32_t runCount;
  // The mouse value is the distance from `bottom` (rows) or `left` (columns) over this.
  float pixelsPerUnit;
  AcceptedSpan acceptsX;
  AcceptedSpan acceptsY;
};

inline constexpr GuiColor kSegmentLit{190, 190, 190, 0};
inline constexpr GuiColor kSegmentDark = kColorBlack;

inline constexpr BarLayout kVerticalBar{.anchor = BarAnchor::bottom,
                                        .columns = false,
                                        .valueOffset = 0.0f,
                                        .valueScale = 50.0f,
                                        .runs = {{{0, 1, 50, LitWhen::scaledAbove, false}, {}}},
                                        .runCount = 1,
                                        .pixelsPerUnit = 100.0f,
                                        .acceptsX = {10, false},
                                        .acceptsY = {0, true}};

inline constexpr BarLayout kBipolarBar{
    .anchor = BarAnchor::centre,
    .columns = false,
    .valueOffset = 0.5f,
    .valueScale = 50.0f,
    .runs = {{{0, 1, 25, LitWhen::scaledAbove, true}, {0, -1, 26, LitWhen::scaledBelow, true}}},
    .runCount = 2,
    .pixelsPerUnit = 100.0f,
    .acceptsX = {0, false},
    .acceptsY = {0, true}};

inline constexpr BarLayout kHorizontalBar{.anchor = BarAnchor::left,
                                          .columns = true,
                                          .valueOffset = 0.0f,
                                          .valueScale = 25.0f,
                                          .runs = {{{0, 1, 25, LitWhen::scaledAbove, false}, {}}},
                                          .runCount = 1,
                                          .pixelsPerUnit = 50.0f,
                                          .acceptsX = {0, true},
                                          .acceptsY = {0, false}};

// Paints every segment of the layout for `value` on `rect`: the pen goes black first, then each
// segment in table order in its lit or dark colour. Nothing else is painted.
void drawBarSegments(DrawContext& context, const BarLayout& layout, const GuiRect& rect,
                     float value);

// The value for a mouse point, or nothing when the point is outside the accepted area. Not
// clamped: a vertical bar taller than 100 pixels gives values above 1.
std::optional<float> barValueAt(const BarLayout& layout, const GuiRect& rect, GuiPoint where);
