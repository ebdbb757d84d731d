// The panel background (see Background.h). Everything is placed from Layout.h so that captions,
// numbers and recesses line up with the controls drawn over them.
#include "Background.h"

#include "Layout.h"
#include "Palette.h"

#include <algorithm>
#include <array>
#include <string>

namespace artwork {

namespace {

using namespace layout;

// The product name in capitals, and one line of credit in the footer.
constexpr std::string_view kTitle = "OVERTONICUM";
constexpr std::string_view kSubtitle = "32-HARMONIC ADDITIVE SYNTHESIZER";
constexpr std::string_view kCredit =
    "Overtonic 1.0  \xC2\xB7  additive synthesis with drawn envelopes  \xC2\xB7  Tallowmere "
    "Recordings";

struct Styles {
  TextStyle boxCaption;
  TextStyle setting;
  TextStyle minorHeading;
  TextStyle barLabel;
  TextStyle tileNumber;
  TextStyle watermark;
};

Styles stylesFor(const Fonts& fonts) {
  return {{fonts.bold(), 11.0, palette::kCaption},
          {fonts.regular(), 9.0, palette::kSettingCaption},
          {fonts.bold(), 9.0, palette::kSettingCaption},
          {fonts.regular(), 8.0, palette::kCaption},
          {fonts.regular(), 8.0, palette::kTileText},
          {fonts.bold(), 64.0, palette::kWatermark}};
}

// Logo: the first five partials of a harmonic series as bars, heights falling as 1/n.
void drawLogo(Canvas& c) {
  const PixelRect tile{5, 3, 21, 19};
  c.fill(tile, palette::kLogoGround);
  constexpr std::array<int, 5> kHeights{13, 7, 4, 3, 3};
  for (int n = 0; n < 5; ++n) {
    const int left = 7 + 3 * n;
    c.fill({left, tile.bottom - kHeights[n], left + 1, tile.bottom - 1}, palette::kLogoBar);
  }
}

// The same emblem, large and faint, fills the open ground between the main and harmonics boxes:
// eight partials, heights falling as 1/n.
void drawEmblem(Canvas& c) {
  constexpr int kPartials = 8;
  constexpr int kPitch = 12;
  constexpr int kBarWidth = 8;
  const int centre = (kMainBox.right + kHarmonicsBox.left) / 2;
  const int left = centre - (kPartials * kPitch - (kPitch - kBarWidth)) / 2;
  const int bottom = kMainVolumeBar.bottom - 1;
  const int tallest = kMainVolumeBar.height() - 10;
  for (int n = 1; n <= kPartials; ++n) {
    const int barLeft = left + (n - 1) * kPitch;
    c.fill({barLeft, bottom - tallest / n + 1, barLeft + kBarWidth - 1, bottom},
           palette::kWatermark);
  }
}

void drawTitle(Canvas& c, const Fonts& fonts) {
  c.fill(kTitleStrip, palette::kStrip);
  drawLogo(c);
  const TextStyle title{fonts.bold(), 14.0, palette::kTitleText};
  c.text(kTitle, title, 29, c.centredBaseline(title, kTitleStrip), 2.0);
  const TextStyle subtitle{fonts.regular(), 9.0, palette::kTitleSubtext};
  const TextInk ink = c.measure(kSubtitle, subtitle);
  c.text(kSubtitle, subtitle, kTitleStrip.right - 6 - ink.width - ink.left,
         c.centredBaseline(subtitle, kTitleStrip));
}

void drawFooter(Canvas& c, const Fonts& fonts) {
  c.fill(kFooterStrip, palette::kStrip);
  c.textCentred(kCredit, {fonts.regular(), 10.0, palette::kFooterText}, kFooterStrip);
}

// A caption centred on `centreX` but kept at least two pixels inside the box's outline.
void captionInside(Canvas& c, std::string_view text, const TextStyle& style, double centreX,
                   double baseline, const PixelRect& box) {
  const TextInk ink = c.measure(text, style);
  const double x = c.textCentredX(text, style, centreX);
  const double lowest = box.left + 2 - ink.left;
  const double highest = box.right - 2 - ink.left - ink.width;
  c.text(text, style, std::clamp(x, lowest, std::max(lowest, highest)), baseline);
}

void drawMain(Canvas& c, const Styles& s) {
  c.textCentred("Main", s.boxCaption,
                {kMainBox.left, kMainBox.top + 1, kMainBox.right, kMainVolumeBar.top - 2});
  const PixelRect labels{kMainBox.left, kMainVolumeBar.bottom, kMainBox.right, kMainBox.bottom - 1};
  const double baseline = c.centredBaseline(s.barLabel, labels);
  captionInside(c, "Vol", s.barLabel, kMainVolumeBar.centreX(), baseline, kMainBox);
  captionInside(c, "Detune", s.barLabel, kMainDetuneBar.centreX(), baseline, kMainBox);
}

// Numbers 1-32 on small tiles under the bar columns, each tile exactly as wide as its bar.
void drawHarmonics(Canvas& c, const Styles& s) {
  const ControlRect firstBar = harmonicBar(0);
  c.textCentred(
      "Harmonics", s.watermark,
      {kHarmonicsBox.left + 1, kLayerButtons[0].bottom, kHarmonicsBox.right - 1, firstBar.bottom});
  const int tileTop = firstBar.bottom + 3;
  const int tileBottom = kHarmonicsBox.bottom - 3;
  for (int k = 0; k < kHarmonicCount; ++k) {
    const ControlRect bar = harmonicBar(k);
    const PixelRect tile{bar.left, tileTop, bar.right - 1, tileBottom};
    c.fill(tile, palette::kTile);
    c.textCentred(std::to_string(k + 1), s.tileNumber, tile);
  }
}

void drawSelectBoxes(Canvas& c, const Styles& s) {
  const int captionBottom = oscillatorButton(0).top - 2;
  c.textCentred("Osc Select", s.boxCaption,
                {kOscSelectBox.left, kOscSelectBox.top + 1, kOscSelectBox.right, captionBottom});
  c.textCentred(
      "Group Select", s.boxCaption,
      {kGroupSelectBox.left, kGroupSelectBox.top + 1, kGroupSelectBox.right, captionBottom});
}

void drawEnvelopes(Canvas& c, const Styles& s) {
  c.textCentred("Envelopes", s.watermark,
                {kEnvelopesBox.left + 1, kCurveKindButtons[0].bottom, kEnvelopesBox.right - 1,
                 kEnvelopesBox.bottom - 1});
}

// The routing band stays plain ground under the switches: a caption names it at the left, and a
// legend at the right spells out the bus abbreviations the switches show.
void drawRouting(Canvas& c, const Styles& s) {
  const ControlRect first = routingSwitch(0);
  const ControlRect last = routingSwitch(kHarmonicCount - 1);
  const PixelRect rows{kMainBox.left, first.top, first.left - 10, last.bottom - 1};
  const TextInk ink = c.measure("Output routing", s.boxCaption);
  c.text("Output routing", s.boxCaption, rows.right - ink.width - ink.left,
         c.centredBaseline(s.boxCaption, rows));

  const int legendLeft = last.right + 14;
  const int lineHeight = 11;
  double baseline = first.top + 8;
  for (const RoutingBus& bus : kRoutingBuses) {
    c.text(bus.caption, s.minorHeading, legendLeft, baseline);
    c.text(bus.name, s.setting, legendLeft + 24, baseline);
    baseline += lineHeight;
  }
  c.fill({0, kRoutingLineRow, kPanelSize - 1, kRoutingLineRow}, palette::kOutline);
}

// Recess under an effect switch: a rim one pixel round the switch's rectangle.
void drawSwitchWell(Canvas& c, const ControlRect& sw) {
  const PixelRect rim{sw.left - 1, sw.top - 1, sw.right, sw.bottom};
  c.fill(rim, palette::kWell);
  c.outline(rim, palette::kWellRim);
}

void drawEffects(Canvas& c, const Styles& s) {
  for (const EffectBox& effect : kEffectBoxes) {
    c.outline(effect.box, palette::kOutline);
    drawSwitchWell(c, effect.effectSwitch);
    const PixelRect row{effect.effectSwitch.right + 4, effect.effectSwitch.top - 1,
                        effect.box.right - 2, effect.effectSwitch.bottom};
    const TextInk ink = c.measure(effect.caption, s.boxCaption);
    c.text(effect.caption, s.boxCaption, row.left - ink.left, c.centredBaseline(s.boxCaption, row));
  }
  c.outline(kLfoBox, palette::kInnerOutline);
  c.textCentred("LFO", s.minorHeading,
                {kLfoBox.left, kLfoBox.top + 1, kLfoBox.right, kSweepShapeSwitch.top - 1});
  for (const EffectBar& bar : kEffectBars) {
    c.text(bar.caption, s.setting, c.textCentredX(bar.caption, s.setting, bar.bar.centreX()),
           bar.bar.top - 3);
  }
}

}  // namespace

std::unique_ptr<Canvas> drawBackground(const Fonts& fonts) {
  auto canvas = std::make_unique<Canvas>(kPanelSize, kPanelSize);
  Canvas& c = *canvas;
  const Styles styles = stylesFor(fonts);
  c.fill({0, 0, kPanelSize - 1, kPanelSize - 1}, palette::kGround);
  c.outline({0, 0, kPanelSize - 1, kPanelSize - 1}, palette::kOutline);
  drawTitle(c, fonts);
  drawFooter(c, fonts);
  for (const PixelRect& box :
       {kMainBox, kHarmonicsBox, kOscSelectBox, kGroupSelectBox, kEnvelopesBox}) {
    c.outline(box, palette::kOutline);
  }
  drawMain(c, styles);
  drawEmblem(c);
  drawHarmonics(c, styles);
  drawSelectBoxes(c, styles);
  drawEnvelopes(c, styles);
  drawRouting(c, styles);
  drawEffects(c, styles);
  return canvas;
}

}  // namespace artwork
