// Button faces (see Faces.h).
#include "Faces.h"

#include "Palette.h"

#include <array>

namespace artwork {

namespace {

const palette::FaceColours& coloursOf(Tone tone) {
  switch (tone) {
    case Tone::blue: return palette::kBlueFace;
    case Tone::orange: return palette::kOrangeFace;
    case Tone::grey: break;
  }
  return palette::kGreyFace;
}

void paintBody(Canvas& canvas, const FaceFrame& f, const palette::FaceColours& colours) {
  const int right = f.width - 1;
  const int bottom = f.top + f.height - 1;
  canvas.fill({0, f.top, right, bottom}, palette::kGround);
  const int inset = f.rounded ? 1 : 0;
  canvas.fill({inset, f.top, right - inset, f.top}, colours.rim);
  canvas.fill({inset, bottom, right - inset, bottom}, colours.rim);
  canvas.fill({0, f.top + inset, 0, bottom - inset}, colours.rim);
  canvas.fill({right, f.top + inset, right, bottom - inset}, colours.rim);
  canvas.verticalBlend({1, f.top + 1, right - 1, bottom - 1}, colours.top, colours.bottom);
  canvas.fill({1, f.top + 1, right - 1, f.top + 1}, colours.highlight);
}

// A cross corner to corner, one pixel inside the rim (the "off" mark of the small square).
void paintCross(Canvas& canvas, const FaceFrame& f, Rgb ink) {
  const int span = f.width - 4;
  for (int i = 0; i < span; ++i) {
    canvas.pixel(2 + i, f.top + 2 + i, ink);
    canvas.pixel(f.width - 3 - i, f.top + 2 + i, ink);
  }
}

// Two periods of a triangle wave, centred on the face: peaks 8 pixels apart, zero at both ends.
void paintTriangleWave(Canvas& canvas, const FaceFrame& f, Rgb ink) {
  const double mid = f.width * 0.5;
  const double high = f.top + 3.5;
  const double low = f.top + f.height - 3.5;
  const double zero = (high + low) * 0.5;
  struct Point {
    double x;
    double y;
  };
  const std::array<Point, 6> wave{{{mid - 16, zero},
                                   {mid - 12, high},
                                   {mid - 4, low},
                                   {mid + 4, high},
                                   {mid + 12, low},
                                   {mid + 16, zero}}};
  cairo_t* cr = canvas.context();
  cairo_save(cr);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);
  cairo_set_source_rgb(cr, ink.red / 255.0, ink.green / 255.0, ink.blue / 255.0);
  cairo_set_line_width(cr, 1.4);
  cairo_move_to(cr, wave[0].x, wave[0].y);
  for (const Point& p : wave) {
    cairo_line_to(cr, p.x, p.y);
  }
  cairo_stroke(cr);
  cairo_restore(cr);
}

}  // namespace

void paintFace(Canvas& canvas, const Fonts& fonts, const FaceFrame& frame, const FaceRecipe& face,
               CaptionFont font) {
  const palette::FaceColours& colours = coloursOf(face.tone);
  paintBody(canvas, frame, colours);
  switch (face.symbol) {
    case Symbol::caption: {
      const TextStyle style{font.bold ? fonts.bold() : fonts.regular(), font.size, colours.ink};
      canvas.textCentred(face.caption, style,
                         {1, frame.top + 1, frame.width - 2, frame.top + frame.height - 2});
      break;
    }
    case Symbol::triangleWave: paintTriangleWave(canvas, frame, colours.ink); break;
    case Symbol::cross: paintCross(canvas, frame, colours.ink); break;
    case Symbol::none: break;
  }
}

}  // namespace artwork
