// Bitmaps (decoding, opaque and keyed drawing, source offsets, reference counting, missing
// resources), the embedded resource table, offscreen contexts and the PNG writer.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <vector>

#include "gui/DrawContext.h"
#include "gui/GuiBitmap.h"
#include "gui/OffscreenContext.h"
#include "resources/Resources.h"
#include "tests/gui/PixelPicture.h"

namespace {

constexpr GuiColor kNearWhite{254, 255, 255, 0};
const Palette kRedBlue{{'.', kColorBlack}, {'R', kColorRed}, {'B', kColorBlue}};

// ctest runs test cases as parallel processes: each process writes under its own name.
std::string tempPath(const std::string& name) {
  return ::testing::TempDir() + "overtonic-" + std::to_string(::getpid()) + "-" + name;
}

std::vector<std::uint8_t> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// PNG bytes of a width x height image painted by `paint`.
std::vector<std::uint8_t> pngOf(std::int32_t width, std::int32_t height,
                                const std::function<void(DrawContext&)>& paint) {
  DrawSurface surface(width, height);
  {
    DrawContext ctx(nullptr, &surface, nullptr);
    paint(ctx);
  }
  const std::string path = tempPath("image.png");
  const WriteResult written = surface.writePng(path);
  EXPECT_TRUE(written.ok) << written.message;
  return readFile(path);
}

// A 4 x 2 image: white, red, white, blue / near white, white, black, white.
std::vector<std::uint8_t> keyTestImage() {
  return pngOf(4, 2, [](DrawContext& c) {
    const GuiColor pixels[2][4] = {{kColorWhite, kColorRed, kColorWhite, kColorBlue},
                                   {kNearWhite, kColorWhite, kColorBlack, kColorWhite}};
    for (std::int32_t y = 0; y < 2; ++y) {
      for (std::int32_t x = 0; x < 4; ++x) c.drawPoint({x, y}, pixels[y][x]);
    }
  });
}

void fillAll(DrawContext& ctx, GuiColor color) {
  ctx.setFillColor(color);
  ctx.fillRect({-1, -1, 1000, 1000});
}

// Releases a bitmap at the end of a test.
struct Held {
  GuiBitmap* bitmap;
  ~Held() { bitmap->release(); }
};

TEST(GuiBitmapKeyed, WhitePixelsShowTheColourBeneath) {
  Held image{new GuiBitmap(keyTestImage())};
  ASSERT_TRUE(image.bitmap->isLoaded());
  DrawSurface surface(10, 6);
  DrawContext ctx(nullptr, &surface, nullptr);
  fillAll(ctx, kColorGreen);
  image.bitmap->drawKeyed(&ctx, {3, 2, 7, 4});
  EXPECT_EQ(picture(surface, {2, 1, 8, 5},
                    {{'.', kColorBlack},
                     {'R', kColorRed},
                     {'B', kColorBlue},
                     {'G', kColorGreen},
                     {'n', kNearWhite},
                     {'W', kColorWhite}}),
            rows({"GGGGGG", "GGRGBG", "GnG.GG", "GGGGGG"}));
}

TEST(GuiBitmapKeyed, OpaqueDrawAfterAKeyedDrawStillCopiesWhite) {
  Held image{new GuiBitmap(keyTestImage())};
  DrawSurface surface(10, 6);
  DrawContext ctx(nullptr, &surface, nullptr);
  fillAll(ctx, kColorGreen);
  image.bitmap->drawKeyed(&ctx, {0, 0, 4, 2});
  image.bitmap->drawKeyed(&ctx, {0, 2, 4, 4});
  EXPECT_EQ(surface.pixel(0, 2), kColorGreen) << "the kept mask works a second time";
  image.bitmap->draw(&ctx, {0, 0, 4, 2});
  EXPECT_EQ(surface.pixel(0, 0), kColorWhite);
  EXPECT_EQ(surface.pixel(1, 0), kColorRed);
}

TEST(GuiBitmapDraw, SourceOffsetSelectsAFrameOfAStackedStrip) {
  // Two frames of 3 x 2 stacked vertically: red on top, blue below.
  Held strip{new GuiBitmap(pngOf(3, 4, [](DrawContext& c) {
    c.setFillColor(kColorRed);
    c.fillRect({-1, -1, 3, 2});
    c.setFillColor(kColorBlue);
    c.fillRect({-1, 1, 3, 4});
  }))};
  ASSERT_EQ(strip.bitmap->getWidth(), 3);
  ASSERT_EQ(strip.bitmap->getHeight(), 4);
  DrawSurface surface(8, 8);
  DrawContext ctx(nullptr, &surface, nullptr);
  ctx.setOffset({1, 1});
  strip.bitmap->draw(&ctx, {0, 0, 3, 2}, {0, 2});
  EXPECT_EQ(picture(surface, {0, 0, 5, 4}, kRedBlue), rows({".....", ".BBB.", ".BBB.", "....."}));
}

TEST(GuiBitmapDraw, PartsOutsideTheImageLeaveTheDestinationAlone) {
  Held image{new GuiBitmap(keyTestImage())};
  DrawSurface surface(10, 6);
  DrawContext ctx(nullptr, &surface, nullptr);
  fillAll(ctx, kColorGreen);
  image.bitmap->draw(&ctx, {0, 0, 10, 6}, {2, 1});
  EXPECT_EQ(inkBounds(surface, kColorGreen), (GuiRect{0, 0, 2, 1}));
  image.bitmap->draw(&ctx, {0, 0, 10, 6}, {-50, 70});
  image.bitmap->draw(&ctx, {0, 0, INT32_MAX, INT32_MAX}, {INT32_MAX, INT32_MIN});
  EXPECT_EQ(inkBounds(surface, kColorGreen), (GuiRect{0, 0, 2, 1}));
}

TEST(GuiBitmapRefCount, StartsAtOneAndTheLastReleaseFrees) {
  const std::int32_t before = GuiBitmap::liveCount();
  auto* bitmap = new GuiBitmap(8, 4);
  EXPECT_EQ(bitmap->getRefCount(), 1);
  EXPECT_EQ(GuiBitmap::liveCount(), before + 1);
  bitmap->retain();
  EXPECT_EQ(bitmap->getRefCount(), 2);
  bitmap->release();
  EXPECT_EQ(bitmap->getRefCount(), 1);
  EXPECT_EQ(GuiBitmap::liveCount(), before + 1) << "freed while still referenced";
  bitmap->release();
  EXPECT_EQ(GuiBitmap::liveCount(), before) << "the last release did not free";
}

TEST(GuiBitmapRecord, SizedRecordHasNoImageAndDrawsNothing) {
  Held record{new GuiBitmap(8, 4)};
  EXPECT_FALSE(record.bitmap->isLoaded());
  EXPECT_EQ(record.bitmap->getWidth(), 8);
  EXPECT_EQ(record.bitmap->getHeight(), 4);
  DrawSurface surface(10, 6);
  DrawContext ctx(nullptr, &surface, nullptr);
  record.bitmap->draw(&ctx, {0, 0, 8, 4});
  record.bitmap->drawKeyed(&ctx, {0, 0, 8, 4});
  EXPECT_EQ(inkBounds(surface, kColorBlack), GuiRect{});
}

TEST(GuiBitmapResource, MissingIdsGiveAnEmptyBitmapThatDrawsNothing) {
  for (std::int32_t id : {129, 130, 0, -1, 5000}) {
    Held missing{new GuiBitmap(id)};
    EXPECT_FALSE(missing.bitmap->isLoaded()) << id;
    EXPECT_EQ(missing.bitmap->getWidth(), 0) << id;
    EXPECT_EQ(missing.bitmap->getHeight(), 0) << id;
    DrawSurface surface(10, 6);
    DrawContext ctx(nullptr, &surface, nullptr);
    missing.bitmap->draw(&ctx, {0, 0, 10, 6});
    missing.bitmap->drawKeyed(&ctx, {0, 0, 10, 6});
    missing.bitmap->draw(nullptr, {0, 0, 10, 6});
    EXPECT_EQ(inkBounds(surface, kColorBlack), GuiRect{}) << id;
  }
}

TEST(GuiBitmapResource, UnreadableBytesGiveAnEmptyBitmap) {
  std::vector<std::uint8_t> png = keyTestImage();
  const std::vector<std::vector<std::uint8_t>> broken{
      {},
      {0x89, 'P', 'N', 'G'},
      std::vector<std::uint8_t>(png.begin(), png.begin() + 40),
      std::vector<std::uint8_t>(300, 0xAB)};
  for (const auto& bytes : broken) {
    Held bitmap{new GuiBitmap(std::span<const std::uint8_t>(bytes))};
    EXPECT_FALSE(bitmap.bitmap->isLoaded()) << bytes.size() << " bytes";
    EXPECT_EQ(bitmap.bitmap->getWidth(), 0);
  }
}

struct DesignedBitmaps {
  std::int32_t firstId;
  std::int32_t lastId;
  std::int32_t width;
  std::int32_t frameHeight;
  std::int32_t frames;
};

TEST(EmbeddedResources, EveryPanelBitmapDecodesToItsDesignedSize) {
  const DesignedBitmaps table[] = {
      {128, 128, 600, 600, 1}, {131, 133, 45, 15, 2}, {134, 165, 20, 14, 2},  {166, 167, 75, 14, 2},
      {168, 169, 37, 14, 2},   {170, 174, 75, 14, 2}, {175, 206, 37, 14, 10}, {207, 207, 40, 14, 4},
      {208, 208, 10, 10, 2},   {209, 209, 33, 15, 2},
  };
  for (const DesignedBitmaps& group : table) {
    for (std::int32_t id = group.firstId; id <= group.lastId; ++id) {
      Held bitmap{new GuiBitmap(id)};
      EXPECT_TRUE(bitmap.bitmap->isLoaded()) << "resource " << id;
      EXPECT_EQ(bitmap.bitmap->getWidth(), group.width) << "resource " << id;
      EXPECT_EQ(bitmap.bitmap->getHeight(), group.frameHeight * group.frames) << "resource " << id;
    }
  }
}

TEST(EmbeddedResources, TableIsSortedAndLookupUsesTheLow16BitsOfAnId) {
  const auto table = embeddedResources();
  ASSERT_FALSE(table.empty());
  for (std::size_t i = 1; i < table.size(); ++i) EXPECT_LT(table[i - 1].id, table[i].id);
  for (const EmbeddedResource& entry : table) {
    EXPECT_EQ(findResource(entry.id).data(), entry.data) << entry.id;
  }
  EXPECT_TRUE(findResource(129).empty());
  Held wide{new GuiBitmap(0x10000 | 128)};
  EXPECT_EQ(wide.bitmap->getWidth(), 600);
  EXPECT_EQ(wide.bitmap->getResourceId(), 0x10000 | 128);
}

TEST(OffscreenContext, WithoutABitmapIsTwentySquareAndBlack) {
  DrawSurface window(30, 30);
  DrawContext source(nullptr, &window, nullptr);
  source.setFillColor(kColorRed);
  OffscreenContext offscreen(&source, nullptr);
  EXPECT_EQ(offscreen.getWidth(), 20);
  EXPECT_EQ(offscreen.getHeight(), 20);
  EXPECT_EQ(offscreen.getWindow(), nullptr);
  EXPECT_EQ(inkBounds(*offscreen.getDevice(), kColorBlack), GuiRect{});
}

TEST(OffscreenContext, FromABitmapHasItsSizeAndPixels) {
  Held image{new GuiBitmap(keyTestImage())};
  OffscreenContext offscreen(nullptr, image.bitmap);
  ASSERT_EQ(offscreen.getWidth(), 4);
  ASSERT_EQ(offscreen.getHeight(), 2);
  EXPECT_EQ(offscreen.getDevice()->pixel(1, 0), kColorRed);
  EXPECT_EQ(offscreen.getDevice()->pixel(0, 0), kColorWhite);
  EXPECT_EQ(offscreen.getDevice()->pixel(0, 1), kNearWhite);
}

TEST(OffscreenContext, KeepsTheFrameOfItsSource) {
  int frameStandIn = 0;
  auto* frame = reinterpret_cast<GuiFrame*>(&frameStandIn);
  DrawContext source(frame, nullptr, nullptr, {0, 0, 600, 600});
  OffscreenContext offscreen(&source, nullptr);
  EXPECT_EQ(offscreen.getFrame(), frame);
  EXPECT_EQ(offscreen.getClipRect(), (GuiRect{0, 0, 600, 600}));
}

TEST(OffscreenContext, ColourConstructorPaintsEveryPixel) {
  OffscreenContext offscreen(nullptr, 7, 5, kColorYellow);
  EXPECT_EQ(offscreen.getFillColor(), kColorYellow);
  EXPECT_EQ(offscreen.getFrameColor(), kColorYellow);
  EXPECT_EQ(inkBounds(*offscreen.getDevice(), kColorYellow), GuiRect{});
}

TEST(OffscreenContext, CopyToPlacesTheBlockAtTheRectPlusTheDestinationOffset) {
  OffscreenContext offscreen(nullptr, 6, 6, kColorBlue);
  offscreen.drawPoint({4, 3}, kColorRed);
  DrawSurface surface(12, 10);
  DrawContext target(nullptr, &surface, nullptr);
  target.setOffset({2, 1});
  offscreen.copyTo(&target, {1, 1, 3, 3}, {3, 2});
  offscreen.copyTo(nullptr, {1, 1, 3, 3}, {3, 2});
  EXPECT_EQ(picture(surface, {0, 0, 6, 5}, kRedBlue),
            rows({"......", "......", "...BB.", "...BR.", "......"}));
}

TEST(OffscreenContext, ImpossibleSizesGiveAnEmptySurface) {
  for (const auto& [w, h] : {std::pair{-5, 10}, std::pair{0, 0}, std::pair{INT32_MAX, INT32_MAX}}) {
    OffscreenContext offscreen(nullptr, w, h, kColorRed);
    EXPECT_EQ(offscreen.getWidth(), 0);
    offscreen.fillRect({0, 0, 10, 10});
  }
}

TEST(PngWriter, WritesTheSurfaceSoThatItReadsBackTheSame) {
  DrawSurface surface(13, 9);
  {
    DrawContext ctx(nullptr, &surface, nullptr);
    ctx.setFrameColor(kColorCyan);
    ctx.drawEllipse({0, 0, 13, 9});
    ctx.drawPoint({6, 4}, kColorMagenta);
  }
  const std::string path = tempPath("roundtrip.png");
  DrawContext writer(nullptr, &surface, nullptr);
  const WriteResult written = writer.writePng(path);
  ASSERT_TRUE(written.ok) << written.message;
  const std::vector<std::uint8_t> bytes = readFile(path);
  Held image{new GuiBitmap(std::span<const std::uint8_t>(bytes))};
  OffscreenContext copy(nullptr, image.bitmap);
  EXPECT_TRUE(samePixels(*copy.getDevice(), surface));
}

TEST(PngWriter, FailsWithAMessageWhereItCannotWrite) {
  DrawSurface surface(4, 4);
  for (const std::string path : {"/nonexistent-folder/panel.png", "/proc/version"}) {
    const WriteResult written = surface.writePng(path);
    EXPECT_FALSE(written.ok) << path;
    EXPECT_NE(written.message.find(path), std::string::npos) << written.message;
  }
  const WriteResult empty = DrawSurface(0, 0).writePng(tempPath("empty.png"));
  EXPECT_FALSE(empty.ok);
}

}  // namespace
