// The panel layout as data: places of known controls, one control per parameter the panel shows,
// the 123 curve editors, what starts on show, controls that fit what the parameter table says
// their tags do, and the panel's curve numbering checked against the plug-in's own slot table.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "editor/PanelLayout.h"
#include "synth/EnvelopeSlots.h"

namespace {

using panel::ControlKind;
using panel::ControlSpec;
using panel::StartValue;

struct PlaceCase {
  const char* what;
  std::int32_t tag;
  ControlKind kind;
  GuiRect rect;
  std::int32_t bitmap;
};

TEST(PanelLayoutTest, KnownControlsStandInTheirPlaces) {
  const PlaceCase cases[] = {
      {"main volume", 0, ControlKind::barSlider, {15, 54, 25, 154}, 130},
      {"main detune", 1, ControlKind::bipolarBarSlider, {39, 54, 49, 154}, 130},
      {"routing of oscillator 1", 18, ControlKind::cycleSwitch, {150, 347, 187, 361}, 175},
      {"routing of oscillator 9", 26, ControlKind::cycleSwitch, {150, 361, 187, 375}, 183},
      {"routing of oscillator 32", 49, ControlKind::cycleSwitch, {430, 389, 467, 403}, 206},
      {"phase layer button", 4, ControlKind::onOffButton, {295, 30, 340, 45}, 133},
      {"detune curve button", 6, ControlKind::onOffButton, {247, 191, 292, 206}, 132},
      {"group Lower 1/2", 10, ControlKind::onOffButton, {110, 207, 185, 221}, 166},
      {"group Upper 1/2", 9, ControlKind::onOffButton, {110, 223, 185, 237}, 167},
      {"group Even", 12, ControlKind::onOffButton, {148, 239, 185, 253}, 169},
      {"group Fourth 1/4", 17, ControlKind::onOffButton, {110, 319, 185, 333}, 174},
      {"oscillator button 1", 50, ControlKind::onOffButton, {10, 207, 30, 221}, 134},
      {"oscillator button 32", 81, ControlKind::onOffButton, {73, 319, 93, 333}, 165},
      {"volume bar 32", 113, ControlKind::barSlider, {576, 60, 586, 160}, 129},
      {"phase bar 1", 114, ControlKind::bipolarBarSlider, {204, 60, 214, 160}, 129},
      {"detune bar 2", 147, ControlKind::bipolarBarSlider, {216, 60, 226, 160}, 129},
      {"delay volume", 180, ControlKind::horizontalBarSlider, {48, 440, 98, 450}, 129},
      {"flanger feedback", 184, ControlKind::horizontalBarSlider, {197, 440, 247, 450}, 129},
      {"sweep shape", 187, ControlKind::cycleSwitch, {201, 482, 241, 496}, 207},
      {"reverb wet", 198, ControlKind::horizontalBarSlider, {505, 492, 555, 502}, 129},
      {"switch of oscillator 32", 230, ControlKind::onOffButton, {576, 50, 586, 60}, 208},
      {"phaser switch", 233, ControlKind::onOffButton, {269, 412, 280, 421}, 208},
      {"Reset", 235, ControlKind::momentaryButton, {559, 191, 592, 206}, 209},
  };
  for (const PlaceCase& c : cases) {
    const ControlSpec* spec = panel::findByTag(c.tag);
    ASSERT_NE(spec, nullptr) << c.what;
    EXPECT_EQ(spec->kind, c.kind) << c.what;
    EXPECT_EQ(spec->rect, c.rect) << c.what << ": got (" << spec->rect.left << ", "
                                  << spec->rect.top << ", " << spec->rect.right << ", "
                                  << spec->rect.bottom << ")";
    EXPECT_EQ(spec->bitmap, c.bitmap) << c.what;
  }
}

TEST(PanelLayoutTest, EveryParameterOfThePanelHasExactlyOneControl) {
  std::map<std::int32_t, int> controlsPerTag;
  for (const ControlSpec& spec : panel::kLayout) {
    if (spec.kind == ControlKind::valueDisplay || spec.kind == ControlKind::curveEditor) continue;
    ++controlsPerTag[spec.tag];
    EXPECT_EQ(spec.parameter, spec.tag) << "tag " << spec.tag << " shows its own parameter";
  }
  EXPECT_EQ(controlsPerTag.size(), 234u) << "no tag outside 0-235, none for 8 and 196";
  for (std::int32_t tag = 0; tag <= 235; ++tag) {
    const int expected = tag == 8 || tag == 196 ? 0 : 1;
    EXPECT_EQ(controlsPerTag[tag], expected) << "tag " << tag;
  }
}

TEST(PanelLayoutTest, EachEffectBarHasOneDisplayJustBelowIt) {
  std::set<std::int32_t> shown;
  for (const ControlSpec& spec : panel::kLayout) {
    if (spec.kind != ControlKind::valueDisplay) continue;
    EXPECT_TRUE(shown.insert(spec.parameter).second) << "two displays for " << spec.parameter;
    const ControlSpec* bar = panel::findByTag(spec.parameter);
    ASSERT_NE(bar, nullptr) << spec.parameter;
    EXPECT_EQ(bar->kind, ControlKind::horizontalBarSlider) << spec.parameter;
    const std::int32_t gap = spec.parameter >= 193 ? 5 : 3;  // the reverb box is taller
    EXPECT_EQ(spec.rect, (GuiRect{bar->rect.left + 12, bar->rect.bottom + gap, bar->rect.left + 37,
                                  bar->rect.bottom + 15}))
        << "display of " << spec.parameter;
    EXPECT_EQ(spec.start, StartValue::parameter);
    EXPECT_TRUE(spec.attached);
  }
  std::set<std::int32_t> expected;
  for (std::int32_t index = 178; index <= 198; ++index) {
    if (index != 187 && index != 196) expected.insert(index);
  }
  EXPECT_EQ(shown, expected);
}

TEST(PanelLayoutTest, TheCurveEditorsAreOnePerSlotInSlotOrderWithTheirBaselines) {
  std::int32_t nextSlot = 0;
  for (const ControlSpec& spec : panel::kLayout) {
    if (spec.kind != ControlKind::curveEditor) continue;
    EXPECT_EQ(spec.slot, nextSlot);
    EXPECT_EQ(spec.tag, 8);
    EXPECT_EQ(spec.rect, (GuiRect{195, 205, 598, 344}));
    EXPECT_EQ(spec.start, StartValue::slot);
    EXPECT_FALSE(spec.attached) << "slot " << spec.slot;
    const bool volume = spec.slot < 32 || (spec.slot >= 96 && (spec.slot - 96) % 3 == 0);
    EXPECT_EQ(spec.baselineMode, volume ? 0 : 1) << "slot " << spec.slot;
    ++nextSlot;
  }
  EXPECT_EQ(nextSlot, 123);
}

TEST(PanelLayoutTest, OnlyTheHarmonicsBarsAndCurveEditorsStartHidden) {
  for (const ControlSpec& spec : panel::kLayout) {
    const bool harmonicsBar =
        spec.tag >= 82 && spec.tag <= 177 && spec.kind != ControlKind::valueDisplay;
    const bool hidden = harmonicsBar || spec.kind == ControlKind::curveEditor;
    EXPECT_EQ(spec.attached, !hidden) << "tag " << spec.tag;
  }
}

TEST(PanelLayoutTest, StartValuesFollowTheParametersExceptThePanelsOwnButtons) {
  for (const ControlSpec& spec : panel::kLayout) {
    if (spec.kind == ControlKind::curveEditor || spec.kind == ControlKind::valueDisplay) continue;
    StartValue expected = StartValue::parameter;
    if ((spec.tag >= 2 && spec.tag <= 17) || (spec.tag >= 50 && spec.tag <= 81) ||
        spec.tag == 235) {
      expected = spec.tag == 5 ? StartValue::one : StartValue::zero;
    }
    EXPECT_EQ(spec.start, expected) << "tag " << spec.tag;
  }
}

TEST(PanelLayoutTest, ControlsLieOnThePanelWithBitmapsFromTheResourceRange) {
  for (const ControlSpec& spec : panel::kLayout) {
    EXPECT_FALSE(spec.rect.isEmpty()) << "tag " << spec.tag;
    EXPECT_GE(spec.rect.left, 0);
    EXPECT_GE(spec.rect.top, 0);
    EXPECT_LE(spec.rect.right, 600);
    EXPECT_LE(spec.rect.bottom, 600);
    if (spec.kind == ControlKind::valueDisplay) {
      EXPECT_EQ(spec.bitmap, panel::kNoBitmap);
    } else {
      EXPECT_GE(spec.bitmap, 129) << "tag " << spec.tag;
      EXPECT_LE(spec.bitmap, 209) << "tag " << spec.tag;
    }
  }
}

// The parameter table says what each tag does; the layout puts a control of the matching kind
// on every tag that does something.
TEST(PanelLayoutTest, EveryControlKindMatchesWhatTheParameterTableSaysItsTagDoes) {
  using parameters::PanelRole;
  for (const ControlSpec& spec : panel::kLayout) {
    if (spec.kind == ControlKind::valueDisplay) continue;
    const PanelRole role = parameters::panelRole(spec.tag);
    switch (spec.kind) {
      case ControlKind::curveEditor: EXPECT_EQ(role, PanelRole::curveEditor); break;
      case ControlKind::momentaryButton: EXPECT_EQ(role, PanelRole::resetButton); break;
      case ControlKind::cycleSwitch:
        EXPECT_TRUE(role == PanelRole::routing || role == PanelRole::automated) << spec.tag;
        break;
      case ControlKind::onOffButton:
        EXPECT_NE(role, PanelRole::none) << spec.tag;
        EXPECT_NE(role, PanelRole::routing) << spec.tag;
        break;
      default: EXPECT_EQ(role, PanelRole::automated) << "bar " << spec.tag; break;
    }
  }
  for (std::int32_t tag : {196, 236}) {
    EXPECT_EQ(parameters::panelRole(tag), PanelRole::none);
    EXPECT_EQ(panel::findByTag(tag), nullptr);
  }
  EXPECT_EQ(panel::kLastTag, parameters::lastControlTag());
}

// The panel's (kind, target) numbering must address what the plug-in's slot table says.
TEST(PanelLayoutTest, SlotNumbersAddressTheBankAndOscillatorsOfTheirKindAndTarget) {
  EXPECT_EQ(panel::slotOf(panel::kDetuneCurve, 4), 36);
  EXPECT_EQ(panel::slotOf(panel::kDetuneCurve, panel::kGroupTarget + 2), 103) << "Odd";
  EXPECT_EQ(panel::slotOf(panel::kPhaseCurve, panel::kGroupTarget + 8), 122) << "Fourth 1/4";
  std::set<std::int32_t> slots;
  for (std::int32_t kind = 0; kind < panel::kCurveKinds; ++kind) {
    for (std::int32_t target = 0; target < panel::kTargets; ++target) {
      const std::int32_t slot = panel::slotOf(kind, target);
      slots.insert(slot);
      EnvelopeSlotTarget addressed{};
      ASSERT_TRUE(envelopeSlotTarget(slot, addressed)) << slot;
      EXPECT_EQ(addressed.bank, kind) << "slot " << slot;
      EXPECT_EQ(panel::kindOfSlot(slot), kind) << "slot " << slot;
      if (target < panel::kGroupTarget) {
        EXPECT_EQ(addressed.layer, 0);
        EXPECT_EQ(addressed.firstOscillator, target);
      }
      const std::int32_t tag = panel::selectionTagOfTarget(target);
      EXPECT_EQ(panel::targetOfSelectionTag(tag), target) << "tag " << tag;
    }
  }
  EXPECT_EQ(slots.size(), 123u) << "every slot reached once";
  // Group buttons in the order of their slots: halves (layer 1), odd/even (2), octave (3),
  // quarters (4); "Upper 1/2" (tag 9) addresses oscillators 16-31.
  EnvelopeSlotTarget upper{};
  ASSERT_TRUE(envelopeSlotTarget(
      panel::slotOf(panel::kVolumeCurve, *panel::targetOfSelectionTag(9)), upper));
  EXPECT_EQ(upper.firstOscillator, 16);
  EXPECT_EQ(upper.count, 16);
  EXPECT_FALSE(panel::targetOfSelectionTag(18).has_value());
}

}  // namespace
