// The drawing context's pixel rules, checked on image surfaces: outlines and fills, line end
// points, the offset rule, clipping, polygons past the local point array, draw modes, fonts and
// text placement, and hostile arguments.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <vector>

#include "gui/DrawContext.h"
#include "tests/gui/PixelPicture.h"

namespace {

constexpr GuiColor kBackground{0x12, 0x34, 0x56, 0};

class Canvas : public ::testing::Test {
 protected:
  std::string show(const GuiRect& area) {
    return picture(surface, area,
                   {{'.', kColorBlack}, {'R', kColorRed}, {'B', kColorBlue}, {'G', kColorGreen}});
  }
  std::int32_t countOf(GuiColor color) {
    std::int32_t count = 0;
    for (std::int32_t y = 0; y < surface.height(); ++y) {
      for (std::int32_t x = 0; x < surface.width(); ++x) count += surface.pixel(x, y) == color;
    }
    return count;
  }

  DrawSurface surface{40, 24};
  DrawContext ctx{nullptr, &surface, nullptr};
};

TEST_F(Canvas, DrawRectThenFillRectFillsExactlyTheInsideOfTheOutline) {
  ctx.setFrameColor(kColorRed);
  ctx.drawRect({1, 1, 6, 5});
  ctx.setFillColor(kColorBlue);
  ctx.fillRect({1, 1, 6, 5});
  EXPECT_EQ(show({0, 0, 8, 7}), rows({"........", ".RRRRRR.", ".RBBBBR.", ".RBBBBR.", ".RBBBBR.",
                                      ".RRRRRR.", "........"}));
}

TEST_F(Canvas, FillRectAloneCoversLeftPlusOneToRightExclusive) {
  ctx.setFillColor(kColorBlue);
  ctx.fillRect({1, 1, 6, 5});
  EXPECT_EQ(inkBounds(surface, kColorBlack), (GuiRect{2, 2, 6, 5}));
  EXPECT_EQ(countOf(kColorBlue), 4 * 3);
}

TEST_F(Canvas, EmptyOrInvertedRectsFillNothing) {
  ctx.setFillColor(kColorBlue);
  for (const GuiRect& rect : {GuiRect{3, 3, 4, 9}, GuiRect{3, 3, 9, 4}, GuiRect{9, 9, 2, 2}}) {
    ctx.fillRect(rect);
  }
  EXPECT_EQ(countOf(kColorBlue), 0);
}

struct LineCase {
  const char* name;
  GuiPoint from;
  GuiPoint to;
  GuiRect lit;  // the pixels the line must light, exactly
};

TEST_F(Canvas, LineToStopsOnePixelShortOfItsEndPoint) {
  const LineCase cases[] = {
      {"rightwards", {2, 3}, {7, 3}, {2, 3, 7, 4}},
      {"leftwards", {7, 3}, {2, 3}, {3, 3, 8, 4}},
      {"downwards", {4, 1}, {4, 6}, {4, 1, 5, 6}},
      {"upwards", {4, 6}, {4, 1}, {4, 2, 5, 7}},
  };
  for (const LineCase& c : cases) {
    DrawSurface target(12, 10);
    DrawContext line(nullptr, &target, nullptr);
    line.setFrameColor(kColorRed);
    line.moveTo(c.from);
    line.lineTo(c.to);
    EXPECT_EQ(inkBounds(target, kColorBlack), c.lit) << c.name;
    EXPECT_EQ(target.pixel(c.to.h, c.to.v), kColorBlack) << c.name << ": end point painted";
    EXPECT_EQ(target.pixel(c.from.h, c.from.v), kColorRed) << c.name << ": start point missing";
  }
}

TEST_F(Canvas, DiagonalLineLightsOnePixelPerStepWithoutTheEndPoint) {
  ctx.setFrameColor(kColorRed);
  ctx.moveTo({0, 0});
  ctx.lineTo({4, 4});
  EXPECT_EQ(show({0, 0, 5, 5}), rows({"R....", ".R...", "..R..", "...R.", "....."}));
}

TEST_F(Canvas, ConnectedLinesCloseTheirCorners) {
  ctx.setFrameColor(kColorRed);
  ctx.moveTo({1, 1});
  ctx.lineTo({5, 1});
  ctx.lineTo({5, 4});
  EXPECT_EQ(show({0, 0, 7, 5}), rows({".......", ".RRRRR.", ".....R.", ".....R.", "......."}));
}

TEST_F(Canvas, DottedLinesPaintEveryOtherPixelAcrossSegments) {
  ctx.setFrameColor(kColorRed);
  ctx.setLineStyle(LineStyle::dotted);
  ctx.moveTo({0, 0});
  ctx.lineTo({5, 0});
  ctx.lineTo({5, 4});
  EXPECT_EQ(show({0, 0, 6, 4}), rows({"R.R.R.", ".....R", "......", ".....R"}));
}

TEST_F(Canvas, WideLinesCoverTheirWidthAroundThePixelCentres) {
  ctx.setFrameColor(kColorRed);
  ctx.setLineWidth(3);
  ctx.moveTo({5, 10});
  ctx.lineTo({20, 10});
  const GuiRect ink = inkBounds(surface, kColorBlack);
  EXPECT_EQ(ink.top, 9);
  EXPECT_EQ(ink.bottom, 12);
  EXPECT_EQ(surface.pixel(12, 9), kColorRed);
  EXPECT_EQ(surface.pixel(12, 11), kColorRed);
}

TEST_F(Canvas, DrawPointSetsExactlyOnePixel) {
  ctx.drawPoint({3, 2}, kColorGreen);
  EXPECT_EQ(countOf(kColorGreen), 1);
  EXPECT_EQ(surface.pixel(3, 2), kColorGreen);
}

// A drawing made with the offset must equal the same drawing made at shifted coordinates.
struct Primitive {
  const char* name;
  std::function<void(DrawContext&, GuiPoint)> draw;
};

GuiPoint at(std::int32_t h, std::int32_t v, GuiPoint shift) {
  return GuiPoint{h, v}.offsetBy(shift);
}
GuiRect box(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b, GuiPoint shift) {
  return GuiRect{l, t, r, b}.offsetBy(shift);
}

std::vector<Primitive> primitives() {
  return {
      {"lineTo",
       [](DrawContext& c, GuiPoint s) {
         c.moveTo(at(2, 2, s));
         c.lineTo(at(9, 6, s));
       }},
      {"polyLine",
       [](DrawContext& c, GuiPoint s) {
         const GuiPoint p[] = {at(1, 1, s), at(8, 1, s), at(8, 7, s)};
         c.polyLine(p, 3);
       }},
      {"fillPolygon",
       [](DrawContext& c, GuiPoint s) {
         const GuiPoint p[] = {at(1, 1, s), at(9, 2, s), at(4, 8, s)};
         c.fillPolygon(p, 3);
       }},
      {"drawRect", [](DrawContext& c, GuiPoint s) { c.drawRect(box(1, 1, 7, 6, s)); }},
      {"fillRect", [](DrawContext& c, GuiPoint s) { c.fillRect(box(1, 1, 7, 6, s)); }},
      {"drawEllipse", [](DrawContext& c, GuiPoint s) { c.drawEllipse(box(1, 1, 10, 7, s)); }},
      {"fillEllipse", [](DrawContext& c, GuiPoint s) { c.fillEllipse(box(1, 1, 10, 7, s)); }},
      {"drawArc", [](DrawContext& c,
                     GuiPoint s) { c.drawArc(box(1, 1, 10, 8, s), at(10, 4, s), at(1, 4, s)); }},
      {"fillArc", [](DrawContext& c,
                     GuiPoint s) { c.fillArc(box(1, 1, 10, 8, s), at(1, 1, s), at(10, 8, s)); }},
      {"drawPoint", [](DrawContext& c, GuiPoint s) { c.drawPoint(at(4, 3, s), kColorGreen); }},
      {"drawString", [](DrawContext& c, GuiPoint s) { c.drawString("Ab", box(0, 0, 20, 12, s)); }},
      {"wide arc",
       [](DrawContext& c, GuiPoint s) {
         c.setLineWidth(2);
         c.drawArc(box(1, 1, 14, 10, s), at(14, 5, s), at(1, 1, s));
       }},
      {"wide line",
       [](DrawContext& c, GuiPoint s) {
         c.setLineWidth(3);
         c.moveTo(at(2, 3, s));
         c.lineTo(at(12, 7, s));
       }},
  };
}

TEST(DrawContextOffset, IsAddedExactlyOnceToEveryPrimitive) {
  const GuiPoint shift{5, 3};
  for (const Primitive& primitive : primitives()) {
    DrawSurface withOffset(30, 20);
    DrawSurface shifted(30, 20);
    DrawSurface unshifted(30, 20);
    {
      DrawContext c(nullptr, &withOffset, nullptr);
      c.setFillColor(kColorBlue);
      c.setOffset(shift);
      primitive.draw(c, {});
    }
    {
      DrawContext c(nullptr, &shifted, nullptr);
      c.setFillColor(kColorBlue);
      primitive.draw(c, shift);
    }
    {
      DrawContext c(nullptr, &unshifted, nullptr);
      c.setFillColor(kColorBlue);
      primitive.draw(c, {});
    }
    EXPECT_FALSE(inkBounds(shifted, kColorBlack).isEmpty()) << primitive.name << " drew nothing";
    EXPECT_TRUE(samePixels(withOffset, shifted))
        << primitive.name << ": drawn with offset at " << inkBounds(withOffset, kColorBlack).left
        << "," << inkBounds(withOffset, kColorBlack).top << ", expected at "
        << inkBounds(shifted, kColorBlack).left << "," << inkBounds(shifted, kColorBlack).top;
    EXPECT_FALSE(samePixels(withOffset, unshifted)) << primitive.name << ": offset ignored";
  }
}

TEST_F(Canvas, OffsetDoesNotMoveTheClipRect) {
  ctx.setOffset({3, 2});
  ctx.setClipRect({0, 0, 8, 6});
  ctx.setFillColor(kColorBlue);
  ctx.fillRect({-10, -10, 30, 30});
  EXPECT_EQ(inkBounds(surface, kColorBlack), (GuiRect{0, 0, 8, 6}));
}

TEST_F(Canvas, ClipRectLimitsEveryPrimitiveToExactlyItsPixels) {
  ctx.setClipRect({2, 2, 6, 5});
  ctx.setFillColor(kColorBlue);
  ctx.setFrameColor(kColorRed);
  ctx.fillRect({-1, -1, 40, 24});
  ctx.moveTo({0, 3});
  ctx.lineTo({39, 3});
  ctx.drawPoint({1, 1}, kColorGreen);
  ctx.drawString("Wide text far outside", {0, 0, 40, 24});
  EXPECT_EQ(show({0, 0, 8, 7}), rows({"........", "........", "..BBBB..", "..RRRR..", "..BBBB..",
                                      "........", "........"}));
}

TEST_F(Canvas, ResetClipRectWithoutFrameClipsToThousandSquare) {
  ctx.setClipRect({2, 2, 6, 5});
  ctx.resetClipRect();
  EXPECT_EQ(ctx.getClipRect(), DrawContext::kNoFrameClip);
  ctx.setFillColor(kColorBlue);
  ctx.fillRect({-1, -1, 40, 24});
  EXPECT_EQ(countOf(kColorBlue), 40 * 24);
}

TEST(DrawContextClip, ResetClipRectWithFrameClipsToTheFrameSize) {
  int frameStandIn = 0;  // the context never looks inside its frame
  auto* frame = reinterpret_cast<GuiFrame*>(&frameStandIn);
  DrawSurface surface(20, 20);
  DrawContext ctx(frame, &surface, nullptr, {0, 0, 10, 8});
  EXPECT_EQ(ctx.getClipRect(), (GuiRect{0, 0, 10, 8}));
  ctx.setClipRect({1, 1, 3, 3});
  ctx.resetClipRect();
  ctx.setFillColor(kColorBlue);
  ctx.fillRect({-1, -1, 20, 20});
  EXPECT_EQ(inkBounds(surface, kColorBlack), (GuiRect{0, 0, 10, 8}));
}

// Points spread along the outline of `rect`, corners included.
std::vector<GuiPoint> outlinePoints(const GuiRect& rect, int count) {
  std::vector<GuiPoint> points{{rect.left, rect.top},
                               {rect.right, rect.top},
                               {rect.right, rect.bottom},
                               {rect.left, rect.bottom}};
  // Extra points along the bottom edge, running back toward the first corner.
  for (int i = 1; static_cast<int>(points.size()) < count; ++i) {
    points.push_back({rect.left, rect.bottom - (i % (rect.height() - 1)) - 1});
  }
  return points;
}

TEST_F(Canvas, PolygonsBeyondThirtyPointsFillLikeShortOnes) {
  for (int count : {4, 30, 31, 200}) {
    DrawSurface target(20, 16);
    DrawContext poly(nullptr, &target, nullptr);
    poly.setFillColor(kColorBlue);
    const std::vector<GuiPoint> points = outlinePoints({2, 2, 12, 9}, count);
    ASSERT_EQ(static_cast<int>(points.size()), count);
    poly.fillPolygon(points.data(), count);
    EXPECT_EQ(inkBounds(target, kColorBlack), (GuiRect{2, 2, 12, 9})) << count << " points";
  }
}

TEST_F(Canvas, PolyLineOfThirtyOnePointsDrawsEverySegment) {
  std::vector<GuiPoint> points;
  for (int i = 0; i < 31; ++i) points.push_back({i, 5});
  ctx.setFrameColor(kColorRed);
  ctx.polyLine(points.data(), 31);
  EXPECT_EQ(inkBounds(surface, kColorBlack), (GuiRect{0, 5, 30, 6}));
  EXPECT_EQ(countOf(kColorRed), 30);
}

TEST_F(Canvas, EllipseOutlineTouchesAllFourSidesAndFillStaysInside) {
  ctx.setFrameColor(kColorRed);
  ctx.drawEllipse({2, 3, 17, 12});
  EXPECT_EQ(inkBounds(surface, kColorBlack), (GuiRect{2, 3, 18, 13}));
  DrawSurface filled(40, 24);
  DrawContext fill(nullptr, &filled, nullptr);
  fill.setFillColor(kColorBlue);
  fill.fillEllipse({2, 3, 17, 12});
  EXPECT_EQ(inkBounds(filled, kColorBlack), (GuiRect{3, 4, 17, 12}));
}

TEST_F(Canvas, EllipseOutlineIsClosedAndMirrorSymmetric) {
  const GuiRect rect{1, 1, 20, 15};
  ctx.setFrameColor(kColorRed);
  ctx.drawEllipse(rect);
  for (std::int32_t y = rect.top; y <= rect.bottom; ++y) {
    std::int32_t lit = 0;
    for (std::int32_t x = rect.left; x <= rect.right; ++x) {
      const std::int32_t mirrorX = rect.left + rect.right - x;
      const std::int32_t mirrorY = rect.top + rect.bottom - y;
      EXPECT_EQ(surface.pixel(x, y), surface.pixel(mirrorX, y)) << x << "," << y;
      EXPECT_EQ(surface.pixel(x, y), surface.pixel(x, mirrorY)) << x << "," << y;
      lit += surface.pixel(x, y) == kColorRed;
    }
    EXPECT_GE(lit, 1) << "gap in row " << y;
  }
  // The middle row holds only the two side pixels: the outline is one pixel thick there.
  EXPECT_EQ(show({1, 8, 21, 9}), rows({"R..................R"}));
}

TEST_F(Canvas, ArcRunsCounterClockwiseFromTheFirstRayToTheSecond) {
  // Box (0,0)-(11,11) exclusive: centre pixel (5, 5). Right ray to top ray: the upper right.
  ctx.setFrameColor(kColorRed);
  ctx.drawArc({0, 0, 10, 10}, {10, 5}, {5, 0});
  EXPECT_EQ(inkBounds(surface, kColorBlack), (GuiRect{5, 0, 11, 6}));

  DrawSurface longWay(40, 24);
  DrawContext other(nullptr, &longWay, nullptr);
  other.setFrameColor(kColorRed);
  other.drawArc({0, 0, 10, 10}, {5, 0}, {10, 5});  // three quarters
  EXPECT_EQ(inkBounds(longWay, kColorBlack), (GuiRect{0, 0, 11, 11}));
  EXPECT_EQ(longWay.pixel(8, 1), kColorBlack) << "the upper right quarter is not swept";
}

TEST_F(Canvas, ArcWithEqualRaysIsTheWholeEllipse) {
  DrawSurface whole(40, 24);
  DrawContext ellipse(nullptr, &whole, nullptr);
  ellipse.setFrameColor(kColorRed);
  ellipse.drawEllipse({0, 0, 10, 10});
  ctx.setFrameColor(kColorRed);
  ctx.drawArc({0, 0, 10, 10}, {10, 5}, {10, 5});
  EXPECT_TRUE(samePixels(surface, whole));
  EXPECT_EQ(inkBounds(whole, kColorBlack), (GuiRect{0, 0, 11, 11}));
}

TEST_F(Canvas, FilledEllipseFillsTheInsideOfItsOutlineExactly) {
  const GuiRect rect{2, 2, 30, 20};
  ctx.setFillColor(kColorBlue);
  ctx.fillEllipse(rect);
  ctx.setFrameColor(kColorRed);
  ctx.drawEllipse(rect);
  // In every row: nothing blue outside the outermost outline pixels, nothing black between them.
  for (std::int32_t y = 0; y < 24; ++y) {
    std::int32_t first = -1;
    std::int32_t last = -1;
    for (std::int32_t x = 0; x < 40; ++x) {
      if (surface.pixel(x, y) != kColorRed) continue;
      if (first < 0) first = x;
      last = x;
    }
    for (std::int32_t x = 0; x < 40; ++x) {
      const GuiColor pixel = surface.pixel(x, y);
      if (x < first || x > last) {
        ASSERT_EQ(pixel, kColorBlack) << "fill outside the outline at " << x << "," << y;
      } else {
        ASSERT_NE(pixel, kColorBlack) << "gap between fill and outline at " << x << "," << y;
      }
    }
  }
}

TEST_F(Canvas, PieFillsTheSweptSectorInsideTheArcOutline) {
  // Same box as drawArc's, (0,0)-(11,11) exclusive, centre pixel (5, 5); the outline ring is
  // not filled.
  ctx.setFillColor(kColorBlue);
  ctx.fillArc({0, 0, 10, 10}, {10, 5}, {5, 0});
  EXPECT_EQ(inkBounds(surface, kColorBlack), (GuiRect{5, 1, 10, 6}));
  const std::int32_t pie = countOf(kColorBlue);
  ctx.setFrameColor(kColorRed);
  ctx.drawArc({0, 0, 10, 10}, {10, 5}, {5, 0});
  EXPECT_EQ(countOf(kColorBlue), pie) << "the outline covers part of the pie";
  EXPECT_EQ(surface.pixel(9, 5), kColorBlue);
  EXPECT_EQ(surface.pixel(10, 5), kColorRed) << "pie and outline meet without a gap";
}

struct ModeCase {
  const char* name;
  DrawMode mode;
  GuiColor expected;
};

TEST_F(Canvas, OrAndXorModesCombinePenAndBrushBitwiseWithThePixels) {
  constexpr GuiColor kPen{0x0F, 0xF0, 0x01, 0};
  const ModeCase cases[] = {
      {"copy", DrawMode::copy, kPen},
      {"or", DrawMode::orMode, {0x1F, 0xF4, 0x57, 0}},
      {"xor (inverted)", DrawMode::xorMode, {0xE2, 0x3B, 0xA8, 0}},
      {"unknown mode is copy", static_cast<DrawMode>(7), kPen},
  };
  for (const ModeCase& c : cases) {
    DrawSurface target(12, 8);
    DrawContext mode(nullptr, &target, nullptr);
    mode.setFillColor(kBackground);
    mode.fillRect({-1, -1, 12, 8});
    mode.setDrawMode(c.mode);
    mode.setFrameColor(kPen);
    mode.setFillColor(kPen);
    mode.moveTo({1, 1});
    mode.lineTo({5, 1});
    mode.fillRect({1, 3, 4, 6});
    EXPECT_EQ(target.pixel(1, 1), c.expected) << c.name << ": pen";
    EXPECT_EQ(target.pixel(4, 1), c.expected) << c.name << ": pen";
    EXPECT_EQ(target.pixel(5, 1), kBackground) << c.name << ": line end";
    EXPECT_EQ(target.pixel(2, 4), c.expected) << c.name << ": brush";
    EXPECT_EQ(target.pixel(8, 6), kBackground) << c.name << ": untouched pixel";
  }
}

TEST_F(Canvas, XorDrawnTwiceRestoresThePixels) {
  ctx.setFillColor(kBackground);
  ctx.fillRect({-1, -1, 40, 24});
  ctx.setDrawMode(DrawMode::xorMode);
  ctx.setFillColor(kColorMagenta);
  for (int pass = 0; pass < 2; ++pass) ctx.fillEllipse({2, 2, 20, 15});
  EXPECT_EQ(inkBounds(surface, kBackground), GuiRect{});
}

TEST_F(Canvas, PointsIgnoreTheDrawMode) {
  ctx.setDrawMode(DrawMode::orMode);
  ctx.drawPoint({2, 2}, kColorRed);
  ctx.drawPoint({2, 2}, kColorGreen);
  EXPECT_EQ(surface.pixel(2, 2), kColorGreen);
}

TEST_F(Canvas, ContextStartsWithTheDesignedPenBrushAndFontColours) {
  EXPECT_EQ(ctx.getFrameColor(), kColorWhite);
  EXPECT_EQ(ctx.getFillColor(), kColorBlack);
  EXPECT_EQ(ctx.getFontColor(), kColorWhite);
  EXPECT_EQ(ctx.getLineWidth(), 1);
  EXPECT_EQ(ctx.getLineStyle(), LineStyle::solid);
  EXPECT_EQ(ctx.getDrawMode(), DrawMode::copy);
  EXPECT_EQ(ctx.getClipRect(), DrawContext::kNoFrameClip);
  EXPECT_EQ(ctx.getOffset(), (GuiPoint{0, 0}));
}

TEST(DrawContextFont, UnknownIdFallsBackToTheBoldSystemFont) {
  DrawContext ctx(nullptr, nullptr, nullptr);
  ctx.setFont(static_cast<FontId>(9));
  EXPECT_EQ(ctx.getFontId(), FontId::system);
  EXPECT_STREQ(ctx.getFont().face, "Arial");
  EXPECT_EQ(ctx.getFontSize(), 12);
  EXPECT_EQ(ctx.getFont().weight, kFontWeightBold);
}

TEST(DrawContextFont, SizeZeroTakesTheTableSize) {
  DrawContext ctx(nullptr, nullptr, nullptr);
  ctx.setFont(FontId::symbol, 0);
  EXPECT_STREQ(ctx.getFont().face, "Symbol");
  EXPECT_EQ(ctx.getFontSize(), 13);
}

TEST(DrawContextFont, UnknownIdMeasuresLikeFontZero) {
  DrawContext ctx(nullptr, nullptr, nullptr);
  ctx.setFont(FontId::system);
  const std::int32_t systemWidth = ctx.getStringWidth("Oscillator 12");
  ctx.setFont(FontId::normal);
  const std::int32_t normalWidth = ctx.getStringWidth("Oscillator 12");
  ctx.setFont(static_cast<FontId>(9));
  EXPECT_EQ(ctx.getStringWidth("Oscillator 12"), systemWidth);
  EXPECT_GT(systemWidth, normalWidth) << "font 0 is bold, font 3 the same size but normal";
  ctx.setFont(FontId::veryBig);
  EXPECT_GT(ctx.getStringWidth("Oscillator 12"), systemWidth);
  EXPECT_EQ(ctx.getStringWidth(""), 0);
  EXPECT_EQ(ctx.getStringWidth(nullptr), 0);
}

struct AlignCase {
  TextAlign align;
  const char* name;
};

TEST(DrawContextText, AlignsLeftCentreAndRightInsideTheRect) {
  const GuiRect rect{10, 2, 70, 18};
  const char* text = "Hx";
  std::int32_t width = 0;
  GuiRect ink[3];
  const AlignCase cases[] = {
      {TextAlign::left, "left"}, {TextAlign::center, "centre"}, {TextAlign::right, "right"}};
  for (int i = 0; i < 3; ++i) {
    DrawSurface surface(80, 20);
    DrawContext ctx(nullptr, &surface, nullptr);
    ctx.setFont(FontId::normal);
    ctx.drawString(text, rect, false, cases[i].align);
    width = ctx.getStringWidth(text);
    ink[i] = inkBounds(surface, kColorBlack);
    ASSERT_FALSE(ink[i].isEmpty()) << cases[i].name;
    EXPECT_EQ(ink[i].intersect(rect), ink[i]) << cases[i].name << " text leaves its rect";
    const std::int32_t inkMiddle = (ink[i].top + ink[i].bottom) / 2;
    EXPECT_NEAR(inkMiddle, (rect.top + rect.bottom) / 2, 3) << cases[i].name;
  }
  const std::int32_t leftStart = rect.left + 1;
  const std::int32_t centreStart = rect.left + (rect.width() - width) / 2;
  const std::int32_t rightStart = rect.right - width;
  EXPECT_EQ(ink[1].left - ink[0].left, centreStart - leftStart);
  EXPECT_EQ(ink[2].left - ink[0].left, rightStart - leftStart);
  EXPECT_EQ(ink[0].top, ink[2].top);
}

TEST(DrawContextText, OpaqueTextFillsItsCellWithTheFillColour) {
  DrawSurface surface(80, 20);
  DrawContext ctx(nullptr, &surface, nullptr);
  ctx.setFillColor(kColorBlue);
  ctx.setFontColor(kColorWhite);
  ctx.drawString("Delay", {0, 0, 80, 20}, true, TextAlign::left);
  const std::int32_t width = ctx.getStringWidth("Delay");
  std::int32_t blueColumns = 0;
  std::int32_t firstBlue = -1;
  for (std::int32_t x = 0; x < 80; ++x) {
    bool blue = false;
    for (std::int32_t y = 0; y < 20; ++y) blue = blue || surface.pixel(x, y) == kColorBlue;
    blueColumns += blue;
    if (blue && firstBlue < 0) firstBlue = x;
  }
  EXPECT_EQ(blueColumns, width);
  EXPECT_EQ(firstBlue, 1) << "left alignment starts one pixel inside the rect";
}

TEST(DrawContextText, TransparentTextKeepsTheBackground) {
  DrawSurface surface(80, 20);
  DrawContext ctx(nullptr, &surface, nullptr);
  ctx.setFillColor(kColorBlue);
  ctx.drawString("Delay", {0, 0, 80, 20});
  for (std::int32_t y = 0; y < 20; ++y) {
    for (std::int32_t x = 0; x < 80; ++x) ASSERT_NE(surface.pixel(x, y), kColorBlue);
  }
}

TEST(DrawContextText, BytesThatAreNotUtf8AreStillDrawn) {
  DrawSurface surface(80, 20);
  DrawContext ctx(nullptr, &surface, nullptr);
  ctx.drawString("Gr\xfc\xdf", {0, 0, 80, 20});
  ctx.drawString("after", {0, 0, 80, 20});  // the context still works
  EXPECT_FALSE(inkBounds(surface, kColorBlack).isEmpty());
  EXPECT_GT(ctx.getStringWidth("\xff\xfe"), 0);
}

TEST(DrawContextHostile, ExtremeCoordinatesAndCountsNeitherHangNorOverflow) {
  DrawSurface surface(16, 12);
  DrawContext ctx(nullptr, &surface, nullptr);
  ctx.setFrameColor(kColorRed);
  ctx.setFillColor(kColorBlue);
  ctx.setOffset({INT_MAX, INT_MIN});
  ctx.moveTo({INT_MAX, INT_MAX});
  ctx.lineTo({INT_MIN, INT_MIN});
  ctx.drawEllipse({INT_MIN, INT_MIN, INT_MAX, INT_MAX});
  ctx.fillArc({INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {INT_MAX, 0}, {0, INT_MIN});
  ctx.drawString("x", {INT_MIN, INT_MIN, INT_MAX, INT_MAX});
  ctx.setOffset({0, 0});
  ctx.moveTo({INT_MIN, 5});
  ctx.lineTo({INT_MAX, 5});
  for (std::int32_t x = 0; x < 16; ++x) ASSERT_EQ(surface.pixel(x, 5), kColorRed) << x;
  ctx.fillRect({INT_MIN, INT_MIN, INT_MAX, INT_MAX});
  EXPECT_EQ(inkBounds(surface, kColorBlue), GuiRect{});
  const GuiPoint far[] = {{INT_MIN, INT_MIN}, {INT_MAX, INT_MIN}, {0, INT_MAX}};
  ctx.setFillColor(kColorGreen);
  ctx.fillPolygon(far, 3);
  ctx.setLineWidth(INT_MAX);
  ctx.polyLine(far, 3);
}

TEST(DrawContextHostile, NullAndNegativeArgumentsDrawNothing) {
  DrawSurface surface(16, 12);
  DrawContext ctx(nullptr, &surface, nullptr);
  const GuiPoint points[] = {{1, 1}, {9, 1}, {9, 9}};
  ctx.polyLine(nullptr, 3);
  ctx.polyLine(points, -1);
  ctx.polyLine(points, 1);
  ctx.fillPolygon(nullptr, 3);
  ctx.fillPolygon(points, 2);
  ctx.drawString(nullptr, {0, 0, 16, 12});
  ctx.setLineWidth(-4);
  ctx.setLineStyle(static_cast<LineStyle>(42));
  ctx.setFont(static_cast<FontId>(-3), INT_MIN, -1);
  EXPECT_EQ(ctx.getFontSize(), kMaxFontSize);
  EXPECT_EQ(ctx.getLineStyle(), LineStyle::solid);
  EXPECT_EQ(inkBounds(surface, kColorBlack), GuiRect{});
  ctx.setFrameColor(kColorRed);
  ctx.moveTo({1, 1});
  ctx.lineTo({4, 1});
  EXPECT_EQ(surface.pixel(2, 1), kColorRed) << "a pen width below 1 draws one pixel wide";
}

TEST(DrawContextHostile, ContextWithoutSurfaceMeasuresButPaintsNothing) {
  DrawContext ctx(nullptr, nullptr, nullptr);
  ctx.fillRect({0, 0, 100, 100});
  ctx.drawString("text", {0, 0, 100, 20});
  ctx.drawEllipse({0, 0, 50, 50});
  EXPECT_GT(ctx.getStringWidth("text"), 0);
  EXPECT_EQ(ctx.queryMouseButtons(), 0);
  GuiPoint where{7, 7};
  ctx.queryMouseLocation(where);
  EXPECT_EQ(where, (GuiPoint{0, 0}));
  EXPECT_FALSE(ctx.awaitSecondClick());
  const WriteResult written = ctx.writePng("/tmp/never-written.png");
  EXPECT_FALSE(written.ok);
  EXPECT_FALSE(written.message.empty());
}

}  // namespace
