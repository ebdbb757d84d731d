// Lines and points written straight into the surface's memory against the same drawing filled
// through cairo: over a table of lines (every direction, lengths 0 and 1, clip edges, surface
// edges, offsets, dotted pens, huge coordinates) and points, on 24- and 32-bit surfaces that
// already hold a pattern, the two ways must leave every 32-bit word the same and show the same
// area on the window.
#include <gtest/gtest.h>

#include <cairo.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui/DrawContext.h"
#include "gui/Raster.h"
#include "gui/platform/PlatformWindow.h"

namespace {

constexpr std::int32_t kWidth = 64;
constexpr std::int32_t kHeight = 48;

// Records the areas a context shows on its window.
class RecordingWindow final : public PlatformWindow {
 public:
  GuiPoint origin() override { return {}; }
  void present(cairo_surface_t*, const GuiRect& area) override { presented.push_back(area); }
  std::int32_t mouseButtons() override { return 0; }
  GuiPoint pointerPosition() override { return {}; }
  bool awaitSecondClick() override { return false; }
  std::vector<GuiRect> presented;
};

std::uint32_t* wordsOf(DrawSurface& surface, std::int32_t y) {
  cairo_surface_t* s = surface.cairoSurface();
  return reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(s) +
                                          std::ptrdiff_t{y} * cairo_image_surface_get_stride(s));
}

// A surface of the given format holding a pattern in every byte, so that a write of the wrong
// pixel, or of the right pixel with another fourth byte, shows. 32-bit pixels stay opaque.
std::unique_ptr<DrawSurface> patterned(cairo_format_t format) {
  auto surface = std::make_unique<DrawSurface>(cairo_image_surface_create(format, kWidth, kHeight));
  cairo_surface_flush(surface->cairoSurface());
  for (std::int32_t y = 0; y < kHeight; ++y) {
    std::uint32_t* row = wordsOf(*surface, y);
    for (std::int32_t x = 0; x < kWidth; ++x) {
      const auto seed = static_cast<std::uint32_t>(x * 7 + y * 13);
      const std::uint32_t high = format == CAIRO_FORMAT_ARGB32 ? 0xFFu : (seed * 29u) & 0xFFu;
      row[x] =
          (high << 24) | ((seed * 3u & 0xFFu) << 16) | ((seed * 5u & 0xFFu) << 8) | (seed & 0xFFu);
    }
  }
  cairo_surface_mark_dirty(surface->cairoSurface());
  return surface;
}

// The first differing word as text, or empty when the surfaces are the same.
std::string firstDifference(DrawSurface& a, DrawSurface& b) {
  for (std::int32_t y = 0; y < kHeight; ++y) {
    const std::uint32_t* ra = wordsOf(a, y);
    const std::uint32_t* rb = wordsOf(b, y);
    for (std::int32_t x = 0; x < kWidth; ++x) {
      if (ra[x] == rb[x]) continue;
      char text[96];
      std::snprintf(text, sizeof text, "(%d, %d): direct %08X, through cairo %08X", x, y, ra[x],
                    rb[x]);
      return text;
    }
  }
  return {};
}

std::int32_t changedWords(DrawSurface& drawn, DrawSurface& untouched) {
  std::int32_t count = 0;
  for (std::int32_t y = 0; y < kHeight; ++y) {
    for (std::int32_t x = 0; x < kWidth; ++x)
      count += wordsOf(drawn, y)[x] != wordsOf(untouched, y)[x];
  }
  return count;
}

struct Setup {
  GuiPoint offset{};
  std::optional<GuiRect> clip;
  LineStyle style = LineStyle::solid;
  DrawMode mode = DrawMode::copy;
  std::int32_t width = 1;
  GuiColor color{0xC8, 0x37, 0x05, 0};

  Setup shiftedBy(GuiPoint by) const {
    return with([by](Setup& s) { s.offset = by; });
  }
  Setup clippedTo(GuiRect to) const {
    return with([to](Setup& s) { s.clip = to; });
  }
  Setup dotted() const {
    return with([](Setup& s) { s.style = LineStyle::dotted; });
  }
  Setup inMode(DrawMode m) const {
    return with([m](Setup& s) { s.mode = m; });
  }
  Setup wide(std::int32_t w) const {
    return with([w](Setup& s) { s.width = w; });
  }
  Setup coloured(GuiColor c) const {
    return with([c](Setup& s) { s.color = c; });
  }

 private:
  template <class Change>
  Setup with(Change change) const {
    Setup copy = *this;
    change(copy);
    return copy;
  }
};

struct DrawCase {
  std::string name;
  Setup setup;
  std::function<void(DrawContext&)> draw;
};

DrawCase line(std::string name, GuiPoint from, GuiPoint to, Setup setup = {}) {
  return {std::move(name), setup, [from, to](DrawContext& c) {
            c.moveTo(from);
            c.lineTo(to);
          }};
}

std::vector<DrawCase> cases() {
  constexpr GuiRect kClip{10, 8, 40, 30};
  constexpr std::int32_t kFar = kRasterLimit;
  std::vector<DrawCase> table;
  // The eight octants, the four axes and the four diagonals, each way.
  const GuiPoint centre{31, 23};
  const GuiPoint ends[] = {{55, 23}, {7, 23},  {31, 45}, {31, 2}, {50, 42}, {12, 4},
                           {50, 4},  {12, 42}, {58, 30}, {4, 16}, {58, 16}, {4, 30},
                           {38, 46}, {24, 0},  {24, 46}, {38, 0}};
  for (const GuiPoint& end : ends) {
    const std::string to = std::to_string(end.h) + "," + std::to_string(end.v);
    table.push_back(line("centre to " + to, centre, end));
    table.push_back(line(to + " to centre", end, centre));
    table.push_back(line("clipped, centre to " + to, centre, end, Setup().clippedTo(kClip)));
    table.push_back(line("dotted, " + to + " to centre", end, centre, Setup().dotted()));
  }
  // Degenerate lines and the end-point rule.
  table.push_back(line("no length", {5, 5}, {5, 5}));
  table.push_back(line("one pixel right", {5, 5}, {6, 5}));
  table.push_back(line("one pixel up", {5, 5}, {5, 4}));
  table.push_back(line("one pixel diagonal", {5, 5}, {4, 6}));
  // Along and across the clip's edges and the surface's edges.
  table.push_back(line("on the clip's left column", {10, 0}, {10, 47}, Setup().clippedTo(kClip)));
  table.push_back(line("left of the clip", {9, 0}, {9, 47}, Setup().clippedTo(kClip)));
  table.push_back(line("on the clip's last column", {39, 47}, {39, 0}, Setup().clippedTo(kClip)));
  table.push_back(line("right of the clip", {40, 0}, {40, 47}, Setup().clippedTo(kClip)));
  table.push_back(line("on the clip's top row", {0, 8}, {63, 8}, Setup().clippedTo(kClip)));
  table.push_back(line("on the clip's last row", {63, 29}, {0, 29}, Setup().clippedTo(kClip)));
  table.push_back(line("below the clip", {0, 30}, {63, 30}, Setup().clippedTo(kClip)));
  table.push_back(
      line("into the clip, ending on its edge", {0, 20}, {10, 20}, Setup().clippedTo(kClip)));
  table.push_back(line("out of the clip", {20, 20}, {63, 35}, Setup().clippedTo(kClip)));
  table.push_back(
      line("empty clip", {0, 20}, {63, 20}, Setup().clippedTo(GuiRect{20, 20, 20, 30})));
  table.push_back(
      line("inverted clip", {0, 20}, {63, 20}, Setup().clippedTo(GuiRect{30, 30, 20, 10})));
  table.push_back(line("clip larger than the surface", {-9, 47}, {80, 47},
                       Setup().clippedTo(GuiRect{-50, -50, 500, 500})));
  table.push_back(line("surface's right column", {63, -5}, {63, 60}));
  table.push_back(line("just off the surface", {64, -5}, {64, 60}));
  table.push_back(line("surface's bottom row", {70, 47}, {-7, 47}));
  table.push_back(line("above the surface", {0, -1}, {63, -1}));
  table.push_back(line("steep, through the surface", {-3, -90}, {70, 130}));
  // Offsets, the clip staying where it is.
  table.push_back(line("with an offset", {2, 2}, {30, 17}, Setup().shiftedBy({7, -1})));
  table.push_back(line("offset onto the clip's edge", {0, 0}, {20, 0},
                       Setup().shiftedBy({5, 8}).clippedTo(kClip)));
  table.push_back(line("negative offset", {40, 40}, {10, 41}, Setup().shiftedBy({-9, -4})));
  table.push_back(line("saturating offset", {5, 5}, {INT_MIN, 5}, Setup().shiftedBy({INT_MAX, 0})));
  // Huge coordinates: clamped into the rasteriser's range, cut to the visible pixels.
  table.push_back(line("whole int range, row", {INT_MIN, 7}, {INT_MAX, 7}));
  table.push_back(line("whole int range, column", {9, INT_MAX}, {9, INT_MIN}));
  table.push_back(line("whole int range, diagonal", {INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}));
  table.push_back(line("far shallow", {-kFar, 3}, {kFar, 40}));
  table.push_back(line("far steep", {3, -kFar}, {60, kFar}));
  table.push_back(line("just past the rasteriser's range", {-kFar - 1, 30}, {kFar + 1, 2}));
  table.push_back(line("far, dotted", {-kFar + 1, 11}, {kFar, 11}, Setup().dotted()));
  table.push_back(line("far, outside everything", {-kFar, -kFar}, {-kFar, kFar}));
  // Pens and modes the direct way must leave to cairo, and widths below one (one pixel).
  table.push_back(line("or mode", {3, 3}, {60, 40}, Setup().inMode(DrawMode::orMode)));
  table.push_back(line("xor mode", {3, 40}, {60, 3}, Setup().inMode(DrawMode::xorMode)));
  table.push_back(line("wide pen", {3, 20}, {60, 24}, Setup().wide(3)));
  table.push_back(line("pen width 0", {3, 20}, {60, 24}, Setup().wide(0)));
  table.push_back(line("negative pen width", {60, 20}, {3, 44}, Setup().wide(-2)));
  // Colours at the ends of each channel.
  for (const GuiColor color :
       {kColorBlack, kColorWhite, GuiColor{1, 2, 3, 0}, GuiColor{254, 128, 127, 9}}) {
    table.push_back(
        line("colour " + std::to_string(color.red), {0, 12}, {63, 13}, Setup().coloured(color)));
  }
  // Connected segments share the dotted pattern and the current position.
  table.push_back({"polyline", {}, [](DrawContext& c) {
                     const GuiPoint p[] = {{2, 2}, {50, 2}, {50, 40}, {2, 20}, {2, 2}};
                     c.polyLine(p, 5);
                   }});
  table.push_back({"dotted lines in a row", Setup().dotted(), [](DrawContext& c) {
                     c.moveTo({3, 3});
                     c.lineTo({20, 3});
                     c.lineTo({20, 30});
                     c.lineTo({5, 44});
                   }});
  table.push_back({"rect outline", Setup().clippedTo(kClip), [](DrawContext& c) {
                     c.drawRect({5, 5, 35, 25});
                   }});
  table.push_back({"inverted rect outline", {}, [](DrawContext& c) {
                     c.drawRect({35, 25, 5, 5});
                   }});
  // Points: inside, on and off the clip and the surface, any draw mode.
  table.push_back({"points", Setup().shiftedBy({1, 2}).clippedTo(kClip), [](DrawContext& c) {
                     for (const GuiPoint p :
                          {GuiPoint{20, 10}, GuiPoint{9, 6}, GuiPoint{8, 6}, GuiPoint{38, 27},
                           GuiPoint{39, 27}, GuiPoint{-1, 0}, GuiPoint{INT_MAX, INT_MAX}}) {
                       c.drawPoint(p, {0x11, 0x22, 0x33, 0});
                     }
                   }});
  table.push_back({"points at the surface's corners", {}, [](DrawContext& c) {
                     for (const GuiPoint p :
                          {GuiPoint{0, 0}, GuiPoint{63, 0}, GuiPoint{0, 47}, GuiPoint{63, 47},
                           GuiPoint{64, 47}, GuiPoint{63, 48}, GuiPoint{INT_MIN, 0}}) {
                       c.drawPoint(p, kColorWhite);
                     }
                   }});
  table.push_back({"points in xor mode", Setup().inMode(DrawMode::xorMode), [](DrawContext& c) {
                     c.drawPoint({30, 30}, kColorRed);
                     c.drawPoint({30, 30}, kColorGreen);
                   }});
  // What the curve editor does: a column and its tip, many times over.
  table.push_back({"columns with tips", Setup().clippedTo(kClip), [](DrawContext& c) {
                     for (std::int32_t x = 0; x < kWidth; ++x) {
                       const std::int32_t tip = 29 - (x * 5) % 31;
                       c.moveTo({x, 29});
                       c.lineTo({x, tip});
                       c.drawPoint({x, tip}, kColorWhite);
                     }
                   }});
  return table;
}

// Draws the case on a patterned surface, the direct way or through cairo.
struct Drawn {
  std::unique_ptr<DrawSurface> surface;
  std::vector<GuiRect> presented;
};

Drawn draw(const DrawCase& c, cairo_format_t format, bool direct) {
  Drawn result{patterned(format), {}};
  RecordingWindow window;
  {
    DrawContext context(nullptr, result.surface.get(), &window);
    context.setDirectPixels(direct);
    context.setOffset(c.setup.offset);
    if (c.setup.clip) context.setClipRect(*c.setup.clip);
    context.setLineStyle(c.setup.style);
    context.setDrawMode(c.setup.mode);
    context.setLineWidth(c.setup.width);
    context.setFrameColor(c.setup.color);
    c.draw(context);
  }
  result.presented = window.presented;
  return result;
}

TEST(DirectPixels, LinesAndPointsWriteExactlyWhatCairoFillsWouldOnEverySurfaceFormat) {
  std::int32_t casesThatPaint = 0;
  for (const cairo_format_t format : {CAIRO_FORMAT_RGB24, CAIRO_FORMAT_ARGB32}) {
    const char* formatName = format == CAIRO_FORMAT_RGB24 ? "24-bit" : "32-bit";
    for (const DrawCase& c : cases()) {
      Drawn direct = draw(c, format, true);
      Drawn general = draw(c, format, false);
      EXPECT_EQ(firstDifference(*direct.surface, *general.surface), "")
          << c.name << " on a " << formatName << " surface";
      ASSERT_EQ(direct.presented.size(), general.presented.size()) << c.name;
      for (std::size_t i = 0; i < direct.presented.size(); ++i) {
        const GuiRect& a = direct.presented[i];
        const GuiRect& b = general.presented[i];
        EXPECT_EQ(a, b) << c.name << ": shown (" << a.left << "," << a.top << ")-(" << a.right
                        << "," << a.bottom << "), through cairo (" << b.left << "," << b.top
                        << ")-(" << b.right << "," << b.bottom << ")";
      }
      const auto untouched = patterned(format);
      casesThatPaint += changedWords(*direct.surface, *untouched) > 0 ? 1 : 0;
    }
  }
  // The table is no comparison of two blank pictures: nearly every case paints something.
  EXPECT_GE(casesThatPaint, 2 * (static_cast<std::int32_t>(cases().size()) - 12));
}

TEST(DirectPixels, TheDirectWayIsTheDefaultAndLeavesOtherFormatsToCairo) {
  DrawContext context(nullptr, nullptr, nullptr);
  EXPECT_TRUE(context.getDirectPixels());
  // An 8-bit surface cannot take the colour words: drawing on it still works, through cairo.
  DrawSurface alphaOnly(cairo_image_surface_create(CAIRO_FORMAT_A8, 16, 8));
  DrawContext onAlpha(nullptr, &alphaOnly, nullptr);
  onAlpha.setFrameColor(kColorRed);
  onAlpha.moveTo({0, 3});
  onAlpha.lineTo({16, 3});
  onAlpha.drawPoint({4, 6}, kColorRed);
  cairo_surface_flush(alphaOnly.cairoSurface());
  const unsigned char* data = cairo_image_surface_get_data(alphaOnly.cairoSurface());
  const int stride = cairo_image_surface_get_stride(alphaOnly.cairoSurface());
  EXPECT_EQ(data[3 * stride + 15], 0xFF) << "the line, at full coverage";
  EXPECT_EQ(data[6 * stride + 4], 0xFF) << "the point";
  EXPECT_EQ(data[6 * stride + 5], 0x00);
}

TEST(DirectPixels, EmptyAndMissingSurfacesTakeLinesAndPointsWithoutWriting) {
  DrawSurface empty(0, 0);
  for (DrawSurface* surface : {&empty, static_cast<DrawSurface*>(nullptr)}) {
    DrawContext context(nullptr, surface, nullptr);
    context.moveTo({INT_MIN, INT_MIN});
    context.lineTo({INT_MAX, INT_MAX});
    context.drawPoint({0, 0}, kColorRed);
    const GuiPoint p[] = {{0, 0}, {10, 0}, {10, 10}};
    context.polyLine(p, 3);
  }
  EXPECT_TRUE(empty.isEmpty());
}

}  // namespace
