// Canvas primitives on a cairo RGB24 image surface (see Canvas.h).
#include "Canvas.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace artwork {

namespace {

void setColour(cairo_t* cr, Rgb colour) {
  cairo_set_source_rgb(cr, colour.red / 255.0, colour.green / 255.0, colour.blue / 255.0);
}

// Font rendering fixed here, not taken from the machine's font configuration: grey-scale
// antialiasing, full hinting and whole-pixel metrics give crisp small captions and the same bytes
// on every run.
cairo_font_options_t* makeFontOptions() {
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_subpixel_order(options, CAIRO_SUBPIXEL_ORDER_DEFAULT);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_FULL);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
  return options;
}

}  // namespace

Canvas::Canvas(int width, int height)
    : width_(width),
      height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height)),
      cr_(cairo_create(surface_)) {
  cairo_set_antialias(cr_, CAIRO_ANTIALIAS_NONE);
  cairo_font_options_t* options = makeFontOptions();
  cairo_set_font_options(cr_, options);
  cairo_font_options_destroy(options);
}

Canvas::~Canvas() {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

bool Canvas::valid() const {
  return cairo_surface_status(surface_) == CAIRO_STATUS_SUCCESS &&
         cairo_status(cr_) == CAIRO_STATUS_SUCCESS;
}

void Canvas::fill(const PixelRect& rect, Rgb colour) {
  if (rect.width() <= 0 || rect.height() <= 0) {
    return;
  }
  setColour(cr_, colour);
  cairo_rectangle(cr_, rect.left, rect.top, rect.width(), rect.height());
  cairo_fill(cr_);
}

void Canvas::outline(const PixelRect& rect, Rgb colour) {
  fill({rect.left, rect.top, rect.right, rect.top}, colour);
  fill({rect.left, rect.bottom, rect.right, rect.bottom}, colour);
  fill({rect.left, rect.top, rect.left, rect.bottom}, colour);
  fill({rect.right, rect.top, rect.right, rect.bottom}, colour);
}

void Canvas::pixel(int x, int y, Rgb colour) { fill({x, y, x, y}, colour); }

void Canvas::verticalBlend(const PixelRect& rect, Rgb top, Rgb bottom) {
  // Row by row with rounded channels, so the result does not depend on cairo's gradient sampling.
  const int rows = rect.height();
  for (int row = 0; row < rows; ++row) {
    const double t = rows > 1 ? static_cast<double>(row) / (rows - 1) : 0.0;
    auto mix = [t](std::uint8_t a, std::uint8_t b) {
      return static_cast<std::uint8_t>(std::lround(a + (b - a) * t));
    };
    const Rgb colour{mix(top.red, bottom.red), mix(top.green, bottom.green),
                     mix(top.blue, bottom.blue)};
    fill({rect.left, rect.top + row, rect.right, rect.top + row}, colour);
  }
}

void Canvas::select(const TextStyle& style) const {
  cairo_set_font_face(cr_, style.face);
  cairo_set_font_size(cr_, style.size);
}

TextInk Canvas::measure(std::string_view text, const TextStyle& style) const {
  select(style);
  const std::string owned(text);
  cairo_text_extents_t extents;
  cairo_text_extents(cr_, owned.c_str(), &extents);
  return {extents.x_bearing, extents.y_bearing, extents.width, extents.height, extents.x_advance};
}

void Canvas::text(std::string_view text, const TextStyle& style, double x, double baseline,
                  double tracking) {
  select(style);
  setColour(cr_, style.colour);
  if (tracking == 0.0) {
    const std::string owned(text);
    cairo_move_to(cr_, x, baseline);
    cairo_show_text(cr_, owned.c_str());
    return;
  }
  double pen = x;
  for (char c : text) {
    const char glyph[2] = {c, '\0'};
    cairo_text_extents_t extents;
    cairo_text_extents(cr_, glyph, &extents);
    cairo_move_to(cr_, pen, baseline);
    cairo_show_text(cr_, glyph);
    pen += extents.x_advance + tracking;
  }
}

double Canvas::textCentredX(std::string_view text, const TextStyle& style, double centreX) const {
  const TextInk ink = measure(text, style);
  return std::round(centreX - ink.left - ink.width * 0.5);
}

double Canvas::centredBaseline(const TextStyle& style, const PixelRect& rect) const {
  const TextInk capital = measure("H", style);
  return std::round(rect.centreY() + capital.height * 0.5);
}

void Canvas::textCentred(std::string_view text, const TextStyle& style, const PixelRect& rect) {
  this->text(text, style, textCentredX(text, style, rect.centreX()), centredBaseline(style, rect));
}

void Canvas::paste(const Canvas& source, int sourceTop, int width, int height, int x, int y) {
  cairo_save(cr_);
  cairo_set_source_surface(cr_, source.surface_, x, y - sourceTop);
  cairo_rectangle(cr_, x, y, width, height);
  cairo_fill(cr_);
  cairo_restore(cr_);
}

bool Canvas::writePng(const std::string& path, std::string& error) const {
  if (!valid()) {
    error = "drawing failed: " + std::string(cairo_status_to_string(cairo_status(cr_)));
    return false;
  }
  cairo_surface_flush(surface_);
  // Written beside the target and renamed, so an interrupted run never leaves a torn PNG behind.
  const std::string temporary = path + ".partial";
  const cairo_status_t status = cairo_surface_write_to_png(surface_, temporary.c_str());
  if (status != CAIRO_STATUS_SUCCESS) {
    error = "cannot write " + temporary + ": " + cairo_status_to_string(status);
    std::remove(temporary.c_str());
    return false;
  }
  std::error_code failure;
  std::filesystem::rename(temporary, path, failure);
  if (failure) {
    error = "cannot rename " + temporary + " to " + path + ": " + failure.message();
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace artwork
