// Pixel rasterisation of the context's one-pixel shapes, so that lines, ellipse outlines, arcs
// and pies are pixel exact and the same on every machine: lines step like Bresenham's algorithm
// and leave out their end point, ellipses take the pixels whose centres lie inside the ellipse
// inscribed in their pixel box, outlines are the region's edge pixels. Every function hands
// runs of pixels (one-pixel-high or one-pixel-wide rectangles) to a sink and visits only pixels
// inside `bounds`, so that hostile coordinates cost no more than the visible area.
// Coordinates must lie within +-kRasterLimit (DrawContext clamps them).
#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>

#include "gui/GuiTypes.h"

inline constexpr std::int32_t kRasterLimit = 1 << 28;

// Joins single pixels into horizontal or vertical runs and hands each finished run to the sink.
template <class Sink>
class RunBuilder {
 public:
  explicit RunBuilder(Sink& sink) : sink_(sink) {}
  ~RunBuilder() { flush(); }
  RunBuilder(const RunBuilder&) = delete;
  RunBuilder& operator=(const RunBuilder&) = delete;

  void add(std::int32_t x, std::int32_t y) {
    if (open_ && extends(x, y)) return;
    flush();
    run = {x, y, x + 1, y + 1};
    open_ = true;
  }
  void flush() {
    if (open_) sink_(run);
    open_ = false;
  }

 private:
  bool extends(std::int32_t x, std::int32_t y) {
    if (run.height() == 1 && y == run.top) {
      if (x == run.right) return ++run.right, true;
      if (x == run.left - 1) return --run.left, true;
    }
    if (run.width() == 1 && x == run.left) {
      if (y == run.bottom) return ++run.bottom, true;
      if (y == run.top - 1) return --run.top, true;
    }
    return false;
  }

  Sink& sink_;
  GuiRect run{};
  bool open_ = false;
};

// The line from a to b without b. With `dotted`, every other pixel is painted, counted by
// `phase`, which advances by the line's length so that a following segment continues the pattern.
template <class Sink>
void rasterLine(GuiPoint a, GuiPoint b, const GuiRect& bounds, bool dotted, std::int64_t& phase,
                Sink&& sink) {
  const std::int64_t dx = std::int64_t{b.h} - a.h;
  const std::int64_t dy = std::int64_t{b.v} - a.v;
  const std::int64_t adx = dx < 0 ? -dx : dx;
  const std::int64_t ady = dy < 0 ? -dy : dy;
  const bool xMajor = adx >= ady;
  const std::int64_t steps = xMajor ? adx : ady;
  if (steps == 0) return;
  // Step i moves one pixel along the major axis; the minor axis follows the rounded slope.
  const std::int64_t major0 = xMajor ? a.h : a.v;
  const std::int64_t minor0 = xMajor ? a.v : a.h;
  const std::int64_t majorSign = (xMajor ? dx : dy) < 0 ? -1 : 1;
  const std::int64_t minorSign = (xMajor ? dy : dx) < 0 ? -1 : 1;
  const std::int64_t minorSpan = xMajor ? ady : adx;
  const std::int64_t lo = xMajor ? bounds.left : bounds.top;
  const std::int64_t hi = (xMajor ? bounds.right : bounds.bottom) - 1;
  std::int64_t first = 0;
  std::int64_t last = steps - 1;
  if (majorSign > 0) {
    first = std::max(first, lo - major0);
    last = std::min(last, hi - major0);
  } else {
    first = std::max(first, major0 - hi);
    last = std::min(last, major0 - lo);
  }
  if (first <= last && minorSpan == 0 && !dotted) {
    // A solid row or column is one run.
    const std::int64_t minorLo = xMajor ? bounds.top : bounds.left;
    const std::int64_t minorHi = xMajor ? bounds.bottom : bounds.right;
    if (minor0 >= minorLo && minor0 < minorHi) {
      const std::int64_t low = majorSign > 0 ? major0 + first : major0 - last;
      const std::int64_t high = majorSign > 0 ? major0 + last : major0 - first;
      const auto from = static_cast<std::int32_t>(low);
      const auto to = static_cast<std::int32_t>(high + 1);
      const auto at = static_cast<std::int32_t>(minor0);
      sink(xMajor ? GuiRect{from, at, to, at + 1} : GuiRect{at, from, at + 1, to});
    }
    phase += steps;
    return;
  }
  // The minor offset of step i is (2 i minorSpan + steps) / (2 steps), rounded down, kept as a
  // quotient and remainder that each step advances by 2 minorSpan (never more than one carry).
  const std::int64_t divisor = 2 * steps;
  const std::int64_t start = 2 * first * minorSpan + steps;
  std::int64_t offset = start / divisor;
  std::int64_t remainder = start % divisor;
  RunBuilder<Sink> runs(sink);
  for (std::int64_t i = first; i <= last; ++i) {
    const std::int64_t minor = minor0 + minorSign * offset;
    remainder += 2 * minorSpan;
    if (remainder >= divisor) {
      remainder -= divisor;
      ++offset;
    }
    if (dotted && ((phase + i) & 1) != 0) continue;
    const std::int64_t major = major0 + majorSign * i;
    const std::int64_t x = xMajor ? major : minor;
    const std::int64_t y = xMajor ? minor : major;
    if (x < bounds.left || x >= bounds.right || y < bounds.top || y >= bounds.bottom) continue;
    runs.add(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y));
  }
  phase += steps;
}

// Pixels [a, b) of one row; empty when b <= a.
struct RowSpan {
  std::int64_t a = 0;
  std::int64_t b = 0;
  bool isEmpty() const { return b <= a; }
};

// The pixels of row y whose centres lie inside the ellipse inscribed in `box`.
inline RowSpan ellipseRow(const GuiRect& box, std::int64_t y) {
  if (box.isEmpty() || y < box.top || y >= box.bottom) return {};
  const double cx = (static_cast<double>(box.left) + box.right) / 2.0;
  const double cy = (static_cast<double>(box.top) + box.bottom) / 2.0;
  const double rx = (static_cast<double>(box.right) - box.left) / 2.0;
  const double ry = (static_cast<double>(box.bottom) - box.top) / 2.0;
  const double dy = (static_cast<double>(y) + 0.5 - cy) / ry;
  const double rest = 1.0 - dy * dy;
  if (rest < 0.0) return {};
  const double half = rx * std::sqrt(rest);
  return {static_cast<std::int64_t>(std::ceil(cx - half - 0.5)),
          static_cast<std::int64_t>(std::floor(cx + half - 0.5)) + 1};
}

// Which pixels of an ellipse box lie in the sector swept counter-clockwise (as seen on screen)
// from the ray through `from` to the ray through `to`, both rays starting at the box centre.
// Equal rays sweep the whole ellipse.
class ArcSector {
 public:
  ArcSector(const GuiRect& box, GuiPoint from, GuiPoint to)
      : cx((static_cast<double>(box.left) + box.right) / 2.0),
        cy((static_cast<double>(box.top) + box.bottom) / 2.0),
        start(angleOf(from.h, from.v)) {
    sweep_ = normalise(angleOf(to.h, to.v) - start);
    if (sweep_ == 0.0) sweep_ = 2.0 * std::numbers::pi;
  }

  // Angle of the start ray (counter-clockwise from the positive x axis) and the sweep, radians.
  double startAngle() const { return start; }
  double sweep() const { return sweep_; }

  bool contains(std::int64_t x, std::int64_t y) const {
    const double px = static_cast<double>(x) + 0.5 - cx;
    const double py = static_cast<double>(y) + 0.5 - cy;
    if (px == 0.0 && py == 0.0) return true;
    return normalise(std::atan2(-py, px) - start) <= sweep_ + 1e-9;
  }

 private:
  double angleOf(std::int64_t x, std::int64_t y) const {
    return std::atan2(-(static_cast<double>(y) + 0.5 - cy), static_cast<double>(x) + 0.5 - cx);
  }
  // Into [0, 2 pi).
  static double normalise(double angle) {
    const double turn = 2.0 * std::numbers::pi;
    angle = std::fmod(angle, turn);
    return angle < 0.0 ? angle + turn : angle;
  }

  double cx;
  double cy;
  double start;
  double sweep_ = 0.0;
};

// Accepts every pixel: the whole ellipse.
struct WholeEllipse {
  bool contains(std::int64_t, std::int64_t) const { return true; }
};

namespace raster_detail {

template <class Filter, class Sink>
void emitRange(std::int64_t a, std::int64_t b, std::int64_t y, const GuiRect& bounds,
               const Filter& filter, RunBuilder<Sink>& runs) {
  a = std::max<std::int64_t>(a, bounds.left);
  b = std::min<std::int64_t>(b, bounds.right);
  for (std::int64_t x = a; x < b; ++x) {
    if (filter.contains(x, y)) runs.add(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y));
  }
  runs.flush();
}

}  // namespace raster_detail

namespace raster_detail {

// Row y of the ellipse region of `box` and its inner part: the pixels whose four neighbours all
// lie in the region. What is not inner is the outline.
struct RowParts {
  RowSpan row;
  RowSpan inner;
};

inline RowParts rowParts(const GuiRect& box, std::int64_t y) {
  const RowSpan row = ellipseRow(box, y);
  const RowSpan above = ellipseRow(box, y - 1);
  const RowSpan below = ellipseRow(box, y + 1);
  RowSpan inner{std::max({row.a + 1, above.a, below.a}), std::min({row.b - 1, above.b, below.b})};
  if (row.isEmpty() || above.isEmpty() || below.isEmpty() || inner.isEmpty()) {
    inner = {row.b, row.b};
  }
  return {row, inner};
}

}  // namespace raster_detail

enum class EllipsePart {
  outline,  // the edge pixels of the region (those with a four-neighbour outside it)
  inside,   // every other pixel of the region
};

// One part of the ellipse region of `box`, limited to the pixels `filter` accepts. The outline
// is closed and one pixel wide; outline and inside together are the region, without overlap.
template <class Filter, class Sink>
void rasterEllipse(EllipsePart part, const GuiRect& box, const GuiRect& bounds,
                   const Filter& filter, Sink&& sink) {
  RunBuilder<Sink> runs(sink);
  const std::int64_t top = std::max(box.top, bounds.top);
  const std::int64_t bottom = std::min(box.bottom, bounds.bottom);
  for (std::int64_t y = top; y < bottom; ++y) {
    const raster_detail::RowParts parts = raster_detail::rowParts(box, y);
    if (part == EllipsePart::inside) {
      raster_detail::emitRange(parts.inner.a, parts.inner.b, y, bounds, filter, runs);
    } else if (!parts.row.isEmpty()) {
      raster_detail::emitRange(parts.row.a, parts.inner.a, y, bounds, filter, runs);
      raster_detail::emitRange(parts.inner.b, parts.row.b, y, bounds, filter, runs);
    }
  }
}
