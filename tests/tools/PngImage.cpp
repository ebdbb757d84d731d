// PNG reading and colour measures for the artwork tests (see PngImage.h).
#include "PngImage.h"

#include <cairo.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace artwork_test {

std::ostream& operator<<(std::ostream& out, const Rgb& colour) {
  return out << "(" << colour.red << ", " << colour.green << ", " << colour.blue << ")";
}

std::optional<PngImage> PngImage::read(const std::string& path) {
  cairo_surface_t* surface = cairo_image_surface_create_from_png(path.c_str());
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return std::nullopt;
  }
  PngImage image;
  image.width_ = cairo_image_surface_get_width(surface);
  image.height_ = cairo_image_surface_get_height(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  image.pixels.resize(static_cast<std::size_t>(image.width_) *
                      static_cast<std::size_t>(image.height_));
  for (int y = 0; y < image.height_; ++y) {
    const auto* row =
        reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    std::copy(row, row + image.width_,
              image.pixels.begin() + static_cast<std::ptrdiff_t>(y) * image.width_);
  }
  cairo_surface_destroy(surface);
  return image;
}

Rgb PngImage::at(int x, int y) const {
  const std::uint32_t p = pixels.at(static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                                    static_cast<std::size_t>(x));
  return {static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
          static_cast<int>(p & 0xFF)};
}

double hueOf(const Rgb& c) {
  const int high = std::max({c.red, c.green, c.blue});
  const int low = std::min({c.red, c.green, c.blue});
  if (high == low) {
    return 0.0;
  }
  const double span = high - low;
  double hue = 0.0;
  if (high == c.red) {
    hue = 60.0 * std::fmod((c.green - c.blue) / span + 6.0, 6.0);
  } else if (high == c.green) {
    hue = 60.0 * ((c.blue - c.red) / span + 2.0);
  } else {
    hue = 60.0 * ((c.red - c.green) / span + 4.0);
  }
  return hue;
}

double saturationOf(const Rgb& c) {
  const int high = std::max({c.red, c.green, c.blue});
  const int low = std::min({c.red, c.green, c.blue});
  return high == 0 ? 0.0 : static_cast<double>(high - low) / high;
}

Tone toneOf(const Rgb& c) {
  const double saturation = saturationOf(c);
  const double hue = hueOf(c);
  if (saturation < 0.12) {
    return Tone::grey;
  }
  if (saturation > 0.35 && hue >= 190.0 && hue <= 230.0) {
    return Tone::blue;
  }
  if (saturation > 0.5 && hue >= 15.0 && hue <= 45.0) {
    return Tone::orange;
  }
  return Tone::other;
}

const char* toneName(Tone tone) {
  switch (tone) {
    case Tone::blue: return "blue";
    case Tone::orange: return "orange";
    case Tone::grey: return "grey";
    case Tone::other: break;
  }
  return "other";
}

DominantTone dominantTone(const PngImage& image, int top, int height) {
  std::array<int, 4> counts{};
  for (int y = top; y < top + height; ++y) {
    for (int x = 0; x < image.width(); ++x) {
      ++counts[static_cast<std::size_t>(toneOf(image.at(x, y)))];
    }
  }
  const auto best = std::max_element(counts.begin(), counts.end());
  const int total = image.width() * height;
  return {static_cast<Tone>(best - counts.begin()),
          total > 0 ? static_cast<double>(*best) / total : 0.0};
}

std::string resourcePath(int id) {
  return std::string(OVERTONIC_RESOURCES_DIR) + "/" + std::to_string(id) + ".png";
}

}  // namespace artwork_test
