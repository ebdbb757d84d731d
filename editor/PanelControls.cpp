// The panel's control classes with their construction arguments. Every value display shows its
// effect bar's value in the panel's small font, light blue-grey on black in a blue-grey frame.
#include "editor/PanelControls.h"

#include <algorithm>
#include <new>

#include "editor/GuiBarSlider.h"
#include "editor/GuiBipolarBarSlider.h"
#include "editor/GuiCurveEditor.h"
#include "editor/GuiCycleSwitch.h"
#include "editor/GuiHorizontalBarSlider.h"
#include "gui/GuiMomentaryButton.h"
#include "gui/GuiOnOffButton.h"
#include "gui/GuiValueDisplay.h"

namespace {

constexpr GuiPoint kNoOffset{0, 0};
constexpr std::int32_t kDisplayStyle = 1;
constexpr std::int32_t kDisplayFont = 4;  // "Arial" 11
constexpr GuiColor kDisplayText{146, 171, 190, 0};
constexpr GuiColor kDisplayFrame{80, 117, 147, 0};

GuiControl* makeDisplay(const GuiRect& rect) {
  auto* display = new (std::nothrow) GuiValueDisplay(rect, nullptr, kDisplayStyle);
  if (!display) return nullptr;
  display->setFont(static_cast<FontId>(kDisplayFont));
  display->setFontColor(kDisplayText);
  display->setBackColor(kColorBlack);
  display->setFrameColor(kDisplayFrame);
  return display;
}

// The panel's curve editor tells its listener once more when the release has smoothed the curve
// (or a press changed it at all), so that the smoothed curve, which is what the panel shows from
// then on, is also what plays and what the program stores.
class PanelCurveEditor final : public GuiCurveEditor {
 public:
  using GuiCurveEditor::GuiCurveEditor;

  void onMouseDown(DrawContext* context, GuiPoint where) override {
    EnvelopeCurve before{};
    getCurve(before.data());
    GuiCurveEditor::onMouseDown(context, where);
    if (!std::ranges::equal(points(), before)) notifyListener(context);
  }
};

GuiControl* makeCurveEditor(const panel::ControlSpec& spec, ControlListener* listener,
                            GuiBitmap* background, GuiBitmap* handle) {
  auto* editor = new (std::nothrow)
      PanelCurveEditor(spec.rect, listener, spec.tag, background, handle, kNoOffset);
  if (editor) editor->setBaselineMode(spec.baselineMode);
  return editor;
}

}  // namespace

GuiControl* makePanelControl(const panel::ControlSpec& spec, ControlListener* listener,
                             GuiBitmap* background, GuiBitmap* handle) {
  using panel::ControlKind;
  const GuiRect& r = spec.rect;
  switch (spec.kind) {
    case ControlKind::barSlider:
      return new (std::nothrow) GuiBarSlider(r, listener, spec.tag, background, handle, kNoOffset);
    case ControlKind::bipolarBarSlider:
      return new (std::nothrow)
          GuiBipolarBarSlider(r, listener, spec.tag, background, handle, kNoOffset);
    case ControlKind::horizontalBarSlider:
      return new (std::nothrow)
          GuiHorizontalBarSlider(r, listener, spec.tag, background, handle, kNoOffset);
    case ControlKind::curveEditor: return makeCurveEditor(spec, listener, background, handle);
    case ControlKind::onOffButton:
      return new (std::nothrow) GuiOnOffButton(r, listener, spec.tag, background);
    case ControlKind::momentaryButton:
      return new (std::nothrow)
          GuiMomentaryButton(r, listener, spec.tag, spec.frameHeight, background, kNoOffset);
    case ControlKind::cycleSwitch:
      return new (std::nothrow) GuiCycleSwitch(r, listener, spec.tag, spec.states, spec.frameHeight,
                                               background, kNoOffset);
    case ControlKind::valueDisplay: return makeDisplay(r);
  }
  return nullptr;
}
