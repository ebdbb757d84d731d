// The committed panel background (resource 128) against the designed layout: the white image
// outline, every box outline on its designed pixels and only there, the inner LFO outline, the
// routing line, the dark red strips, the ground colour, and the bar numbers under their columns.
#include "PngImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace artwork_test {
namespace {

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kGround{27, 65, 94};
constexpr Rgb kStrip{69, 21, 21};
constexpr Rgb kLfoOutline{155, 175, 189};

struct Box {
  const char* name;
  int left;
  int top;
  int right;
  int bottom;
  Rgb outline;
};

const std::vector<Box>& designedBoxes() {
  static const std::vector<Box> boxes{
      {"Main", 4, 27, 58, 178, kWhite},          {"Harmonics", 196, 27, 594, 178, kWhite},
      {"Osc Select", 4, 188, 99, 339, kWhite},   {"Group Select", 103, 188, 192, 339, kWhite},
      {"Envelopes", 196, 188, 594, 339, kWhite}, {"Delay", 35, 408, 108, 576, kWhite},
      {"Flanger", 112, 408, 261, 576, kWhite},   {"Phaser", 265, 408, 414, 576, kWhite},
      {"Reverb", 418, 408, 567, 576, kWhite},    {"LFO", 186, 467, 256, 570, kLfoOutline},
  };
  return boxes;
}

class Background : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { image_ = PngImage::read(resourcePath(128)); }
  static void TearDownTestSuite() { image_.reset(); }

  void SetUp() override {
    ASSERT_TRUE(image_.has_value()) << "cannot read " << resourcePath(128);
    ASSERT_EQ(image_->width(), 600);
    ASSERT_EQ(image_->height(), 600);
  }

  static const PngImage& image() { return *image_; }

  // Counts the pixels of a row or column segment that do not have `colour`, and names the first.
  static int mismatches(int x0, int y0, int x1, int y1, Rgb colour, std::string& first) {
    int count = 0;
    for (int y = y0; y <= y1; ++y) {
      for (int x = x0; x <= x1; ++x) {
        if (!(image().at(x, y) == colour)) {
          if (count == 0) {
            std::ostringstream where;
            where << "(" << x << ", " << y << ") is " << image().at(x, y);
            first = where.str();
          }
          ++count;
        }
      }
    }
    return count;
  }

  static void expectSegment(int x0, int y0, int x1, int y1, Rgb colour, const std::string& what) {
    std::string first;
    const int bad = mismatches(x0, y0, x1, y1, colour, first);
    std::ostringstream expected;
    expected << colour;
    EXPECT_EQ(bad, 0) << what << ": expected " << expected.str() << " everywhere, first difference "
                      << first;
  }

 private:
  static inline std::optional<PngImage> image_;
};

TEST_F(Background, ImageHasAOnePixelWhiteOutline) {
  expectSegment(0, 0, 599, 0, kWhite, "top row");
  expectSegment(0, 599, 599, 599, kWhite, "bottom row");
  expectSegment(0, 0, 0, 599, kWhite, "left column");
  expectSegment(599, 0, 599, 599, kWhite, "right column");
}

TEST_F(Background, BoxOutlinesLieOnTheDesignedPixels) {
  for (const Box& b : designedBoxes()) {
    const std::string name = std::string(b.name) + " box";
    expectSegment(b.left, b.top, b.right, b.top, b.outline, name + " top edge");
    expectSegment(b.left, b.bottom, b.right, b.bottom, b.outline, name + " bottom edge");
    expectSegment(b.left, b.top, b.left, b.bottom, b.outline, name + " left edge");
    expectSegment(b.right, b.top, b.right, b.bottom, b.outline, name + " right edge");
  }
}

// One pixel inside and one outside each edge, half way along it, is not outline colour: the
// outlines are one pixel wide and not shifted.
TEST_F(Background, BoxOutlinesAreOnePixelWide) {
  for (const Box& b : designedBoxes()) {
    const int midX = (b.left + b.right) / 2;
    const int midY = (b.top + b.bottom) / 2;
    const struct {
      int x;
      int y;
      const char* where;
    } neighbours[] = {
        {b.left - 1, midY, "left of left edge"},   {b.left + 1, midY, "right of left edge"},
        {b.right - 1, midY, "left of right edge"}, {b.right + 1, midY, "right of right edge"},
        {midX, b.top - 1, "above top edge"},       {midX, b.top + 1, "below top edge"},
        {midX, b.bottom - 1, "above bottom edge"}, {midX, b.bottom + 1, "below bottom edge"}};
    for (const auto& n : neighbours) {
      EXPECT_NE(image().at(n.x, n.y), b.outline) << b.name << " box: pixel (" << n.x << ", " << n.y
                                                 << ") " << n.where << " has the outline colour";
    }
  }
}

TEST_F(Background, WhiteLineRunsAcrossTheFullWidthAtRow404) {
  expectSegment(0, 404, 599, 404, kWhite, "row 404");
  for (int x : {2, 150, 300, 480, 597}) {
    EXPECT_NE(image().at(x, 403), kWhite) << "row 403 at x " << x;
    EXPECT_NE(image().at(x, 405), kWhite) << "row 405 at x " << x;
  }
}

TEST_F(Background, TitleAndFooterStripsAreDarkRed) {
  expectSegment(1, 1, 598, 1, kStrip, "first title row");
  expectSegment(1, 21, 598, 21, kStrip, "last title row");
  expectSegment(1, 578, 598, 578, kStrip, "first footer row");
  expectSegment(1, 598, 598, 598, kStrip, "last footer row");
  expectSegment(597, 1, 598, 21, kStrip, "title strip right end");
  expectSegment(1, 578, 2, 598, kStrip, "footer strip left end");
}

// The strips carry something (logo, title, credit), not only their red.
TEST_F(Background, TitleAndFooterStripsCarryText) {
  std::string first;
  EXPECT_GT(mismatches(1, 2, 598, 20, kStrip, first), 200) << "title strip is empty";
  EXPECT_GT(mismatches(1, 579, 598, 597, kStrip, first), 200) << "footer strip is empty";
}

TEST_F(Background, GroundIsDarkBlue) {
  expectSegment(1, 22, 598, 26, kGround, "rows between title strip and boxes");
  expectSegment(1, 179, 598, 187, kGround, "rows between the two rows of boxes");
  // Where the routing switches stand the band is plain ground.
  expectSegment(150, 345, 467, 403, kGround, "routing band under the switches");
  expectSegment(1, 405, 598, 407, kGround, "rows between routing line and effect boxes");
  std::string first;
  const int notGround = mismatches(0, 0, 599, 599, kGround, first);
  EXPECT_LT(notGround, 600 * 600 / 2) << "ground is not the main colour of the panel";
}

// Under each bar column (x 204 + 12k to 213 + 12k) stands its number: the column below the bars
// carries drawn pixels centred on the column, and the two-pixel gaps between columns stay ground.
TEST_F(Background, BarNumbersStandUnderTheirColumns) {
  constexpr int kTop = 161;
  constexpr int kBottom = 177;
  for (int k = 0; k < 32; ++k) {
    const int left = 204 + 12 * k;
    const int right = left + 9;
    std::string first;
    EXPECT_GT(mismatches(left, kTop, right, kBottom, kGround, first), 10)
        << "nothing under column " << k + 1;
    expectSegment(right + 1, kTop, right + 2, kBottom, kGround,
                  "gap right of column " + std::to_string(k + 1));

    // Centre of the bright (text) pixels under the column.
    double sum = 0.0;
    int count = 0;
    for (int y = kTop; y <= kBottom; ++y) {
      for (int x = left; x <= right; ++x) {
        const Rgb p = image().at(x, y);
        if (p.red + p.green + p.blue > 300) {
          sum += x;
          ++count;
        }
      }
    }
    ASSERT_GT(count, 0) << "no number text under column " << k + 1;
    EXPECT_NEAR(sum / count, (left + right) / 2.0, 1.5)
        << "number " << k + 1 << " is off its column";
  }
}

// Every effect switch stands in a small square: the ring one pixel round its rectangle differs from
// the ground.
TEST_F(Background, EffectSwitchesStandInSmallSquares) {
  const struct {
    const char* name;
    int left;
    int top;
    int right;
    int bottom;
  } switches[] = {{"delay", 39, 412, 50, 421},
                  {"flanger", 116, 412, 126, 421},
                  {"phaser", 269, 412, 280, 421},
                  {"reverb", 422, 412, 432, 421}};
  for (const auto& s : switches) {
    int groundPixels = 0;
    for (int x = s.left - 1; x <= s.right; ++x) {
      groundPixels += image().at(x, s.top - 1) == kGround ? 1 : 0;
      groundPixels += image().at(x, s.bottom) == kGround ? 1 : 0;
    }
    for (int y = s.top - 1; y <= s.bottom; ++y) {
      groundPixels += image().at(s.left - 1, y) == kGround ? 1 : 0;
      groundPixels += image().at(s.right, y) == kGround ? 1 : 0;
    }
    EXPECT_EQ(groundPixels, 0) << s.name << " switch: the square round it is open in "
                               << groundPixels << " pixels";
  }
}

}  // namespace
}  // namespace artwork_test
