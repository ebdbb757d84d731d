// The drawing context on cairo. One-pixel shapes are rasterised by Raster.h into pixel runs and
// filled as rectangles with antialiasing off, which makes them exact; wide pens and polygons are
// cairo paths. In copy mode a shape is filled directly; for the or and xor modes it is rendered
// into an 8-bit mask and the colour is combined with the covered pixels by hand, because cairo
// has no bitwise raster operations. The panel draws thousands of one-pixel lines (curve columns,
// bar segments), so in copy mode their runs, and points, are stored straight into the surface's
// memory, the same values cairo's fill of the runs would store.
#include "gui/DrawContext.h"

#include <cairo.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <new>
#include <numbers>
#include <optional>
#include <utility>

#include "gui/Raster.h"
#include "gui/TextEncoding.h"
#include "gui/platform/PlatformWindow.h"

enum class PathKind { fill, fillEvenOdd, stroke };

// A shape that can append itself, in device coordinates, to any cairo context: the target's
// for copy mode, a mask's for or/xor. Building twice gives the same shape.
struct ShapePath {
  virtual ~ShapePath() = default;
  virtual PathKind build(cairo_t* cr) const = 0;
};

namespace {

// cairo keeps coordinates in 24.8 fixed point; paths stay well inside that.
constexpr std::int32_t kCairoLimit = 1 << 22;

template <class Build>
class LambdaShape final : public ShapePath {
 public:
  explicit LambdaShape(Build build) : build_(std::move(build)) {}
  PathKind build(cairo_t* cr) const override { return build_(cr); }

 private:
  Build build_;
};

template <class Build>
LambdaShape<Build> shapeOf(Build build) {
  return LambdaShape<Build>(std::move(build));
}

std::int32_t clampTo(std::int64_t value, std::int32_t limit) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, -limit, limit));
}

// `rect` with each side moved by the given amounts, saturating instead of overflowing.
GuiRect adjusted(const GuiRect& rect, std::int32_t dl, std::int32_t dt, std::int32_t dr,
                 std::int32_t db) {
  return {saturateToInt32(std::int64_t{rect.left} + dl),
          saturateToInt32(std::int64_t{rect.top} + dt),
          saturateToInt32(std::int64_t{rect.right} + dr),
          saturateToInt32(std::int64_t{rect.bottom} + db)};
}

GuiPoint deviceCoordinate(GuiPoint p, GuiPoint offset) {
  return {clampTo(std::int64_t{p.h} + offset.h, kRasterLimit),
          clampTo(std::int64_t{p.v} + offset.v, kRasterLimit)};
}

double cairoX(std::int32_t v) { return clampTo(v, kCairoLimit); }

void setSourceColor(cairo_t* cr, GuiColor c) {
  cairo_set_source_rgb(cr, c.red / 255.0, c.green / 255.0, c.blue / 255.0);
}

void appendRect(cairo_t* cr, const GuiRect& r) {
  cairo_rectangle(cr, cairoX(r.left), cairoX(r.top), cairoX(r.right) - cairoX(r.left),
                  cairoX(r.bottom) - cairoX(r.top));
}

// A raster sink that adds every pixel run to the path of `cr`.
auto runsInto(cairo_t* cr) {
  return [cr](const GuiRect& run) { appendRect(cr, run); };
}

GuiRect extentsOf(cairo_t* cr, PathKind kind) {
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  if (kind == PathKind::stroke) {
    cairo_stroke_extents(cr, &x1, &y1, &x2, &y2);
  } else {
    cairo_fill_extents(cr, &x1, &y1, &x2, &y2);
  }
  return {static_cast<std::int32_t>(std::floor(x1)), static_cast<std::int32_t>(std::floor(y1)),
          static_cast<std::int32_t>(std::ceil(x2)), static_cast<std::int32_t>(std::ceil(y2))};
}

void finishPath(cairo_t* cr, PathKind kind) {
  if (kind == PathKind::stroke) {
    cairo_stroke(cr);
  } else {
    cairo_set_fill_rule(
        cr, kind == PathKind::fillEvenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    cairo_fill(cr);
  }
}

// Pixel values of a 24-bit image surface are 0x00RRGGBB.
std::uint32_t pixelValue(GuiColor c) {
  return (std::uint32_t{c.red} << 16) | (std::uint32_t{c.green} << 8) | c.blue;
}

// A raster sink that stores pixel runs of one opaque colour straight into a 24- or 32-bit image
// surface: what cairo's fill of the same rectangles stores (both formats hold an opaque colour
// as 0xFFRRGGBB). Every run is cut to the surface first, so no write can leave it. The caller
// flushes the surface before and marks the touched area dirty after.
class PixelWriter {
 public:
  PixelWriter(cairo_surface_t* surface, GuiColor color)
      : data_(cairo_image_surface_get_data(surface)),
        stride(cairo_image_surface_get_stride(surface)),
        extent{0, 0, cairo_image_surface_get_width(surface),
               cairo_image_surface_get_height(surface)},
        value(0xFF000000u | pixelValue(color)) {}

  void operator()(const GuiRect& run) {
    const GuiRect r = run.intersect(extent);
    if (r.isEmpty() || !data_) return;
    for (std::int32_t y = r.top; y < r.bottom; ++y) {
      auto* row = reinterpret_cast<std::uint32_t*>(data_ + std::ptrdiff_t{y} * stride);
      std::fill(row + r.left, row + r.right, value);
    }
    touched_ = touched_.unite(r);
  }

  const GuiRect& touched() const { return touched_; }

 private:
  unsigned char* data_;
  std::ptrdiff_t stride;
  GuiRect extent;
  std::uint32_t value;
  GuiRect touched_{};
};

// Hands a PixelWriter for `surface` and `color` to `paint`, with the flush before and the dirty
// mark after that writing outside cairo needs; returns the area painted.
template <class Paint>
GuiRect writePixels(cairo_surface_t* surface, GuiColor color, Paint&& paint) {
  cairo_surface_flush(surface);
  PixelWriter writer(surface, color);
  paint(writer);
  const GuiRect& area = writer.touched();
  if (!area.isEmpty()) {
    cairo_surface_mark_dirty_rectangle(surface, area.left, area.top, area.width(), area.height());
  }
  return area;
}

// Number of pixel steps of the line a -> b (what the dotted pattern advances by).
std::int64_t lineSteps(GuiPoint a, GuiPoint b) {
  const std::int64_t dx = std::abs(std::int64_t{b.h} - a.h);
  const std::int64_t dy = std::abs(std::int64_t{b.v} - a.v);
  return std::max(dx, dy);
}

// Points with the offset added: up to 30 in a fixed local array, more in a heap array. When
// that allocation fails the list is empty and nothing is drawn.
class DevicePoints {
 public:
  static constexpr std::int32_t kLocalCapacity = 30;

  DevicePoints(const GuiPoint* points, std::int32_t count, GuiPoint offset) {
    if (!points || count <= 0) return;
    GuiPoint* target = local.data();
    if (count > kLocalCapacity) {
      heap.reset(new (std::nothrow) GuiPoint[static_cast<std::size_t>(count)]);
      if (!heap) return;
      target = heap.get();
    }
    for (std::int32_t i = 0; i < count; ++i) target[i] = deviceCoordinate(points[i], offset);
    data_ = target;
    count_ = count;
  }

  const GuiPoint* data() const { return data_; }
  std::int32_t count() const { return count_; }

 private:
  std::array<GuiPoint, kLocalCapacity> local{};
  std::unique_ptr<GuiPoint[]> heap;
  const GuiPoint* data_ = nullptr;
  std::int32_t count_ = 0;
};

}  // namespace

DrawContext::DrawContext(GuiFrame* frame, DrawSurface* device, PlatformWindow* window,
                         const GuiRect& frameSize)
    : device_(device), window_(window), frame_(frame) {
  defaultClip = frame ? frameSize : kNoFrameClip;
  clipRect = defaultClip;
  if (window_) windowOrigin = window_->origin();
  if (!device_) scratch = std::make_unique<DrawSurface>(0, 0);
  cr_ = cairo_create(device_ ? device_->cairoSurface() : scratch->cairoSurface());
  cairo_set_antialias(cr_, CAIRO_ANTIALIAS_NONE);
  // Text is antialiased in grey levels with whole-pixel advances, so that it measures the same
  // on every machine whatever the desktop's font settings.
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
  cairo_set_font_options(cr_, options);
  cairo_font_options_destroy(options);
}

DrawContext::DrawContext(GuiFrame* frame, std::unique_ptr<DrawSurface> ownedDevice,
                         const GuiRect& frameSize)
    : DrawContext(frame, ownedDevice.get(), nullptr, frameSize) {
  ownedDevice_ = std::move(ownedDevice);
}

DrawContext::~DrawContext() {
  flush();
  cairo_destroy(cr_);
}

GuiPoint DrawContext::toDevice(GuiPoint p) const { return deviceCoordinate(p, offset_); }

GuiRect DrawContext::toDeviceRect(const GuiRect& rect) const {
  const GuiPoint a = toDevice(rect.topLeft());
  const GuiPoint b = toDevice({rect.right, rect.bottom});
  return {a.h, a.v, b.h, b.v};
}

GuiRect DrawContext::paintBounds() const {
  const GuiRect surface = device_ ? device_->bounds() : GuiRect{};
  return clipActive ? surface.intersect(clipRect) : surface;
}

void DrawContext::noteChanged(const GuiRect& area) { changed = changed.unite(area); }

cairo_surface_t* DrawContext::directTarget() const {
  if (!directPixels || !device_) return nullptr;
  cairo_surface_t* surface = device_->cairoSurface();
  const cairo_format_t format = cairo_image_surface_get_format(surface);
  const bool writable = format == CAIRO_FORMAT_RGB24 || format == CAIRO_FORMAT_ARGB32;
  return writable && cairo_image_surface_get_data(surface) ? surface : nullptr;
}

void DrawContext::paintPath(GuiColor color, const ShapePath& path) {
  const GuiRect bounds = paintBounds();
  if (bounds.isEmpty()) return;
  cairo_new_path(cr_);
  const PathKind kind = path.build(cr_);
  const GuiRect area = extentsOf(cr_, kind).intersect(bounds);
  if (area.isEmpty()) {
    cairo_new_path(cr_);
    return;
  }
  if (drawMode == DrawMode::copy) {
    setSourceColor(cr_, color);
    finishPath(cr_, kind);
  } else {
    cairo_new_path(cr_);
    combineThroughMask(color, path, area);
  }
  noteChanged(area);
}

void DrawContext::combineThroughMask(GuiColor color, const ShapePath& path, const GuiRect& area) {
  cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, area.width(), area.height());
  if (cairo_surface_status(mask) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(mask);
    return;
  }
  cairo_t* m = cairo_create(mask);
  cairo_set_antialias(m, CAIRO_ANTIALIAS_NONE);
  cairo_translate(m, -area.left, -area.top);
  const PathKind kind = path.build(m);
  cairo_set_source_rgba(m, 0, 0, 0, 1);
  finishPath(m, kind);
  cairo_destroy(m);
  cairo_surface_flush(mask);

  cairo_surface_t* target = device_->cairoSurface();
  cairo_surface_flush(target);
  const std::uint32_t pen = pixelValue(color);
  const bool orMode = drawMode == DrawMode::orMode;
  unsigned char* targetData = cairo_image_surface_get_data(target);
  const int targetStride = cairo_image_surface_get_stride(target);
  const unsigned char* maskData = cairo_image_surface_get_data(mask);
  const int maskStride = cairo_image_surface_get_stride(mask);
  for (std::int32_t y = 0; y < area.height(); ++y) {
    const unsigned char* coverage = maskData + std::ptrdiff_t{y} * maskStride;
    unsigned char* row = targetData + std::ptrdiff_t{area.top + y} * targetStride;
    for (std::int32_t x = 0; x < area.width(); ++x) {
      if (coverage[x] == 0) continue;
      unsigned char* at = row + std::ptrdiff_t{area.left + x} * 4;
      std::uint32_t pixel;
      std::memcpy(&pixel, at, sizeof pixel);
      const std::uint32_t mixed = orMode ? (pixel | pen) : ~(pixel ^ pen);
      pixel = (pixel & 0xFF000000u) | (mixed & 0x00FFFFFFu);
      std::memcpy(at, &pixel, sizeof pixel);
    }
  }
  cairo_surface_mark_dirty_rectangle(target, area.left, area.top, area.width(), area.height());
  cairo_surface_destroy(mask);
}

void DrawContext::strokePolyline(const GuiPoint* points, std::int32_t count) {
  if (count < 2) return;
  if (lineWidth > 1) {
    // A wide pen is a geometric pen: round ends and joins, no dots.
    const double width = lineWidth;
    const auto shape = shapeOf([points, count, width](cairo_t* cr) {
      cairo_move_to(cr, cairoX(points[0].h) + 0.5, cairoX(points[0].v) + 0.5);
      for (std::int32_t i = 1; i < count; ++i) {
        cairo_line_to(cr, cairoX(points[i].h) + 0.5, cairoX(points[i].v) + 0.5);
      }
      cairo_set_line_width(cr, width);
      cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
      cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
      return PathKind::stroke;
    });
    paintPath(frameColor, shape);
    return;
  }
  const bool dotted = lineStyle == LineStyle::dotted;
  const std::int64_t startPhase = dashPhase;
  const GuiRect bounds = paintBounds();
  cairo_surface_t* direct = drawMode == DrawMode::copy ? directTarget() : nullptr;
  if (direct && !bounds.isEmpty()) {
    noteChanged(writePixels(direct, frameColor, [&](PixelWriter& writer) {
      std::int64_t phase = startPhase;
      for (std::int32_t i = 1; i < count; ++i) {
        rasterLine(points[i - 1], points[i], bounds, dotted, phase, writer);
      }
    }));
  } else if (!direct) {
    const auto shape = shapeOf([=](cairo_t* cr) {
      std::int64_t phase = startPhase;
      for (std::int32_t i = 1; i < count; ++i) {
        rasterLine(points[i - 1], points[i], bounds, dotted, phase, runsInto(cr));
      }
      return PathKind::fill;
    });
    paintPath(frameColor, shape);
  }
  for (std::int32_t i = 1; i < count; ++i) dashPhase += lineSteps(points[i - 1], points[i]);
}

void DrawContext::moveTo(GuiPoint to) {
  penPosition = toDevice(to);
  dashPhase = 0;
}

void DrawContext::lineTo(GuiPoint to) {
  const std::array<GuiPoint, 2> segment{penPosition, toDevice(to)};
  strokePolyline(segment.data(), 2);
  penPosition = segment[1];
}

void DrawContext::polyLine(const GuiPoint* points, std::int32_t count) {
  const DevicePoints device(points, count, offset_);
  const std::int64_t phase = dashPhase;
  dashPhase = 0;
  strokePolyline(device.data(), device.count());
  dashPhase = phase;
}

void DrawContext::fillPolygon(const GuiPoint* points, std::int32_t count) {
  const DevicePoints device(points, count, offset_);
  if (device.count() < 3) return;
  const GuiPoint* p = device.data();
  const std::int32_t n = device.count();
  const auto shape = shapeOf([p, n](cairo_t* cr) {
    cairo_move_to(cr, cairoX(p[0].h), cairoX(p[0].v));
    for (std::int32_t i = 1; i < n; ++i) cairo_line_to(cr, cairoX(p[i].h), cairoX(p[i].v));
    cairo_close_path(cr);
    return PathKind::fillEvenOdd;
  });
  paintPath(fillColor, shape);
}

void DrawContext::drawRect(const GuiRect& rect) {
  const GuiRect r = toDeviceRect(rect);
  const std::array<GuiPoint, 5> corners{{{r.left, r.top},
                                         {r.right, r.top},
                                         {r.right, r.bottom},
                                         {r.left, r.bottom},
                                         {r.left, r.top}}};
  const std::int64_t phase = dashPhase;
  dashPhase = 0;
  strokePolyline(corners.data(), static_cast<std::int32_t>(corners.size()));
  dashPhase = phase;
}

void DrawContext::fillRect(const GuiRect& rect) {
  const GuiRect r = toDeviceRect(rect);
  const GuiRect inside = GuiRect{r.left + 1, r.top + 1, r.right, r.bottom}.intersect(paintBounds());
  if (inside.isEmpty()) return;
  const auto shape = shapeOf([inside](cairo_t* cr) {
    appendRect(cr, inside);
    return PathKind::fill;
  });
  paintPath(fillColor, shape);
}

void DrawContext::strokeEllipse(const GuiRect& box, GuiPoint from, GuiPoint to) {
  const double cx = (static_cast<double>(box.left) + box.right) / 2.0;
  const double cy = (static_cast<double>(box.top) + box.bottom) / 2.0;
  const double rx = std::max(0.0, (static_cast<double>(box.right) - box.left) / 2.0 - 0.5);
  const double ry = std::max(0.0, (static_cast<double>(box.bottom) - box.top) / 2.0 - 0.5);
  const ArcSector sector(box, from, to);
  // Parametric angles of the rays' crossing points, so the stroke ends on the rays.
  const auto parameter = [rx, ry](double angle) {
    return std::atan2(rx * std::sin(angle), ry * std::cos(angle));
  };
  const double t0 = parameter(sector.startAngle());
  double sweep = 2.0 * std::numbers::pi;
  if (sector.sweep() < sweep) {
    sweep = std::fmod(parameter(sector.startAngle() + sector.sweep()) - t0 + 4.0 * std::numbers::pi,
                      2.0 * std::numbers::pi);
  }
  const int segments = static_cast<int>(std::clamp((rx + ry) * sweep, 16.0, 2048.0));
  const double width = lineWidth;
  const auto shape = shapeOf([=](cairo_t* cr) {
    for (int i = 0; i <= segments; ++i) {
      const double t = t0 + sweep * i / segments;
      cairo_line_to(cr, std::clamp(cx + rx * std::cos(t), -1.0 * kCairoLimit, 1.0 * kCairoLimit),
                    std::clamp(cy - ry * std::sin(t), -1.0 * kCairoLimit, 1.0 * kCairoLimit));
    }
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    return PathKind::stroke;
  });
  paintPath(frameColor, shape);
}

void DrawContext::drawEllipse(const GuiRect& rect) {
  // An arc from the top-centre point back to itself: the whole outline.
  const GuiPoint topCentre{saturateToInt32((std::int64_t{rect.left} + rect.right) / 2), rect.top};
  drawArc(rect, topCentre, topCentre);
}

void DrawContext::fillEllipse(const GuiRect& rect) { fillSector(rect, std::nullopt); }

void DrawContext::drawArc(const GuiRect& rect, GuiPoint from, GuiPoint to) {
  const GuiRect box = toDeviceRect(adjusted(rect, 0, 0, 1, 1));
  const GuiPoint a = toDevice(from);
  const GuiPoint b = toDevice(to);
  if (lineWidth > 1) {
    strokeEllipse(box, a, b);
    return;
  }
  const GuiRect bounds = paintBounds();
  const ArcSector sector(box, a, b);
  const auto shape = shapeOf([box, bounds, sector](cairo_t* cr) {
    rasterEllipse(EllipsePart::outline, box, bounds, sector, runsInto(cr));
    return PathKind::fill;
  });
  paintPath(frameColor, shape);
}

void DrawContext::fillArc(const GuiRect& rect, GuiPoint from, GuiPoint to) {
  fillSector(rect, std::pair{from, to});
}

void DrawContext::fillSector(const GuiRect& rect,
                             std::optional<std::pair<GuiPoint, GuiPoint>> rays) {
  // The inside of the outline that drawArc draws for the same rect: (left + 1, top + 1) to
  // (right, bottom), right and bottom excluded, shaped so that fill and outline meet exactly.
  const GuiRect box = toDeviceRect(adjusted(rect, 0, 0, 1, 1));
  const GuiRect bounds = paintBounds();
  if (!rays) {
    const auto shape = shapeOf([=](cairo_t* cr) {
      rasterEllipse(EllipsePart::inside, box, bounds, WholeEllipse{}, runsInto(cr));
      return PathKind::fill;
    });
    paintPath(fillColor, shape);
    return;
  }
  const ArcSector sector(box, toDevice(rays->first), toDevice(rays->second));
  const auto shape = shapeOf([=](cairo_t* cr) {
    rasterEllipse(EllipsePart::inside, box, bounds, sector, runsInto(cr));
    return PathKind::fill;
  });
  paintPath(fillColor, shape);
}

void DrawContext::drawPoint(GuiPoint point, GuiColor color) {
  const GuiPoint p = toDevice(point);
  if (!paintBounds().pointInside(p)) return;
  const GuiRect pixel{p.h, p.v, p.h + 1, p.v + 1};
  if (cairo_surface_t* direct = directTarget()) {
    noteChanged(writePixels(direct, color, [&](PixelWriter& writer) { writer(pixel); }));
    return;
  }
  cairo_new_path(cr_);
  appendRect(cr_, pixel);
  setSourceColor(cr_, color);
  cairo_fill(cr_);
  noteChanged(pixel);
}

void DrawContext::setLineStyle(LineStyle style) {
  lineStyle = style == LineStyle::dotted ? LineStyle::dotted : LineStyle::solid;
}

void DrawContext::setLineWidth(std::int32_t width) { lineWidth = width; }

void DrawContext::setFrameColor(GuiColor color) { frameColor = color; }

void DrawContext::setFillColor(GuiColor color) { fillColor = color; }

void DrawContext::setFontColor(GuiColor color) { fontColor = color; }

void DrawContext::setDrawMode(DrawMode mode) {
  drawMode = (mode == DrawMode::orMode || mode == DrawMode::xorMode) ? mode : DrawMode::copy;
}

void DrawContext::setClipRect(const GuiRect& rect) {
  if (rect == clipRect) return;
  clipRect = rect;
  applyClip();
}

void DrawContext::resetClipRect() {
  clipRect = defaultClip;
  applyClip();
}

void DrawContext::applyClip() {
  clipActive = true;
  cairo_reset_clip(cr_);
  cairo_new_path(cr_);
  if (clipRect.isEmpty()) {
    cairo_rectangle(cr_, 0, 0, 0, 0);
  } else {
    appendRect(cr_, clipRect);
  }
  cairo_clip(cr_);
}

void DrawContext::setFont(FontId id, std::int32_t size, std::int32_t style) {
  const FontSpec resolved = resolveFont(static_cast<std::int32_t>(id), size, style);
  if (resolved == font_ && !fontPending) return;
  font_ = resolved;
  fontPending = true;
}

void DrawContext::applyFont() {
  if (!fontPending) return;
  cairo_select_font_face(
      cr_, font_.face, font_.italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
      font_.weight >= kFontWeightBold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr_, font_.size);
  fontPending = false;
}

std::int32_t DrawContext::getStringWidth(const char* text) {
  return textWidth(toDisplayText(text));
}

std::int32_t DrawContext::textWidth(const std::string& utf8) {
  if (utf8.empty()) return 0;
  applyFont();
  cairo_text_extents_t extents;
  cairo_text_extents(cr_, utf8.c_str(), &extents);
  return static_cast<std::int32_t>(std::lround(extents.x_advance));
}

void DrawContext::drawString(const char* text, const GuiRect& rect, bool opaque, TextAlign align) {
  GuiRect box = toDeviceRect(rect);
  if (align == TextAlign::left) box.left += 1;
  const GuiRect area = box.intersect(paintBounds());
  if (area.isEmpty()) return;
  const std::string utf8 = toDisplayText(text);
  if (utf8.empty()) return;
  const std::int32_t width = textWidth(utf8);
  cairo_font_extents_t font;
  cairo_font_extents(cr_, &font);
  const auto ascent = static_cast<std::int32_t>(std::lround(font.ascent));
  const auto lineHeight = ascent + static_cast<std::int32_t>(std::lround(font.descent));
  const std::int64_t top = box.top + (std::int64_t{box.height()} - lineHeight) / 2;
  std::int64_t left = box.left;
  if (align == TextAlign::center) left += (std::int64_t{box.width()} - width) / 2;
  if (align == TextAlign::right) left = std::int64_t{box.right} - width;
  const double x = std::clamp<double>(static_cast<double>(left), -kCairoLimit, kCairoLimit);
  const double y = std::clamp<double>(static_cast<double>(top), -kCairoLimit, kCairoLimit);

  cairo_save(cr_);
  cairo_new_path(cr_);
  appendRect(cr_, area);
  cairo_clip(cr_);
  if (opaque) {
    cairo_rectangle(cr_, x, y, width, lineHeight);
    setSourceColor(cr_, fillColor);
    cairo_fill(cr_);
  }
  setSourceColor(cr_, fontColor);
  cairo_move_to(cr_, x, y + ascent);
  cairo_show_text(cr_, utf8.c_str());
  if (font_.underline) {
    const double thickness = std::max(1L, std::lround(font_.size / 14.0));
    cairo_new_path(cr_);
    cairo_rectangle(cr_, x, y + ascent + std::max(1L, std::lround(font.descent / 2.0)), width,
                    thickness);
    cairo_fill(cr_);
  }
  cairo_restore(cr_);
  noteChanged(area);
}

void DrawContext::copyBlock(cairo_surface_t* source, const GuiRect& dest, GuiPoint sourceOffset) {
  if (!source || dest.isEmpty()) return;
  const GuiPoint at = toDevice(dest.topLeft());
  const GuiRect sourceBounds{0, 0, cairo_image_surface_get_width(source),
                             cairo_image_surface_get_height(source)};
  const GuiRect wanted{sourceOffset.h, sourceOffset.v,
                       saturateToInt32(std::int64_t{sourceOffset.h} + dest.width()),
                       saturateToInt32(std::int64_t{sourceOffset.v} + dest.height())};
  const GuiRect available = wanted.intersect(sourceBounds);
  if (available.isEmpty()) return;
  const GuiPoint shift{saturateToInt32(std::int64_t{at.h} - sourceOffset.h),
                       saturateToInt32(std::int64_t{at.v} - sourceOffset.v)};
  const GuiRect area = available.offsetBy(shift).intersect(paintBounds());
  if (area.isEmpty()) return;
  cairo_save(cr_);
  cairo_new_path(cr_);
  cairo_set_source_surface(cr_, source, shift.h, shift.v);
  cairo_pattern_set_filter(cairo_get_source(cr_), CAIRO_FILTER_NEAREST);
  cairo_set_operator(cr_, CAIRO_OPERATOR_OVER);
  appendRect(cr_, area);
  cairo_fill(cr_);
  cairo_restore(cr_);
  noteChanged(area);
}

std::int32_t DrawContext::queryMouseButtons() {
  flush();
  return window_ ? window_->mouseButtons() : 0;
}

void DrawContext::queryMouseLocation(GuiPoint& where) {
  flush();
  if (!window_) {
    where = {};
    return;
  }
  const GuiPoint screen = window_->pointerPosition();
  where = {saturateToInt32(std::int64_t{screen.h} - windowOrigin.h),
           saturateToInt32(std::int64_t{screen.v} - windowOrigin.v)};
}

bool DrawContext::awaitSecondClick() {
  flush();
  return window_ ? window_->awaitSecondClick() : false;
}

void DrawContext::flush() {
  if (window_ && device_ && !changed.isEmpty()) {
    cairo_surface_flush(device_->cairoSurface());
    window_->present(device_->cairoSurface(), changed);
  }
  changed = {};
}

WriteResult DrawContext::writePng(const std::string& path) const {
  if (!device_) return {false, path + ": the context has no surface"};
  cairo_surface_flush(device_->cairoSurface());
  return device_->writePng(path);
}
