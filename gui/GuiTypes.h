// The toolkit's value types: pixel points and rectangles, colours with the toolkit's colour
// constants, and the small enumerations shared by drawing contexts and controls (line style,
// draw mode, text alignment, font ids and styles, mouse button and modifier bits).
// Header only and free of any platform or drawing library, so every layer may include it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

// Clamps a 64-bit intermediate back into int32 range, so that sums and differences of hostile
// coordinates never overflow.
constexpr std::int32_t saturateToInt32(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

struct GuiPoint {
  std::int32_t h = 0;
  std::int32_t v = 0;

  constexpr GuiPoint offsetBy(GuiPoint delta) const {
    return {saturateToInt32(std::int64_t{h} + delta.h), saturateToInt32(std::int64_t{v} + delta.v)};
  }
  friend constexpr bool operator==(GuiPoint, GuiPoint) = default;
};

// A rectangle in pixels. Its own point test includes left and top and excludes right and bottom.
struct GuiRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;

  constexpr std::int32_t width() const { return saturateToInt32(std::int64_t{right} - left); }
  constexpr std::int32_t height() const { return saturateToInt32(std::int64_t{bottom} - top); }
  constexpr bool isEmpty() const { return right <= left || bottom <= top; }
  constexpr GuiPoint topLeft() const { return {left, top}; }

  constexpr bool pointInside(GuiPoint p) const {
    return left <= p.h && p.h < right && top <= p.v && p.v < bottom;
  }
  constexpr GuiRect offsetBy(GuiPoint delta) const {
    const GuiPoint a = GuiPoint{left, top}.offsetBy(delta);
    const GuiPoint b = GuiPoint{right, bottom}.offsetBy(delta);
    return {a.h, a.v, b.h, b.v};
  }
  // The common part of two rectangles; empty (possibly with right < left) when they do not meet.
  constexpr GuiRect intersect(const GuiRect& o) const {
    return {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
            std::min(bottom, o.bottom)};
  }
  // The smallest rectangle holding both; an empty rectangle contributes nothing.
  constexpr GuiRect unite(const GuiRect& o) const {
    if (o.isEmpty()) return *this;
    if (isEmpty()) return o;
    return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right),
            std::max(bottom, o.bottom)};
  }
  friend constexpr bool operator==(const GuiRect&, const GuiRect&) = default;
};

// Red, green, blue and a spare fourth byte that every operation ignores.
struct GuiColor {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  std::uint8_t unused = 0;

  // The colour as one number: red + green * 256 + blue * 65536.
  constexpr std::uint32_t nativeValue() const {
    return std::uint32_t{red} | (std::uint32_t{green} << 8) | (std::uint32_t{blue} << 16);
  }
  friend constexpr bool operator==(GuiColor a, GuiColor b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
  }
};

inline constexpr GuiColor kColorWhite{255, 255, 255, 0};
inline constexpr GuiColor kColorBlack{0, 0, 0, 0};
inline constexpr GuiColor kColorGrey{127, 127, 127, 0};
inline constexpr GuiColor kColorRed{255, 0, 0, 0};
inline constexpr GuiColor kColorGreen{0, 255, 0, 0};
inline constexpr GuiColor kColorBlue{0, 0, 255, 0};
inline constexpr GuiColor kColorYellow{255, 255, 0, 0};
inline constexpr GuiColor kColorMagenta{255, 0, 255, 0};
inline constexpr GuiColor kColorCyan{0, 255, 255, 0};
// Bitmap pixels of this colour are left out by the keyed bitmap draw.
inline constexpr GuiColor kColorTransparentKey{255, 255, 255, 0};

enum class LineStyle : std::int32_t { solid = 0, dotted = 1 };

// How the pen and brush combine with the pixels below: plain copy, bitwise or, and the
// inverted exclusive or (result = not (pen xor pixel)).
enum class DrawMode : std::int32_t { copy = 0, orMode = 1, xorMode = 2 };

enum class TextAlign : std::int32_t { left = 0, center = 1, right = 2 };

// The eight entries of the toolkit's font table; see FontTable.h for faces and sizes.
enum class FontId : std::int32_t {
  system = 0,
  veryBig = 1,
  big = 2,
  normal = 3,
  small = 4,
  smaller = 5,
  verySmall = 6,
  symbol = 7,
};

// Style bits of setFont.
enum FontStyle : std::int32_t {
  kFontBold = 1 << 0,
  kFontItalic = 1 << 1,
  kFontUnderline = 1 << 2,
};

// Bits of queryMouseButtons: the buttons and modifier keys held at the moment of the query.
enum MouseState : std::int32_t {
  kMouseLeft = 1 << 0,
  kMouseMiddle = 1 << 1,
  kMouseRight = 1 << 2,
  kMouseShift = 1 << 3,
  kMouseControl = 1 << 4,
  kMouseAlt = 1 << 5,
};
