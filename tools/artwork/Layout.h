// Panel geometry the artwork is drawn to: the boxes of the background image and the places of
// the controls that stand on it. Boxes are inclusive pixel rectangles (borders included); control
// rectangles are the toolkit's (left, top, right, bottom) with right and bottom just outside.
#pragma once

#include "Canvas.h"

#include <array>
#include <string_view>

namespace artwork::layout {

inline constexpr int kPanelSize = 600;

// Title and footer strips.
inline constexpr PixelRect kTitleStrip{1, 1, 598, 21};
inline constexpr PixelRect kFooterStrip{1, 578, 598, 598};
inline constexpr int kRoutingLineRow = 404;
inline constexpr PixelRect kRoutingBand{1, 345, 598, 403};

// Boxes outlined in white.
inline constexpr PixelRect kMainBox{4, 27, 58, 178};
inline constexpr PixelRect kHarmonicsBox{196, 27, 594, 178};
inline constexpr PixelRect kOscSelectBox{4, 188, 99, 339};
inline constexpr PixelRect kGroupSelectBox{103, 188, 192, 339};
inline constexpr PixelRect kEnvelopesBox{196, 188, 594, 339};
inline constexpr PixelRect kDelayBox{35, 408, 108, 576};
inline constexpr PixelRect kFlangerBox{112, 408, 261, 576};
inline constexpr PixelRect kPhaserBox{265, 408, 414, 576};
inline constexpr PixelRect kReverbBox{418, 408, 567, 576};
// The flanger's inner sweep box, outlined in the lighter blue-grey.
inline constexpr PixelRect kLfoBox{186, 467, 256, 570};

struct ControlRect {
  int left;
  int top;
  int right;
  int bottom;

  [[nodiscard]] constexpr int width() const { return right - left; }
  [[nodiscard]] constexpr int height() const { return bottom - top; }
  [[nodiscard]] constexpr double centreX() const { return (left + right) * 0.5; }
};

// Main bars (volume, detune).
inline constexpr ControlRect kMainVolumeBar{15, 54, 25, 154};
inline constexpr ControlRect kMainDetuneBar{39, 54, 49, 154};

// Harmonic bar column k (0-31): the bars and, above them, the oscillator switches.
inline constexpr int kHarmonicCount = 32;
[[nodiscard]] constexpr ControlRect harmonicBar(int k) {
  return {204 + 12 * k, 60, 214 + 12 * k, 160};
}
[[nodiscard]] constexpr ControlRect oscillatorSwitch(int k) {
  return {204 + 12 * k, 50, 214 + 12 * k, 60};
}
[[nodiscard]] constexpr ControlRect oscillatorButton(int k) {
  return {10 + 21 * (k % 4), 207 + 16 * (k / 4), 30 + 21 * (k % 4), 221 + 16 * (k / 4)};
}
[[nodiscard]] constexpr ControlRect routingSwitch(int k) {
  return {150 + 40 * (k % 8), 347 + 14 * (k / 8), 187 + 40 * (k % 8), 361 + 14 * (k / 8)};
}

// The routing switches' five states, in state order: the bus caption each shows after the
// oscillator's number, and the bus it names.
struct RoutingBus {
  std::string_view caption;
  std::string_view name;
};
inline constexpr std::array<RoutingBus, 5> kRoutingBuses{
    {{"X", "dry"}, {"Fla", "flanger"}, {"Del", "delay"}, {"Pha", "phaser"}, {"Rev", "reverb"}}};

// Layer buttons (harmonics box) and curve kind buttons (envelopes box): volume, detune, phase.
inline constexpr std::array<ControlRect, 3> kLayerButtons{
    {{199, 30, 244, 45}, {247, 30, 292, 45}, {295, 30, 340, 45}}};
inline constexpr std::array<ControlRect, 3> kCurveKindButtons{
    {{199, 191, 244, 206}, {247, 191, 292, 206}, {295, 191, 340, 206}}};
inline constexpr ControlRect kResetButton{559, 191, 592, 206};
inline constexpr ControlRect kCurveEditor{195, 205, 598, 344};

struct GroupButton {
  int bitmap;
  ControlRect rect;
};
inline constexpr std::array<GroupButton, 9> kGroupButtons{{{166, {110, 207, 185, 221}},
                                                           {167, {110, 223, 185, 237}},
                                                           {168, {110, 239, 147, 253}},
                                                           {169, {148, 239, 185, 253}},
                                                           {170, {110, 255, 185, 269}},
                                                           {171, {110, 271, 185, 285}},
                                                           {172, {110, 287, 185, 301}},
                                                           {173, {110, 303, 185, 317}},
                                                           {174, {110, 319, 185, 333}}}};

// Effect boxes: the box, its caption and the switch that stands left of the caption.
struct EffectBox {
  PixelRect box;
  std::string_view caption;
  ControlRect effectSwitch;
};
inline constexpr std::array<EffectBox, 4> kEffectBoxes{
    {{kDelayBox, "Delay", {39, 412, 50, 421}},
     {kFlangerBox, "Flanger", {116, 412, 126, 421}},
     {kPhaserBox, "Phaser", {269, 412, 280, 421}},
     {kReverbBox, "Reverb", {422, 412, 432, 421}}}};

// Effect bars with the caption printed above each, and the value display below each bar.
struct EffectBar {
  std::string_view caption;
  ControlRect bar;
  ControlRect display;
};
inline constexpr std::array<EffectBar, 19> kEffectBars{{
    {"Volume", {48, 440, 98, 450}, {60, 453, 85, 465}},
    {"Feedback", {48, 490, 98, 500}, {60, 503, 85, 515}},
    {"Delay(sec)", {48, 540, 98, 550}, {60, 553, 85, 565}},
    {"Delay(msec)", {122, 440, 172, 450}, {134, 453, 159, 465}},
    {"Dry Vol", {122, 490, 172, 500}, {134, 503, 159, 515}},
    {"Wet Vol", {122, 540, 172, 550}, {134, 553, 159, 565}},
    {"Depth", {197, 506, 247, 516}, {209, 519, 234, 531}},
    {"Frequency", {197, 542, 247, 552}, {209, 555, 234, 567}},
    {"Feedback", {197, 440, 247, 450}, {209, 453, 234, 465}},
    {"Depth", {275, 440, 325, 450}, {287, 453, 312, 465}},
    {"Min Del", {275, 490, 325, 500}, {287, 503, 312, 515}},
    {"Max Del", {275, 540, 325, 550}, {287, 553, 312, 565}},
    {"Feedback", {352, 440, 402, 450}, {364, 453, 389, 465}},
    {"Frequency", {352, 490, 402, 500}, {364, 503, 389, 515}},
    {"Room Size", {430, 442, 480, 452}, {442, 457, 467, 467}},
    {"Damping", {430, 492, 480, 502}, {442, 507, 467, 517}},
    {"Width", {430, 542, 480, 552}, {442, 557, 467, 567}},
    {"Dry", {505, 442, 555, 452}, {517, 457, 542, 467}},
    {"Wet", {505, 492, 555, 502}, {517, 507, 542, 517}},
}};
inline constexpr ControlRect kSweepShapeSwitch{201, 482, 241, 496};

}  // namespace artwork::layout
