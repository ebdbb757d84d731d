// The line rasteriser against its pixel rule written out plainly: step i of a line of n steps
// lights the pixel i along the major axis and (2 i span + n) / (2 n) along the minor one, the end
// point left out, every other step left out for a dotted pen (counted from the phase). Lines of
// every slope and length, clipped to bounds of every kind, must light exactly the rule's pixels,
// each in one run only, and advance the phase by n.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "gui/Raster.h"

namespace {

using Pixel = std::pair<std::int64_t, std::int64_t>;

// The line from a to b as the rule describes it: its steps, and the pixel of each.
struct RuleLine {
  RuleLine(GuiPoint from, GuiPoint to) : a(from) {
    const std::int64_t dx = std::int64_t{to.h} - from.h;
    const std::int64_t dy = std::int64_t{to.v} - from.v;
    xMajor = std::abs(dx) >= std::abs(dy);
    steps = xMajor ? std::abs(dx) : std::abs(dy);
    span = xMajor ? std::abs(dy) : std::abs(dx);
    majorSign = (xMajor ? dx : dy) < 0 ? -1 : 1;
    minorSign = (xMajor ? dy : dx) < 0 ? -1 : 1;
  }
  // Computed on its own, with the division, as the rule says.
  Pixel pixel(std::int64_t i) const {
    const std::int64_t major = (xMajor ? a.h : a.v) + majorSign * i;
    const std::int64_t minor =
        (xMajor ? a.v : a.h) + minorSign * ((2 * i * span + steps) / (2 * steps));
    return xMajor ? Pixel{major, minor} : Pixel{minor, major};
  }
  static bool inside(const GuiRect& bounds, const Pixel& p) {
    return p.first >= bounds.left && p.first < bounds.right && p.second >= bounds.top &&
           p.second < bounds.bottom;
  }

  GuiPoint a;
  bool xMajor;
  std::int64_t steps;
  std::int64_t span;
  std::int64_t majorSign;
  std::int64_t minorSign;
};

std::set<Pixel> pixelsOfTheRule(GuiPoint a, GuiPoint b, const GuiRect& bounds, bool dotted,
                                std::int64_t phase) {
  const RuleLine line(a, b);
  std::set<Pixel> pixels;
  for (std::int64_t i = 0; i < line.steps; ++i) {
    if (dotted && ((phase + i) & 1) != 0) continue;
    if (const Pixel p = line.pixel(i); RuleLine::inside(bounds, p)) pixels.insert(p);
  }
  return pixels;
}

struct Rastered {
  std::set<Pixel> pixels;
  std::int64_t covered = 0;  // pixels of all runs, counted with repeats
  std::int64_t phase = 0;
  bool runsAreThin = true;  // every run one pixel high or one pixel wide
};

Rastered rastered(GuiPoint a, GuiPoint b, const GuiRect& bounds, bool dotted, std::int64_t phase) {
  Rastered result;
  result.phase = phase;
  rasterLine(a, b, bounds, dotted, result.phase, [&](const GuiRect& run) {
    result.runsAreThin = result.runsAreThin && (run.width() == 1 || run.height() == 1);
    for (std::int64_t y = run.top; y < run.bottom; ++y) {
      for (std::int64_t x = run.left; x < run.right; ++x) {
        result.pixels.insert({x, y});
        ++result.covered;
      }
    }
  });
  return result;
}

void expectTheRule(GuiPoint a, GuiPoint b, const GuiRect& bounds, bool dotted, std::int64_t phase) {
  const Rastered got = rastered(a, b, bounds, dotted, phase);
  const std::set<Pixel> want = pixelsOfTheRule(a, b, bounds, dotted, phase);
  const std::int64_t steps = RuleLine(a, b).steps;
  const auto line = [&] {
    return "(" + std::to_string(a.h) + "," + std::to_string(a.v) + ") to (" + std::to_string(b.h) +
           "," + std::to_string(b.v) + ") in (" + std::to_string(bounds.left) + "," +
           std::to_string(bounds.top) + ")-(" + std::to_string(bounds.right) + "," +
           std::to_string(bounds.bottom) +
           (dotted ? "), dotted from " + std::to_string(phase) : ")");
  };
  ASSERT_EQ(got.pixels, want) << line();
  ASSERT_EQ(got.covered, static_cast<std::int64_t>(want.size())) << line() << ": a pixel twice";
  ASSERT_TRUE(got.runsAreThin) << line();
  ASSERT_EQ(got.phase, phase + steps) << line();
}

TEST(RasterLine, LightsExactlyThePixelsOfTheStepRuleForRandomLinesAndBounds) {
  std::mt19937 random(20240611);
  std::uniform_int_distribution<std::int32_t> coordinate(-40, 120);
  std::uniform_int_distribution<std::int32_t> nearby(-6, 6);
  std::uniform_int_distribution<std::int32_t> kind(0, 9);
  for (int n = 0; n < 20000; ++n) {
    const GuiPoint a{coordinate(random), coordinate(random)};
    GuiPoint b{coordinate(random), coordinate(random)};
    switch (kind(random)) {  // rows, columns, diagonals and short lines more often than chance
      case 0: b.v = a.v; break;
      case 1: b.h = a.h; break;
      case 2: b.v = a.v + (b.h - a.h); break;
      case 3: b = {a.h + nearby(random), a.v + nearby(random)}; break;
      default: break;
    }
    const GuiRect bounds{coordinate(random), coordinate(random), coordinate(random),
                         coordinate(random)};
    const bool dotted = (n % 3) == 0;
    expectTheRule(a, b, bounds, dotted, n % 5);
    if (::testing::Test::HasFatalFailure()) return;
  }
}

TEST(RasterLine, FarLinesKeepTheRuleOnTheirVisiblePart) {
  constexpr std::int32_t kFar = kRasterLimit;
  const GuiRect bounds{0, 0, 64, 48};
  const std::pair<GuiPoint, GuiPoint> lines[] = {
      {{-kFar, 7}, {kFar, 7}},         {{9, kFar}, {9, -kFar}},    {{-kFar, -kFar}, {kFar, kFar}},
      {{-kFar, 3}, {kFar, 40}},        {{3, -kFar}, {60, kFar}},   {{kFar, 30}, {-kFar, 2}},
      {{-kFar, -kFar}, {-kFar, kFar}}, {{0, 0}, {kFar, kFar / 3}}, {{63, 47}, {-kFar, -kFar + 5}},
  };
  for (const auto& [a, b] : lines) {
    for (const bool dotted : {false, true}) {
      // The rule's own loop would take 2^29 steps: compare on the visible window only, where the
      // rule is evaluated for the steps that can land in it.
      const Rastered got = rastered(a, b, bounds, dotted, 1);
      const RuleLine line(a, b);
      const std::int64_t major0 = line.xMajor ? a.h : a.v;
      const std::int64_t lo = line.xMajor ? bounds.left : bounds.top;
      const std::int64_t hi = line.xMajor ? bounds.right : bounds.bottom;
      std::set<Pixel> want;
      for (std::int64_t major = lo; major < hi; ++major) {
        const std::int64_t i = (major - major0) * line.majorSign;
        if (i < 0 || i >= line.steps || (dotted && ((1 + i) & 1) != 0)) continue;
        if (const Pixel p = line.pixel(i); RuleLine::inside(bounds, p)) want.insert(p);
      }
      EXPECT_EQ(got.pixels, want) << a.h << "," << a.v << " to " << b.h << "," << b.v
                                  << (dotted ? " dotted" : "");
      EXPECT_EQ(got.phase, 1 + line.steps);
    }
  }
}

}  // namespace
