// The committed control bitmaps against the panel's bitmap table: every id present with its
// size and frame stacking, the two absent ids, the tone of every frame (off blue or grey above,
// on orange below; routing strips orange released then blue pressed per state), and no pure white
// in any control face, since the keyed draw would punch it out.
#include "PngImage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace artwork_test {
namespace {

struct BitmapCase {
  int id;
  int width;
  int frameHeight;
  std::vector<Tone> frames;  // top to bottom
};

std::vector<Tone> offOn() { return {Tone::blue, Tone::orange}; }

std::vector<BitmapCase> designedBitmaps() {
  std::vector<BitmapCase> cases;
  for (int id = 131; id <= 133; ++id) {
    cases.push_back({id, 45, 15, offOn()});  // Volume, Detune, Phase
  }
  for (int id = 134; id <= 165; ++id) {
    cases.push_back({id, 20, 14, offOn()});  // numbers 1-32
  }
  for (int id : {166, 167, 170, 171, 172, 173, 174}) {
    cases.push_back({id, 75, 14, offOn()});  // group buttons
  }
  cases.push_back({168, 37, 14, offOn()});  // Odd
  cases.push_back({169, 37, 14, offOn()});  // Even
  for (int id = 175; id <= 206; ++id) {
    std::vector<Tone> strip;
    for (int state = 0; state < 5; ++state) {
      strip.push_back(Tone::orange);  // released
      strip.push_back(Tone::blue);    // pressed
    }
    cases.push_back({id, 37, 14, strip});
  }
  cases.push_back({207, 40, 14, {Tone::blue, Tone::orange, Tone::blue, Tone::orange}});
  cases.push_back({208, 10, 10, {Tone::grey, Tone::orange}});
  cases.push_back({209, 33, 15, offOn()});
  return cases;
}

std::string describe(const BitmapCase& c) { return "bitmap " + std::to_string(c.id); }

TEST(BitmapTable, EveryDesignedIdHasItsSizeAndFrameStack) {
  for (const BitmapCase& c : designedBitmaps()) {
    SCOPED_TRACE(describe(c));
    const auto image = PngImage::read(resourcePath(c.id));
    ASSERT_TRUE(image.has_value()) << "missing or unreadable: " << resourcePath(c.id);
    EXPECT_EQ(image->width(), c.width);
    EXPECT_EQ(image->height(), c.frameHeight * static_cast<int>(c.frames.size()))
        << c.frames.size() << " frames of " << c.frameHeight << " rows";
  }
}

TEST(BitmapTable, BackgroundIsSixHundredSquare) {
  const auto image = PngImage::read(resourcePath(128));
  ASSERT_TRUE(image.has_value());
  EXPECT_EQ(image->width(), 600);
  EXPECT_EQ(image->height(), 600);
}

TEST(BitmapTable, IdsWithoutImagesAreAbsentAndNothingElseIsThere) {
  EXPECT_FALSE(std::filesystem::exists(resourcePath(129)));
  EXPECT_FALSE(std::filesystem::exists(resourcePath(130)));
  std::set<std::string> expected{"128.png"};
  for (const BitmapCase& c : designedBitmaps()) {
    expected.insert(std::to_string(c.id) + ".png");
  }
  std::set<std::string> found;
  for (const auto& entry : std::filesystem::directory_iterator(OVERTONIC_RESOURCES_DIR)) {
    if (entry.path().extension() == ".png") {
      found.insert(entry.path().filename().string());
    }
  }
  EXPECT_EQ(found, expected);
}

TEST(BitmapTable, EachFrameShowsItsDesignedTone) {
  for (const BitmapCase& c : designedBitmaps()) {
    const auto image = PngImage::read(resourcePath(c.id));
    ASSERT_TRUE(image.has_value()) << describe(c);
    for (std::size_t f = 0; f < c.frames.size(); ++f) {
      const DominantTone measured =
          dominantTone(*image, static_cast<int>(f) * c.frameHeight, c.frameHeight);
      EXPECT_EQ(measured.tone, c.frames[f])
          << describe(c) << " frame " << f << ": expected " << toneName(c.frames[f])
          << ", measured " << toneName(measured.tone);
      EXPECT_GT(measured.share, 0.6) << describe(c) << " frame " << f << " is not a plain "
                                     << toneName(c.frames[f]) << " face";
    }
  }
}

// The sample pixel two columns in from the left edge, half way down each frame, lies on the face
// itself (away from rims and captions) and must carry the frame's hue.
TEST(BitmapTable, SamplePixelOfEachFrameHasTheFrameHue) {
  for (const BitmapCase& c : designedBitmaps()) {
    const auto image = PngImage::read(resourcePath(c.id));
    ASSERT_TRUE(image.has_value()) << describe(c);
    for (std::size_t f = 0; f < c.frames.size(); ++f) {
      const Rgb sample = image->at(2, static_cast<int>(f) * c.frameHeight + c.frameHeight / 2);
      EXPECT_EQ(toneOf(sample), c.frames[f])
          << describe(c) << " frame " << f << " sample " << sample << " hue " << hueOf(sample)
          << ", expected " << toneName(c.frames[f]);
    }
  }
}

TEST(BitmapTable, ControlFacesHoldNoPureWhite) {
  for (const BitmapCase& c : designedBitmaps()) {
    const auto image = PngImage::read(resourcePath(c.id));
    ASSERT_TRUE(image.has_value()) << describe(c);
    int whites = 0;
    for (int y = 0; y < image->height(); ++y) {
      for (int x = 0; x < image->width(); ++x) {
        whites += image->at(x, y) == Rgb{255, 255, 255} ? 1 : 0;
      }
    }
    EXPECT_EQ(whites, 0) << describe(c)
                         << " has pure white pixels, which the keyed draw makes transparent";
  }
}

// Pixels that stand out from the face: the caption or symbol of a frame.
std::vector<bool> inkMask(const PngImage& image, int top, int height) {
  const Rgb face = image.at(2, top + height / 2);
  const int faceLight = face.red + face.green + face.blue;
  std::vector<bool> mask;
  for (int y = top + 2; y < top + height - 2; ++y) {
    for (int x = 2; x < image.width() - 2; ++x) {
      const Rgb p = image.at(x, y);
      mask.push_back(std::abs(p.red + p.green + p.blue - faceLight) > 150);
    }
  }
  return mask;
}

// Share of the inked pixels of either mask that both masks ink.
double overlap(const std::vector<bool>& a, const std::vector<bool>& b) {
  int both = 0;
  int either = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    both += a[i] && b[i] ? 1 : 0;
    either += a[i] || b[i] ? 1 : 0;
  }
  return either == 0 ? 0.0 : static_cast<double>(both) / either;
}

// A state's released and pressed frames carry the same caption ("n X", "n Fla", ...), and every
// state's caption differs from the others', so the ten frames stack as five released/pressed pairs.
TEST(BitmapTable, RoutingStripsHoldFiveCaptionPairs) {
  for (int id = 175; id <= 206; ++id) {
    const auto image = PngImage::read(resourcePath(id));
    ASSERT_TRUE(image.has_value()) << "bitmap " << id;
    ASSERT_EQ(image->height(), 140);
    std::vector<std::vector<bool>> masks;
    for (int f = 0; f < 10; ++f) {
      masks.push_back(inkMask(*image, f * 14, 14));
    }
    for (int state = 0; state < 5; ++state) {
      EXPECT_GT(overlap(masks[2 * state], masks[2 * state + 1]), 0.5)
          << "bitmap " << id << " state " << state << ": released and pressed captions differ";
      for (int other = state + 1; other < 5; ++other) {
        EXPECT_LT(overlap(masks[2 * state], masks[2 * other]), 0.9)
            << "bitmap " << id << " states " << state << " and " << other
            << " show the same caption";
      }
    }
  }
}

// The sweep shape switch: both "Sine" frames alike, both triangle frames alike, the two kinds
// different.
TEST(BitmapTable, SweepShapeSwitchPairsSineThenTriangle) {
  const auto image = PngImage::read(resourcePath(207));
  ASSERT_TRUE(image.has_value());
  ASSERT_EQ(image->height(), 56);
  const auto sineOff = inkMask(*image, 0, 14);
  const auto sineOn = inkMask(*image, 14, 14);
  const auto triangleOff = inkMask(*image, 28, 14);
  const auto triangleOn = inkMask(*image, 42, 14);
  EXPECT_GT(overlap(sineOff, sineOn), 0.5);
  EXPECT_GT(overlap(triangleOff, triangleOn), 0.5);
  EXPECT_LT(overlap(sineOff, triangleOff), 0.5);
}

}  // namespace
}  // namespace artwork_test
