// Canvas: a 24-bit cairo image with the few pixel-exact primitives the artwork is drawn from.
// Rectangles are inclusive on all four sides (the way the panel layout gives its boxes), shapes
// are drawn without antialiasing, and text uses fixed font options so that every run of the
// generator produces the same bytes.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace artwork {

struct Rgb {
  std::uint8_t red;
  std::uint8_t green;
  std::uint8_t blue;
};

// Pixel rectangle, both corners inside (left..right, top..bottom).
struct PixelRect {
  int left;
  int top;
  int right;
  int bottom;

  [[nodiscard]] constexpr int width() const { return right - left + 1; }
  [[nodiscard]] constexpr int height() const { return bottom - top + 1; }
  [[nodiscard]] constexpr double centreX() const { return (left + right + 1) * 0.5; }
  [[nodiscard]] constexpr double centreY() const { return (top + bottom + 1) * 0.5; }
};

// A font at a pixel size in one colour.
struct TextStyle {
  cairo_font_face_t* face;
  double size;
  Rgb colour;
};

// Ink box of a text relative to its origin on the baseline (cairo's text extents).
struct TextInk {
  double left;
  double top;
  double width;
  double height;
  double advance;
};

class Canvas {
 public:
  Canvas(int width, int height);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  [[nodiscard]] bool valid() const;
  [[nodiscard]] int width() const { return width_; }
  [[nodiscard]] int height() const { return height_; }
  [[nodiscard]] cairo_t* context() const { return cr_; }
  [[nodiscard]] cairo_surface_t* surface() const { return surface_; }

  void fill(const PixelRect& rect, Rgb colour);
  void outline(const PixelRect& rect, Rgb colour);
  void pixel(int x, int y, Rgb colour);
  // Fills the rectangle with a vertical blend from `top` on its first row to `bottom` on its last.
  void verticalBlend(const PixelRect& rect, Rgb top, Rgb bottom);

  [[nodiscard]] TextInk measure(std::string_view text, const TextStyle& style) const;
  // Draws the text with its origin at (x, baseline); `tracking` adds pixels after each character.
  void text(std::string_view text, const TextStyle& style, double x, double baseline,
            double tracking = 0.0);
  // Centres the text's ink horizontally on `centreX`, and vertically on `rect` by its capital
  // height, so that captions with and without descenders sit on the same baseline.
  void textCentred(std::string_view text, const TextStyle& style, const PixelRect& rect);
  [[nodiscard]] double textCentredX(std::string_view text, const TextStyle& style,
                                    double centreX) const;
  [[nodiscard]] double centredBaseline(const TextStyle& style, const PixelRect& rect) const;

  // Copies `height` rows of another canvas, starting at its row `sourceTop`, to (x, y).
  void paste(const Canvas& source, int sourceTop, int width, int height, int x, int y);

  // Writes the image as an RGB PNG; on failure returns false and says why in `error`.
  [[nodiscard]] bool writePng(const std::string& path, std::string& error) const;

 private:
  void select(const TextStyle& style) const;

  int width_;
  int height_;
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

}  // namespace artwork
