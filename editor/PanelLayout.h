// The editor panel's controls as data: every control `SynthEditor::open` creates, in creation
// order (later controls lie on top), with its class, tag, rectangle, bitmaps, starting value and
// whether it starts on show. The table is built at compile time by walking the panel's zones, so
// the code that creates, finds and tests the controls is a loop over it. Also the panel's own
// numbering of curve slots: a curve kind (volume, detune, phase) and a target (an oscillator or
// one of the nine groups).
//
// Header only and free of the toolkit's classes, so tools (the command-line host's snapshot) can
// find the controls on the panel too.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "gui/GuiTypes.h"
#include "synth/ParameterTable.h"
#include "synth/ProgramRecord.h"

namespace panel {

// The class of a control.
enum class ControlKind : std::uint8_t {
  barSlider,            // GuiBarSlider: vertical, from 0 at the bottom
  bipolarBarSlider,     // GuiBipolarBarSlider: vertical, centred
  horizontalBarSlider,  // GuiHorizontalBarSlider
  curveEditor,          // GuiCurveEditor
  onOffButton,          // GuiOnOffButton
  momentaryButton,      // GuiMomentaryButton
  cycleSwitch,          // GuiCycleSwitch
  valueDisplay,         // GuiValueDisplay (no listener, tag 0)
};

// What a control shows when the panel opens.
enum class StartValue : std::uint8_t {
  zero,       // the control's own start: off, nothing selected (the panel's own state)
  one,        // on (the volume curve kind)
  parameter,  // the plug-in's value of `parameter`, read back
  slot,       // a curve editor: its slot number, which every notification carries
};

inline constexpr std::int32_t kNoParameter = -1;
inline constexpr std::int32_t kNoBitmap = 0;
// The two bitmap ids that are absent from the resources (empty bitmaps): the bar sliders and
// curve editors are given them and draw without bitmaps.
inline constexpr std::int32_t kEmptyBitmapA = 129;
inline constexpr std::int32_t kEmptyBitmapB = 130;

struct ControlSpec {
  ControlKind kind = ControlKind::onOffButton;
  std::int32_t tag = 0;
  GuiRect rect{};
  std::int32_t bitmap = kNoBitmap;        // background bitmap id
  std::int32_t handleBitmap = kNoBitmap;  // bar sliders and curve editors
  std::int32_t frameHeight = 0;           // cycle switches and the momentary button
  std::int32_t states = 0;                // cycle switches
  StartValue start = StartValue::zero;
  std::int32_t parameter = kNoParameter;  // the parameter shown (a display: its bar's)
  std::int32_t slot = -1;                 // curve editors: the envelope slot
  std::int32_t baselineMode = 0;          // curve editors: 1 centres the baseline
  bool attached = false;                  // on show from the start
};

// ---- the panel's numbering of curves -----------------------------------------------------------

// Curve kinds, in the order of the kind buttons and the banks.
enum CurveKind : std::int32_t { kVolumeCurve = 0, kDetuneCurve = 1, kPhaseCurve = 2 };
inline constexpr std::int32_t kCurveKinds = 3;
inline constexpr std::int32_t kOscillators = parameters::kOscillators;
inline constexpr std::int32_t kGroups = 9;
// A target is an oscillator 0-31 or a group: kGroupTarget + g for groups 0-8.
inline constexpr std::int32_t kGroupTarget = kOscillators;
inline constexpr std::int32_t kTargets = kOscillators + kGroups;
inline constexpr std::int32_t kFirstGroupSlot = kCurveKinds * kOscillators;  // 96

// The selection button of each group, in group order (the order of the group slots): "Lower 1/2"
// (tag 10) comes before "Upper 1/2" (tag 9), the others follow their tags.
inline constexpr std::array<std::int32_t, kGroups> kGroupTags{
    parameters::kGroupButtons.at(1), parameters::kGroupButtons.at(0),
    parameters::kGroupButtons.at(2), parameters::kGroupButtons.at(3),
    parameters::kGroupButtons.at(4), parameters::kGroupButtons.at(5),
    parameters::kGroupButtons.at(6), parameters::kGroupButtons.at(7),
    parameters::kGroupButtons.at(8)};
// Layer buttons and curve kind buttons, by kind; the first tag of each layer's 32 bars.
inline constexpr std::array<std::int32_t, kCurveKinds> kLayerButtonTags{
    parameters::kLayerButtons.at(0), parameters::kLayerButtons.at(1),
    parameters::kLayerButtons.at(2)};
inline constexpr std::array<std::int32_t, kCurveKinds> kKindButtonTags{
    parameters::kCurveKindButtons.at(0), parameters::kCurveKindButtons.at(1),
    parameters::kCurveKindButtons.at(2)};
inline constexpr std::array<std::int32_t, kCurveKinds> kLayerFirstTags{
    parameters::kVolumeBars.first, parameters::kDetuneBars.first, parameters::kPhaseBars.first};
// Reset is the panel's last control (the parameter table agrees: see the layout test).
inline constexpr std::int32_t kResetTag = parameters::kUnusedB;
inline constexpr std::int32_t kLastTag = kResetTag;
inline constexpr std::int32_t kTagCount = kLastTag + 1;

constexpr std::int32_t slotOf(std::int32_t kind, std::int32_t target) {
  return target < kGroupTarget ? kind * kOscillators + target
                               : kFirstGroupSlot + 3 * (target - kGroupTarget) + kind;
}
constexpr std::int32_t kindOfSlot(std::int32_t slot) {
  return slot < kFirstGroupSlot ? slot / kOscillators : (slot - kFirstGroupSlot) % 3;
}
// Detune and phase curves hold values above and below a middle baseline.
constexpr std::int32_t baselineModeOfSlot(std::int32_t slot) {
  return kindOfSlot(slot) == kVolumeCurve ? 0 : 1;
}

// The target a selection button chooses (tags 50-81 and 9-17), or nullopt for any other tag.
constexpr std::optional<std::int32_t> targetOfSelectionTag(std::int32_t tag) {
  if (parameters::kOscillatorButtons.contains(tag))
    return tag - parameters::kOscillatorButtons.first;
  for (std::int32_t g = 0; g < kGroups; ++g) {
    if (kGroupTags[static_cast<std::size_t>(g)] == tag) return kGroupTarget + g;
  }
  return std::nullopt;
}
constexpr std::int32_t selectionTagOfTarget(std::int32_t target) {
  return target < kGroupTarget ? parameters::kOscillatorButtons.at(target)
                               : kGroupTags[static_cast<std::size_t>(target - kGroupTarget)];
}
// The layer (curve kind) of a layer button or of a harmonics bar, or nullopt.
constexpr std::optional<std::int32_t> kindOfLayerButton(std::int32_t tag) {
  for (std::int32_t k = 0; k < kCurveKinds; ++k) {
    if (kLayerButtonTags[static_cast<std::size_t>(k)] == tag) return k;
  }
  return std::nullopt;
}
constexpr std::optional<std::int32_t> kindOfKindButton(std::int32_t tag) {
  for (std::int32_t k = 0; k < kCurveKinds; ++k) {
    if (kKindButtonTags[static_cast<std::size_t>(k)] == tag) return k;
  }
  return std::nullopt;
}

// Where a curve editor of rectangle `r` draws its 385 points: column left + i shows point i, and
// a value v stands v * 120 pixels above the baseline, the plot's bottom row for volume curves and
// its middle row for detune and phase curves. A mouse point is clamped into the plot.
struct CurvePlot {
  std::int32_t left;
  std::int32_t top;
  std::int32_t right;
  std::int32_t bottom;
  std::int32_t middle;
  constexpr std::int32_t baseline(std::int32_t mode) const { return mode == 1 ? middle : bottom; }
};
inline constexpr float kCurvePixelsPerUnit = 120.0f;
inline constexpr GuiRect kCurveEditorRect{195, 205, 598, 344};
constexpr CurvePlot curvePlotOf(const GuiRect& r) {
  return {r.left + 7, r.top + 4, r.right - 7, r.bottom - 20, (r.top + 4 + r.bottom - 20) / 2};
}

// ---- the layout --------------------------------------------------------------------------------

namespace detail {

constexpr GuiRect at(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
  return {left, top, left + width, top + height};
}

// An effect setting: its bar's tag and top-left corner. Bars are 50 x 10; the value display sits
// 12 pixels right of the bar's left edge, 25 wide, down to 15 below the bar (from 3 below it, or
// 5 in the reverb box).
struct EffectBar {
  std::int32_t tag;
  std::int32_t left;
  std::int32_t top;
};
inline constexpr parameters::IndexRange kDelay = parameters::kDelaySettings;      // time, fb, vol
inline constexpr parameters::IndexRange kFlanger = parameters::kFlangerSettings;  // see the table
inline constexpr parameters::IndexRange kPhaser = parameters::kPhaserSettings;
inline constexpr parameters::IndexRange kReverb = parameters::kReverbSettings;
inline constexpr std::array<EffectBar, 19> kEffectBars{{
    {kDelay.at(2), 48, 440},     // volume
    {kDelay.at(1), 48, 490},     // feedback
    {kDelay.at(0), 48, 540},     // delay time
    {kFlanger.at(0), 122, 440},  // delay
    {kFlanger.at(1), 122, 490},  // dry volume
    {kFlanger.at(2), 122, 540},  // wet volume
    {kFlanger.at(4), 197, 506},  // sweep depth (LFO box)
    {kFlanger.at(5), 197, 542},  // sweep rate (LFO box)
    {kFlanger.at(3), 197, 440},  // feedback (the line gain)
    {kPhaser.at(0), 275, 440},   // depth
    {kPhaser.at(2), 275, 490},   // lowest frequency
    {kPhaser.at(3), 275, 540},   // highest frequency
    {kPhaser.at(1), 352, 440},   // feedback
    {kPhaser.at(4), 352, 490},   // rate
    {kReverb.at(0), 430, 442},   // room size
    {kReverb.at(1), 430, 492},   // damping
    {kReverb.at(2), 430, 542},   // width
    {kReverb.at(4), 505, 442},   // dry
    {kReverb.at(5), 505, 492},   // wet
}};
// The sweep shape switch stands after the flanger's feedback bar in creation order.
inline constexpr std::int32_t kSweepShapeAfter = kFlanger.at(3);
inline constexpr std::int32_t kSweepShape = kFlanger.at(6);
inline constexpr GuiRect kSweepShapeRect{201, 482, 241, 496};

// Group buttons in creation order (the order of kGroupTags): rectangle; bitmaps 166-174 follow it.
inline constexpr std::array<GuiRect, kGroups> kGroupRects{{{110, 207, 185, 221},
                                                           {110, 223, 185, 237},
                                                           {110, 239, 147, 253},
                                                           {148, 239, 185, 253},
                                                           {110, 255, 185, 269},
                                                           {110, 271, 185, 285},
                                                           {110, 287, 185, 301},
                                                           {110, 303, 185, 317},
                                                           {110, 319, 185, 333}}};
// The effect switches (delay, flanger, phaser, reverb) stand left of their box's caption.
inline constexpr std::array<GuiRect, 4> kEffectSwitchRects{
    {{39, 412, 50, 421}, {116, 412, 126, 421}, {269, 412, 280, 421}, {422, 412, 432, 421}}};

inline constexpr GuiRect kResetRect{559, 191, 592, 206};

// Column k of the harmonics area: the bars, with the oscillator switch above them.
constexpr GuiRect harmonicBar(std::int32_t k) { return at(204 + 12 * k, 60, 10, 100); }
constexpr GuiRect oscillatorSwitch(std::int32_t k) { return at(204 + 12 * k, 50, 10, 10); }

constexpr ControlSpec bar(ControlKind kind, std::int32_t tag, GuiRect rect, bool attached) {
  return {.kind = kind,
          .tag = tag,
          .rect = rect,
          .bitmap = kEmptyBitmapA,
          .handleBitmap = kEmptyBitmapB,
          .start = StartValue::parameter,
          .parameter = tag,
          .attached = attached};
}

constexpr ControlSpec button(std::int32_t tag, GuiRect rect, std::int32_t bitmap,
                             StartValue start = StartValue::zero) {
  return {.kind = ControlKind::onOffButton,
          .tag = tag,
          .rect = rect,
          .bitmap = bitmap,
          .start = start,
          .parameter = tag,
          .attached = true};
}

constexpr ControlSpec cycleSwitch(std::int32_t tag, GuiRect rect, std::int32_t states,
                                  std::int32_t bitmap) {
  return {.kind = ControlKind::cycleSwitch,
          .tag = tag,
          .rect = rect,
          .bitmap = bitmap,
          .frameHeight = 14,
          .states = states,
          .start = StartValue::parameter,
          .parameter = tag,
          .attached = true};
}

constexpr ControlSpec display(std::int32_t parameter, GuiRect rect) {
  return {.kind = ControlKind::valueDisplay,
          .rect = rect,
          .start = StartValue::parameter,
          .parameter = parameter,
          .attached = true};
}

constexpr ControlSpec curveEditor(std::int32_t slot) {
  return {.kind = ControlKind::curveEditor,
          .tag = parameters::kEnvelopeCommand,
          .rect = kCurveEditorRect,
          .bitmap = kEmptyBitmapA,
          .handleBitmap = kEmptyBitmapB,
          .start = StartValue::slot,
          .slot = slot,
          .baselineMode = baselineModeOfSlot(slot)};
}

constexpr std::size_t kControlCount =
    2 + kOscillators /* routing */ + 3 + 3 + kGroups + kOscillators /* oscillator buttons */ +
    kCurveKinds * kOscillators /* bars */ + kEnvelopeSlotCount + kEffectBars.size() * 2 +
    1 /* sweep shape */ + kOscillators /* switches */ + 4 + 1 /* Reset */;

// The panel, zone by zone, in creation order.
constexpr std::array<ControlSpec, kControlCount> buildLayout() {
  using namespace parameters;
  std::array<ControlSpec, kControlCount> layout{};
  std::size_t n = 0;
  layout[n++] = bar(ControlKind::barSlider, kMainSettings.at(0), {15, 54, 25, 154}, true);
  layout[n++] = bar(ControlKind::bipolarBarSlider, kMainSettings.at(1), {39, 54, 49, 154}, true);
  // The main bars swap their two empty bitmaps.
  for (std::size_t i = 0; i < 2; ++i) {
    layout[i].bitmap = kEmptyBitmapB;
    layout[i].handleBitmap = kEmptyBitmapA;
  }
  for (std::int32_t k = 0; k < kOscillators; ++k) {  // routing: eight columns, four rows
    layout[n++] = cycleSwitch(kRoutingSwitches.at(k),
                              at(150 + 40 * (k % 8), 347 + 14 * (k / 8), 37, 14), 5, 175 + k);
  }
  for (std::int32_t k = 0; k < kCurveKinds; ++k) {  // layer buttons
    layout[n++] = button(kLayerButtonTags[static_cast<std::size_t>(k)],
                         at(199 + 48 * k, 30, 45, 15), 131 + k);
  }
  for (std::int32_t k = 0; k < kCurveKinds; ++k) {  // curve kind buttons: volume starts on
    layout[n++] =
        button(kKindButtonTags[static_cast<std::size_t>(k)], at(199 + 48 * k, 191, 45, 15), 131 + k,
               k == kVolumeCurve ? StartValue::one : StartValue::zero);
  }
  for (std::int32_t g = 0; g < kGroups; ++g) {
    layout[n++] = button(kGroupTags[static_cast<std::size_t>(g)],
                         kGroupRects[static_cast<std::size_t>(g)], 166 + g);
  }
  for (std::int32_t k = 0; k < kOscillators; ++k) {  // oscillator buttons: four columns
    layout[n++] = button(kOscillatorButtons.at(k),
                         at(10 + 21 * (k % 4), 207 + 16 * (k / 4), 20, 14), 134 + k);
  }
  for (std::int32_t k = 0; k < kOscillators; ++k) {
    layout[n++] = bar(ControlKind::barSlider, kVolumeBars.at(k), harmonicBar(k), false);
  }
  for (std::int32_t k = 0; k < kOscillators; ++k) {
    layout[n++] = bar(ControlKind::bipolarBarSlider, kDetuneBars.at(k), harmonicBar(k), false);
  }
  for (std::int32_t k = 0; k < kOscillators; ++k) {
    layout[n++] = bar(ControlKind::bipolarBarSlider, kPhaseBars.at(k), harmonicBar(k), false);
  }
  for (std::int32_t slot = 0; slot < kEnvelopeSlotCount; ++slot) layout[n++] = curveEditor(slot);
  for (const EffectBar& effect : kEffectBars) {
    const std::int32_t below = kReverb.contains(effect.tag) ? 5 : 3;
    layout[n++] = bar(ControlKind::horizontalBarSlider, effect.tag,
                      at(effect.left, effect.top, 50, 10), true);
    layout[n++] = display(
        effect.tag, {effect.left + 12, effect.top + 10 + below, effect.left + 37, effect.top + 25});
    if (effect.tag == kSweepShapeAfter) {
      layout[n++] = cycleSwitch(kSweepShape, kSweepShapeRect, 2, 207);
    }
  }
  // The oscillator and effect switches show their parameters, like the bars.
  for (std::int32_t k = 0; k < kOscillators; ++k) {
    layout[n++] =
        button(kOscillatorSwitches.at(k), oscillatorSwitch(k), 208, StartValue::parameter);
  }
  for (std::int32_t e = 0; e < 4; ++e) {
    layout[n++] = button(kEffectSwitches.at(e), kEffectSwitchRects[static_cast<std::size_t>(e)],
                         208, StartValue::parameter);
  }
  ControlSpec reset = button(kResetTag, kResetRect, 209);
  reset.kind = ControlKind::momentaryButton;
  reset.frameHeight = 15;
  layout[n++] = reset;
  return layout;
}

}  // namespace detail

inline constexpr std::array<ControlSpec, detail::kControlCount> kLayout = detail::buildLayout();
inline constexpr std::size_t kControlCount = kLayout.size();

// The first control of the layout with `tag` (curve editors: the one of slot 0); displays, whose
// tag is 0, are not found by tag. Null for a tag without a control.
constexpr const ControlSpec* findByTag(std::int32_t tag) {
  for (const ControlSpec& spec : kLayout) {
    if (spec.kind != ControlKind::valueDisplay && spec.tag == tag) return &spec;
  }
  return nullptr;
}

}  // namespace panel
