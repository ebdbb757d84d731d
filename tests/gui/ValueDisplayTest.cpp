// The value display: its text (the default format and both formatters), its box, 3-D frames,
// bitmap background, shadow, alignment, the no-text and no-draw styles, and which setters mark
// it for a redraw.
#include <gtest/gtest.h>

#include <cstring>

#include "gui/GuiValueDisplay.h"
#include "tests/gui/ControlTestSupport.h"
#include "tests/gui/PixelPicture.h"

namespace {

constexpr GuiRect kBox{10, 10, 90, 30};
constexpr GuiColor kBack{0, 0, 160, 0};
constexpr GuiColor kEdge{0, 160, 0, 0};

// Draws `display` on a black 100 x 40 surface.
std::unique_ptr<DrawSurface> drawn(GuiValueDisplay& display) {
  auto surface = std::make_unique<DrawSurface>(100, 40);
  DrawContext ctx(nullptr, surface.get(), nullptr);
  display.draw(&ctx);
  return surface;
}

// Whether any pixel of `area` has the colour.
bool anyPixel(const DrawSurface& s, const GuiRect& area, GuiColor color) {
  for (std::int32_t y = area.top; y < area.bottom; ++y) {
    for (std::int32_t x = area.left; x < area.right; ++x) {
      if (s.pixel(x, y) == color) return true;
    }
  }
  return false;
}

// The columns in which text of a bright colour was drawn (red above 128 or green above 128).
GuiRect textInk(const DrawSurface& s, const GuiRect& area) {
  GuiRect box{area.right, area.bottom, area.left, area.top};
  for (std::int32_t y = area.top; y < area.bottom; ++y) {
    for (std::int32_t x = area.left; x < area.right; ++x) {
      const GuiColor c = s.pixel(x, y);
      if (c.red < 128 && c.green < 200) continue;
      box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
             std::max(box.bottom, y + 1)};
    }
  }
  return box;
}

void upperCase(float value, char* text) {
  std::snprintf(text, 256, "V=%.1f", static_cast<double>(value));
}
void withUserData(float value, char* text, void* data) {
  std::snprintf(text, 256, "%s%.0f", static_cast<const char*>(data),
                static_cast<double>(value * 100));
}
void tooLong(float, char* text) {
  std::memset(text, 'x', 300);
  text[300] = '\0';
}

TEST(GuiValueDisplay, ValueHalfWithoutAFormatterShowsZeroPointFifty) {
  GuiValueDisplay display(kBox, nullptr);
  display.setValue(0.5f);
  EXPECT_EQ(display.valueText(), "0.50");
  display.setValue(-12.345f);
  EXPECT_EQ(display.valueText(), "-12.35");
}

TEST(GuiValueDisplay, TheExtendedFormatterWinsOverThePlainOneAndGetsItsUserData) {
  GuiValueDisplay display(kBox, nullptr);
  display.setValue(0.25f);
  display.setValueFormatter(upperCase);
  EXPECT_EQ(display.valueText(), "V=0.2");
  char prefix[] = "pct ";
  display.setValueFormatterEx(withUserData, prefix);
  EXPECT_EQ(display.valueText(), "pct 25");
  display.setValueFormatterEx(nullptr, nullptr);
  EXPECT_EQ(display.valueText(), "V=0.2");
}

TEST(GuiValueDisplay, AFormatterWritingTooMuchIsCutAt255Characters) {
  GuiValueDisplay display(kBox, nullptr);
  display.setValueFormatter(tooLong);
  EXPECT_EQ(display.valueText(), std::string(255, 'x'));
}

TEST(GuiValueDisplay, WithoutABitmapTheBoxIsFilledWithBackColourAndOutlinedInFrameColour) {
  GuiValueDisplay display(kBox, nullptr, kStyleNoText);
  display.setBackColor(kBack);
  display.setFrameColor(kEdge);
  auto s = drawn(display);
  EXPECT_EQ(s->pixel(10, 20), kEdge);
  EXPECT_EQ(s->pixel(90, 20), kEdge);
  EXPECT_EQ(s->pixel(50, 10), kEdge);
  EXPECT_EQ(s->pixel(50, 30), kEdge);
  EXPECT_EQ(s->pixel(11, 11), kBack);
  EXPECT_EQ(s->pixel(89, 29), kBack);
  EXPECT_EQ(s->pixel(9, 20), kColorBlack) << "nothing outside the box";
  EXPECT_EQ(s->pixel(91, 20), kColorBlack);
  EXPECT_FALSE(display.isDirty());
}

struct FrameCase {
  const char* name;
  std::int32_t style;
  GuiColor leftTop;
  GuiColor rightBottom;
};

TEST(GuiValueDisplay, ThreeDFramesPutBackAndFrameColourOnOppositeEdges) {
  const FrameCase cases[] = {{"sunken", kStyleSunkenFrame, kBack, kEdge},
                             {"raised", kStyleRaisedFrame, kEdge, kBack}};
  for (const FrameCase& c : cases) {
    GuiValueDisplay display(kBox, nullptr, c.style | kStyleNoText);
    display.setBackColor(kBack);
    display.setFrameColor(kEdge);
    auto s = drawn(display);
    EXPECT_EQ(s->pixel(10, 20), c.leftTop) << c.name << ": left edge";
    EXPECT_EQ(s->pixel(50, 10), c.leftTop) << c.name << ": top edge";
    EXPECT_EQ(s->pixel(90, 10), c.leftTop) << c.name << ": top edge runs to right";
    EXPECT_EQ(s->pixel(90, 20), c.rightBottom) << c.name << ": right edge";
    EXPECT_EQ(s->pixel(50, 30), c.rightBottom) << c.name << ": bottom edge";
    EXPECT_EQ(s->pixel(50, 20), kBack) << c.name << ": inside";
  }
}

TEST(GuiValueDisplay, TheBackgroundBitmapStartsAtTheTextOffset) {
  BitmapRef bitmap{stripBitmap(80, 20, {kColorRed, kColorGreen})};
  GuiValueDisplay display(kBox, bitmap, kStyleNoText);
  display.setTextOffset({0, 20});
  auto s = drawn(display);
  EXPECT_EQ(s->pixel(10, 10), kColorGreen);
  EXPECT_EQ(s->pixel(89, 29), kColorGreen);
}

TEST(GuiValueDisplay, TextIsDrawnInTheFontColourAlignedAsAsked) {
  GuiValueDisplay display(kBox, nullptr);
  display.setValue(0.5f);
  display.setFontColor(kColorYellow);
  GuiRect left, centre, right;
  for (auto [align, box] :
       {std::pair{TextAlign::left, &left}, std::pair{TextAlign::center, &centre},
        std::pair{TextAlign::right, &right}}) {
    display.setTextAlign(align);
    auto s = drawn(display);
    *box = textInk(*s, {11, 11, 90, 30});
    ASSERT_FALSE(box->isEmpty()) << "text was drawn";
  }
  EXPECT_LT(left.left, 16);
  EXPECT_GT(right.right, 84);
  EXPECT_NEAR((centre.left + centre.right) / 2, 50, 3);
  EXPECT_EQ(left.width(), right.width());
}

TEST(GuiValueDisplay, TheShadowStyleDrawsTheTextInTheShadowColourOnePixelLowerRight) {
  GuiValueDisplay plain(kBox, nullptr);
  GuiValueDisplay shadowed(kBox, nullptr, kStyleShadowText);
  for (GuiValueDisplay* d : {&plain, &shadowed}) {
    d->setValue(0.5f);
    d->setFontColor(kColorGreen);
  }
  auto a = drawn(plain);
  auto b = drawn(shadowed);
  EXPECT_FALSE(anyPixel(*a, kBox, kColorRed));
  EXPECT_TRUE(anyPixel(*b, kBox, kColorRed)) << "the default shadow colour is red";
}

TEST(GuiValueDisplay, AnOpaqueTextCellIsFilledWithBackColourOverTheBitmap) {
  BitmapRef bitmap{stripBitmap(80, 20, {kColorRed})};
  GuiValueDisplay display(kBox, bitmap);
  display.setBackColor(kBack);
  display.setValue(0.5f);
  auto clear = drawn(display);
  EXPECT_FALSE(anyPixel(*clear, kBox, kBack));
  display.setClearTextBackground(false);
  auto opaque = drawn(display);
  EXPECT_TRUE(anyPixel(*opaque, kBox, kBack));
}

TEST(GuiValueDisplay, TheNoDrawStyleStartsCleanAndPaintsNothing) {
  GuiValueDisplay display(kBox, nullptr, kStyleNoDraw);
  EXPECT_FALSE(display.isDirty());
  display.setValue(0.7f);
  auto s = drawn(display);
  EXPECT_TRUE(inkBounds(*s, kColorBlack).isEmpty());
  EXPECT_FALSE(display.isDirty());
  GuiValueDisplay ordinary(kBox, nullptr);
  EXPECT_TRUE(ordinary.isDirty());
}

TEST(GuiValueDisplay, TheNoTextStyleLeavesTheBoxPlain) {
  GuiValueDisplay display(kBox, nullptr, kStyleNoText);
  display.setBackColor(kBack);
  display.setValue(0.5f);
  auto s = drawn(display);
  for (std::int32_t x = 11; x < 90; ++x) EXPECT_EQ(s->pixel(x, 20), kBack) << x;
}

struct SetterCase {
  const char* name;
  std::function<void(GuiValueDisplay&)> same;
  std::function<void(GuiValueDisplay&)> changed;
};

TEST(GuiValueDisplay, SettersMarkTheDisplayDirtyOnlyWhenTheyChangeSomething) {
  const SetterCase cases[] = {
      {"font", [](auto& d) { d.setFont(FontId::normal); }, [](auto& d) { d.setFont(FontId::big); }},
      {"font colour", [](auto& d) { d.setFontColor(kColorWhite); },
       [](auto& d) { d.setFontColor(kColorBlue); }},
      {"back colour (spare byte ignored)",
       [](auto& d) {
         d.setBackColor({0, 0, 0, 9});
       },
       [](auto& d) { d.setBackColor(kColorBlue); }},
      {"frame colour", [](auto& d) { d.setFrameColor(kColorBlack); },
       [](auto& d) { d.setFrameColor(kColorBlue); }},
      {"shadow colour", [](auto& d) { d.setShadowColor(kColorRed); },
       [](auto& d) { d.setShadowColor(kColorBlue); }},
      {"align", [](auto& d) { d.setTextAlign(TextAlign::center); },
       [](auto& d) { d.setTextAlign(TextAlign::left); }},
      {"style", [](auto& d) { d.setStyle(0); }, [](auto& d) { d.setStyle(kStyleShadowText); }},
      {"font style", [](auto& d) { d.setFontStyle(0); },
       [](auto& d) { d.setFontStyle(kFontBold); }},
  };
  for (const SetterCase& c : cases) {
    GuiValueDisplay display(kBox, nullptr);
    display.setDirty(false);
    c.same(display);
    EXPECT_FALSE(display.isDirty()) << c.name;
    c.changed(display);
    EXPECT_TRUE(display.isDirty()) << c.name;
  }
}

}  // namespace
