// The arithmetic of the curve editor, apart from any drawing or mouse handling: how pixel rows and
// curve values map onto each other, how a mouse segment is painted into the 385 points, and how
// the curve is smoothed and tapered when the button is released. All of it in single precision,
// in the order of operations the instrument has always used, so that drawn curves sound the same.
#pragma once

#include <cstdint>
#include <span>

#include "gui/GuiTypes.h"
#include "synth/ProgramRecord.h"

namespace curveshape {

// One curve unit is this many pixels: a value v is shown v * 120 pixels above the baseline.
inline constexpr float kPixelsPerUnit = 120.0f;
// Painting never writes point 0 (it keeps the value it was given) nor anything past the curve.
inline constexpr std::int32_t kFirstPaintedPoint = 1;
inline constexpr std::int32_t kLastPoint = kEnvelopePointCount - 1;

using Points = std::span<float, kEnvelopePointCount>;

// The value of a mouse point at row `y`: (baseline - y) / 120.
float valueAtRow(std::int32_t baseline, std::int32_t y);

// The row of the tip of a value's bar: baseline - value * 120, truncated toward zero. Rows far
// outside any surface are held at +-2^24 (where truncation means nothing); NaN gives the baseline.
std::int32_t rowOfValue(std::int32_t baseline, float value);

// Paints the straight segment from the previous mouse point (x0, y0) to the current one (x1, y1),
// both in pixels, where column `plotLeft` holds point 0. The previous point's column is written,
// the current one's is not (the next segment writes it). Columns outside points 1-384 are
// dropped, so any coordinates are safe and the work is bounded by the curve's length.
void paintSegment(Points curve, std::int32_t plotLeft, std::int32_t baseline, GuiPoint current,
                  GuiPoint previous);

// What releasing the button does: a forward moving average of 12 points over points 0-372, a
// taper of the tail from point 373 down to 0 at point 384, and a linear rise of the head
// (points 0-5) up to the averaged point 6.
void smooth(Points curve);

}  // namespace curveshape
