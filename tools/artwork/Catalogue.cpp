// The control bitmap table and its drawing (see Catalogue.h).
#include "Catalogue.h"

#include "Layout.h"

#include <array>
#include <string>
#include <string_view>

namespace artwork {

namespace {

constexpr CaptionFont kWordFont{false, 10.0};
constexpr CaptionFont kNumberFont{true, 10.0};
constexpr CaptionFont kRoutingFont{false, 10.0};

std::vector<FaceRecipe> offThenOn(const std::string& caption) {
  return {{Tone::blue, Symbol::caption, caption}, {Tone::orange, Symbol::caption, caption}};
}

void addTwoFrame(std::vector<BitmapRecipe>& out, int id, int width, int frameHeight,
                 CaptionFont font, const std::string& caption) {
  out.push_back({id, width, frameHeight, true, font, offThenOn(caption)});
}

// Layer and curve kind buttons 131-133 and the group buttons 166-174.
void addWordButtons(std::vector<BitmapRecipe>& out) {
  constexpr std::array<std::string_view, 3> kInds{"Volume", "Detune", "Phase"};
  for (int i = 0; i < 3; ++i) {
    addTwoFrame(out, 131 + i, 45, 15, kWordFont, std::string(kInds[i]));
  }
}

void addNumberButtons(std::vector<BitmapRecipe>& out) {
  for (int n = 1; n <= 32; ++n) {
    addTwoFrame(out, 133 + n, 20, 14, kNumberFont, std::to_string(n));
  }
}

void addGroupButtons(std::vector<BitmapRecipe>& out) {
  struct Group {
    int id;
    int width;
    std::string_view caption;
  };
  constexpr std::array<Group, 9> kGroups{{{166, 75, "Lower 1/2"},
                                          {167, 75, "Upper 1/2"},
                                          {168, 37, "Odd"},
                                          {169, 37, "Even"},
                                          {170, 75, "Octave"},
                                          {171, 75, "First 1/4"},
                                          {172, 75, "Second 1/4"},
                                          {173, 75, "Third 1/4"},
                                          {174, 75, "Fourth 1/4"}}};
  for (const Group& g : kGroups) {
    addTwoFrame(out, g.id, g.width, 14, kWordFont, std::string(g.caption));
  }
}

// Routing strips 175-206: five states (dry, flanger, delay, phaser, reverb), each released then
// pressed.
void addRoutingStrips(std::vector<BitmapRecipe>& out) {
  for (int n = 1; n <= layout::kHarmonicCount; ++n) {
    BitmapRecipe recipe{174 + n, 37, 14, true, kRoutingFont, {}};
    for (const layout::RoutingBus& bus : layout::kRoutingBuses) {
      const std::string caption = std::to_string(n) + " " + std::string(bus.caption);
      recipe.frames.push_back({Tone::orange, Symbol::caption, caption});
      recipe.frames.push_back({Tone::blue, Symbol::caption, caption});
    }
    out.push_back(std::move(recipe));
  }
}

void addSmallParts(std::vector<BitmapRecipe>& out) {
  out.push_back({207,
                 40,
                 14,
                 true,
                 kWordFont,
                 {{Tone::blue, Symbol::caption, "Sine"},
                  {Tone::orange, Symbol::caption, "Sine"},
                  {Tone::blue, Symbol::triangleWave, ""},
                  {Tone::orange, Symbol::triangleWave, ""}}});
  out.push_back({208,
                 10,
                 10,
                 false,
                 kWordFont,
                 {{Tone::grey, Symbol::cross, ""}, {Tone::orange, Symbol::none, ""}}});
  addTwoFrame(out, 209, 33, 15, kWordFont, "Reset");
}

}  // namespace

std::vector<BitmapRecipe> controlBitmaps() {
  std::vector<BitmapRecipe> out;
  addWordButtons(out);
  addNumberButtons(out);
  addGroupButtons(out);
  addRoutingStrips(out);
  addSmallParts(out);
  return out;
}

std::unique_ptr<Canvas> drawBitmap(const BitmapRecipe& recipe, const Fonts& fonts) {
  auto canvas = std::make_unique<Canvas>(recipe.width, recipe.height());
  int top = 0;
  for (const FaceRecipe& face : recipe.frames) {
    paintFace(*canvas, fonts, {top, recipe.width, recipe.frameHeight, recipe.rounded}, face,
              recipe.font);
    top += recipe.frameHeight;
  }
  return canvas;
}

}  // namespace artwork
