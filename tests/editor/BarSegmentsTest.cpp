// The bars' segment tables: which segments light for a value (read back as pixels), where each
// segment lies and where it ends, and the accepted mouse areas with their values, edge by edge.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "editor/BarSegments.h"
#include "gui/DrawContext.h"
#include "gui/DrawSurface.h"
#include "tests/editor/PanelControlFixture.h"

namespace {

constexpr GuiRect kTall{10, 0, 20, 100};  // a vertical bar 100 pixels tall
constexpr GuiRect kWide{10, 10, 60, 20};  // a horizontal bar 50 pixels wide
constexpr GuiColor kGround = kColorBlue;  // what no segment paints

// The bar drawn for `value` on a blue surface.
struct DrawnBar {
  DrawnBar(const BarLayout& layout, const GuiRect& rect, float value) : surface(80, 110) {
    clearSurface(surface, kGround);
    DrawContext context(nullptr, &surface, nullptr);
    drawBarSegments(context, layout, rect, value);
  }
  DrawSurface surface;
};

// 'L' lit, 'D' dark, '?' anything else, for each pixel of a line of segment positions.
std::string states(const DrawSurface& surface, GuiPoint first, GuiPoint step, int count) {
  std::string text;
  for (int n = 0; n < count; ++n) {
    const GuiColor c = surface.pixel(first.h + n * step.h, first.v + n * step.v);
    text += c == kSegmentLit ? 'L' : c == kSegmentDark ? 'D' : '?';
  }
  return text;
}

std::string repeat(int count, char symbol) {
  return std::string(static_cast<std::size_t>(count), symbol);
}

TEST(BarSegments, AVerticalBarAtHalfLightsRowsZeroTo24FromTheBottom) {
  const DrawnBar bar(kVerticalBar, kTall, 0.5f);
  // Rows y = 100, 98, ... 2: segments 0 ... 49.
  EXPECT_EQ(states(bar.surface, {10, 100}, {0, -2}, 50), repeat(25, 'L') + repeat(25, 'D'));
  EXPECT_EQ(states(bar.surface, {19, 100}, {0, -2}, 50), repeat(25, 'L') + repeat(25, 'D'))
      << "each row reaches the pixel before `right`";
  EXPECT_EQ(bar.surface.pixel(20, 100), kGround) << "the end point is not painted";
  EXPECT_EQ(bar.surface.pixel(9, 100), kGround);
  EXPECT_EQ(states(bar.surface, {10, 99}, {0, -2}, 50), repeat(50, '?')) << "rows between stay";
  EXPECT_EQ(bar.surface.pixel(10, 0), kGround) << "the top row is no segment";
}

TEST(BarSegments, AVerticalBarLightsEachSegmentWhoseIndexIsBelowValueTimes50) {
  struct Case {
    float value;
    int lit;
  };
  for (const Case& c : {Case{0.0f, 0}, Case{0.01f, 1}, Case{0.02f, 1}, Case{0.021f, 2},
                        Case{1.0f, 50}, Case{-0.5f, 0}, Case{3.0f, 50}}) {
    const DrawnBar bar(kVerticalBar, kTall, c.value);
    EXPECT_EQ(states(bar.surface, {10, 100}, {0, -2}, 50),
              repeat(c.lit, 'L') + repeat(50 - c.lit, 'D'))
        << "value " << c.value;
  }
}

TEST(BarSegments, ABipolarBarLightsFromTheCentreRowOutward) {
  struct Case {
    float value;
    std::string above;  // rows 48, 46, ... 2 (segments 1 ... 24)
    std::string below;  // rows 52, 54, ... 100 (segments -1 ... -25)
  };
  const Case cases[] = {{0.5f, repeat(24, 'D'), repeat(25, 'D')},
                        {1.0f, repeat(24, 'L'), repeat(25, 'D')},
                        {0.0f, repeat(24, 'D'), repeat(24, 'L') + "D"},
                        {0.59f, repeat(4, 'L') + repeat(20, 'D'), repeat(25, 'D')},
                        {0.39f, repeat(24, 'D'), repeat(5, 'L') + repeat(20, 'D')}};
  for (const Case& c : cases) {
    const DrawnBar bar(kBipolarBar, kTall, c.value);
    EXPECT_EQ(bar.surface.pixel(10, 50), kSegmentLit) << "the centre row, value " << c.value;
    EXPECT_EQ(states(bar.surface, {10, 48}, {0, -2}, 24), c.above) << "value " << c.value;
    EXPECT_EQ(states(bar.surface, {10, 52}, {0, 2}, 25), c.below) << "value " << c.value;
  }
}

TEST(BarSegments, TheBipolarCentreIsTheIntegerMiddle) {
  const DrawnBar bar(kBipolarBar, {10, 3, 20, 104}, 0.5f);  // (3 + 104) / 2 = 53
  EXPECT_EQ(bar.surface.pixel(15, 53), kSegmentLit);
  EXPECT_EQ(bar.surface.pixel(15, 51), kSegmentDark);
}

TEST(BarSegments, AHorizontalBarLightsColumnsFromTheLeft) {
  const DrawnBar bar(kHorizontalBar, kWide, 0.5f);  // 0.5 * 25 = 12.5: columns 0 ... 12
  EXPECT_EQ(states(bar.surface, {10, 20}, {2, 0}, 25), repeat(13, 'L') + repeat(12, 'D'));
  EXPECT_EQ(states(bar.surface, {10, 11}, {2, 0}, 25), repeat(13, 'L') + repeat(12, 'D'))
      << "each column reaches the pixel below `top`";
  EXPECT_EQ(bar.surface.pixel(10, 10), kGround) << "the end point is not painted";
  EXPECT_EQ(bar.surface.pixel(60, 20), kGround) << "x = right is no column";
}

TEST(BarSegments, MouseValuesAndAcceptedAreasEdgeByEdge) {
  struct Case {
    const char* what;
    const BarLayout* layout;
    GuiRect rect;
    GuiPoint where;
    std::optional<float> value;
  };
  const Case cases[] = {
      {"vertical: bottom row", &kVerticalBar, kTall, {15, 100}, 0.0f},
      {"vertical: top row", &kVerticalBar, kTall, {15, 0}, 1.0f},
      {"vertical: middle", &kVerticalBar, kTall, {15, 50}, 0.5f},
      {"vertical: 9 left of the bar", &kVerticalBar, kTall, {1, 37}, 0.63f},
      {"vertical: 10 left of it", &kVerticalBar, kTall, {0, 37}, std::nullopt},
      {"vertical: 9 right of right", &kVerticalBar, kTall, {29, 37}, 0.63f},
      {"vertical: 10 right of it", &kVerticalBar, kTall, {30, 37}, std::nullopt},
      {"vertical: above the top", &kVerticalBar, kTall, {15, -1}, std::nullopt},
      {"vertical: below the bottom", &kVerticalBar, kTall, {15, 101}, std::nullopt},
      {"vertical, 150 tall: no clamping", &kVerticalBar, {10, 0, 20, 150}, {15, 0}, 1.5f},
      {"bipolar: top row", &kBipolarBar, kTall, {15, 0}, 1.0f},
      {"bipolar: bottom row", &kBipolarBar, kTall, {15, 100}, 0.0f},
      {"bipolar: x = left", &kBipolarBar, kTall, {10, 50}, std::nullopt},
      {"bipolar: x = left + 1", &kBipolarBar, kTall, {11, 50}, 0.5f},
      {"bipolar: x = right - 1", &kBipolarBar, kTall, {19, 50}, 0.5f},
      {"bipolar: x = right", &kBipolarBar, kTall, {20, 50}, std::nullopt},
      {"horizontal: x = left", &kHorizontalBar, kWide, {10, 15}, 0.0f},
      {"horizontal: x = left + 50", &kHorizontalBar, kWide, {60, 15}, 1.0f},
      {"horizontal: x = left + 25", &kHorizontalBar, kWide, {35, 15}, 0.5f},
      {"horizontal: left of it", &kHorizontalBar, kWide, {9, 15}, std::nullopt},
      {"horizontal: right of it", &kHorizontalBar, kWide, {61, 15}, std::nullopt},
      {"horizontal: y = top", &kHorizontalBar, kWide, {35, 10}, std::nullopt},
      {"horizontal: y = top + 1", &kHorizontalBar, kWide, {35, 11}, 0.5f},
      {"horizontal: y = bottom - 1", &kHorizontalBar, kWide, {35, 19}, 0.5f},
      {"horizontal: y = bottom", &kHorizontalBar, kWide, {35, 20}, std::nullopt},
  };
  for (const Case& c : cases) {
    const std::optional<float> value = barValueAt(*c.layout, c.rect, c.where);
    ASSERT_EQ(value.has_value(), c.value.has_value()) << c.what;
    if (value) {
      EXPECT_EQ(*value, *c.value) << c.what;
    }
  }
}

}  // namespace
