// Test helper: a PNG read with cairo into plain RGB pixels, with the colour measures the artwork
// tests share (hue, saturation, tone of a face).
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace artwork_test {

struct Rgb {
  int red;
  int green;
  int blue;

  friend bool operator==(const Rgb&, const Rgb&) = default;
};

std::ostream& operator<<(std::ostream& out, const Rgb& colour);

class PngImage {
 public:
  // Reads the file; nullopt when it is missing or not a PNG.
  [[nodiscard]] static std::optional<PngImage> read(const std::string& path);

  [[nodiscard]] int width() const { return width_; }
  [[nodiscard]] int height() const { return height_; }
  [[nodiscard]] Rgb at(int x, int y) const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels;
};

// Hue in degrees (0-360) and saturation (0-1) of the HSV model.
[[nodiscard]] double hueOf(const Rgb& colour);
[[nodiscard]] double saturationOf(const Rgb& colour);

enum class Tone { blue, orange, grey, other };
[[nodiscard]] Tone toneOf(const Rgb& colour);
[[nodiscard]] const char* toneName(Tone tone);

// The tone most pixels of the rows [top, top + height) have, and the share they have.
struct DominantTone {
  Tone tone;
  double share;
};
[[nodiscard]] DominantTone dominantTone(const PngImage& image, int top, int height);

[[nodiscard]] std::string resourcePath(int id);

}  // namespace artwork_test
