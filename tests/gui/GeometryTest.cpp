// Value types, colour constants, the font table rule and text encoding.
#include <gtest/gtest.h>

#include <climits>

#include "gui/FontTable.h"
#include "gui/GuiTypes.h"
#include "gui/TextEncoding.h"

namespace {

struct PointCase {
  GuiPoint point;
  bool inside;
};

TEST(GuiRect, PointTestIncludesLeftAndTopAndExcludesRightAndBottom) {
  const GuiRect rect{10, 20, 30, 40};
  const PointCase cases[] = {
      {{10, 20}, true}, {{29, 39}, true},  {{30, 25}, false}, {{15, 40}, false},
      {{9, 25}, false}, {{15, 19}, false}, {{20, 30}, true},
  };
  for (const PointCase& c : cases) {
    EXPECT_EQ(rect.pointInside(c.point), c.inside) << c.point.h << "," << c.point.v;
  }
}

TEST(GuiRect, SizesIntersectionsAndOffsetsSaturateInsteadOfOverflowing) {
  const GuiRect huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  EXPECT_EQ(huge.width(), INT_MAX);
  EXPECT_EQ(huge.offsetBy({INT_MAX, INT_MAX}).right, INT_MAX);
  EXPECT_EQ((GuiRect{0, 0, 10, 10}.intersect({5, 5, 20, 20})), (GuiRect{5, 5, 10, 10}));
  EXPECT_TRUE((GuiRect{0, 0, 10, 10}.intersect({20, 20, 30, 30})).isEmpty());
  EXPECT_EQ((GuiRect{}.unite({1, 2, 3, 4})), (GuiRect{1, 2, 3, 4}));
  EXPECT_EQ((GuiRect{0, 0, 2, 2}.unite({5, 5, 6, 6})), (GuiRect{0, 0, 6, 6}));
}

struct ColorCase {
  const char* name;
  GuiColor color;
  std::uint8_t red, green, blue;
};

TEST(GuiColor, ConstantsHoldTheToolkitColours) {
  const ColorCase cases[] = {
      {"white", kColorWhite, 255, 255, 255}, {"black", kColorBlack, 0, 0, 0},
      {"grey", kColorGrey, 127, 127, 127},   {"red", kColorRed, 255, 0, 0},
      {"green", kColorGreen, 0, 255, 0},     {"blue", kColorBlue, 0, 0, 255},
      {"yellow", kColorYellow, 255, 255, 0}, {"magenta", kColorMagenta, 255, 0, 255},
      {"cyan", kColorCyan, 0, 255, 255},     {"key", kColorTransparentKey, 255, 255, 255},
  };
  for (const ColorCase& c : cases) {
    EXPECT_EQ(c.color.red, c.red) << c.name;
    EXPECT_EQ(c.color.green, c.green) << c.name;
    EXPECT_EQ(c.color.blue, c.blue) << c.name;
  }
}

TEST(GuiColor, NativeValueIsRedPlusGreenTimes256PlusBlueTimes65536AndIgnoresTheFourthByte) {
  const GuiColor color{0x12, 0x34, 0x56, 0x78};
  EXPECT_EQ(color.nativeValue(), 0x12u + 0x34u * 256u + 0x56u * 65536u);
  EXPECT_EQ(color, (GuiColor{0x12, 0x34, 0x56, 0x00}));
  EXPECT_FALSE(color == (GuiColor{0x12, 0x34, 0x57, 0x78}));
}

struct FontCase {
  std::int32_t id, size, style;
  const char* face;
  std::int32_t expectedSize, weight;
  bool italic, underline;
};

TEST(FontTable, ResolvesIdSizeAndStyleAsTheTableSays) {
  const FontCase cases[] = {
      {0, 0, 0, "Arial", 12, 700, false, false},
      {9, 0, 0, "Arial", 12, 700, false, false},
      {-1, 0, 0, "Arial", 12, 700, false, false},
      {7, 0, 0, "Symbol", 13, 400, false, false},
      {1, 0, 0, "Arial", 18, 400, false, false},
      {2, 0, 0, "Arial", 14, 400, false, false},
      {3, 0, 1, "Arial", 12, 700, false, false},
      {4, 0, 2, "Arial", 11, 400, true, false},
      {5, 0, 4, "Arial", 10, 400, false, true},
      {6, 20, 7, "Arial", 20, 700, true, true},
      {3, -15, 0, "Arial", 15, 400, false, false},
      {3, INT_MAX, 0, "Arial", kMaxFontSize, 400, false, false},
  };
  for (const FontCase& c : cases) {
    const FontSpec resolved = resolveFont(c.id, c.size, c.style);
    EXPECT_STREQ(resolved.face, c.face) << "id " << c.id;
    EXPECT_EQ(resolved.size, c.expectedSize) << "id " << c.id << " size " << c.size;
    EXPECT_EQ(resolved.weight, c.weight) << "id " << c.id << " style " << c.style;
    EXPECT_EQ(resolved.italic, c.italic) << "id " << c.id;
    EXPECT_EQ(resolved.underline, c.underline) << "id " << c.id;
  }
}

struct TextCase {
  const char* input;
  const char* expected;
};

TEST(TextEncoding, KeepsUtf8ReadsOtherBytesAsWindowsLatinAndBlanksControls) {
  const TextCase cases[] = {
      {"Osc 1", "Osc 1"},
      {"Gr\xc3\xbc\xc3\x9f", "Gr\xc3\xbc\xc3\x9f"},      // valid UTF-8 stays
      {"Gr\xfc\xdf", "Gr\xc3\xbc\xc3\x9f"},              // Latin bytes become UTF-8
      {"\x80 5", "\xe2\x82\xac 5"},                      // euro sign
      {"a\tb\nc", "a b c"},                              // one line
      {"\xc3", "\xc3\x83"},                              // truncated sequence
      {"\xed\xa0\x80", "\xc3\xad\xc2\xa0\xe2\x82\xac"},  // encoded surrogate is not UTF-8
      {"", ""},
  };
  for (const TextCase& c : cases) EXPECT_EQ(toDisplayText(c.input), c.expected) << c.input;
  EXPECT_EQ(toDisplayText(nullptr), "");
}

}  // namespace
