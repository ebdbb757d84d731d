// The editor's life cycle (background and rectangle at construction; bitmaps, controls and frame
// at open; all of it released again at close), the control-change logic and the host-to-panel
// sync.
#include "editor/SynthEditor.h"

#include <algorithm>
#include <new>

#include "editor/GuiCurveEditor.h"
#include "editor/PanelControls.h"
#include "gui/GuiBitmap.h"
#include "gui/GuiControl.h"
#include "gui/GuiFrame.h"
#include "synth/ParameterTable.h"
#include "synth/SynthPlugin.h"

namespace {

using panel::ControlKind;
using panel::ControlSpec;
using panel::StartValue;
using parameters::PanelRole;

VstInt16 toRectSide(std::int32_t pixels) {
  return static_cast<VstInt16>(std::clamp<std::int32_t>(pixels, 0, 32767));
}

std::size_t at(std::int32_t index) { return static_cast<std::size_t>(index); }

}  // namespace

SynthEditor::SynthEditor(SynthPlugin* owner, FrameBackend& frameBackend)
    : EditorBase(owner, frameBackend), plugin(owner) {
  backgroundBitmap = new (std::nothrow) GuiBitmap(kBackgroundId);
  if (backgroundBitmap) {
    rect.top = 0;
    rect.left = 0;
    rect.bottom = toRectSide(backgroundBitmap->getHeight());
    rect.right = toRectSide(backgroundBitmap->getWidth());
  }
  if (plugin) plugin->attachPanel(this);
}

SynthEditor::~SynthEditor() {
  close();
  if (plugin) plugin->attachPanel(nullptr);
  if (backgroundBitmap) backgroundBitmap->release();
}

// ---- open and close ------------------------------------------------------------------------

VstIntPtr SynthEditor::open(void* window) {
  if (frame) close();
  EditorBase::open(window);
  loadPanelBitmaps();
  const GuiRect panelRect{0, 0, rect.right, rect.bottom};
  frame = new (std::nothrow) GuiFrame(panelRect, window, this, getBackend());
  if (!frame || !frame->isWindowOpen() || !createControls()) {
    close();
    return 0;
  }
  frame->setBackground(backgroundBitmap);
  programPending = false;  // what open reads is the current program
  return 1;
}

void SynthEditor::close() {
  releaseControls();
  delete frame;
  frame = nullptr;
  releasePanelBitmaps();
  systemWindow = nullptr;
}

void SynthEditor::loadPanelBitmaps() {
  for (std::size_t i = 0; i < panelBitmaps.size(); ++i) {
    if (panelBitmaps[i]) continue;
    const auto id = kFirstPanelBitmapId + static_cast<std::int32_t>(i);
    panelBitmaps[i] = new (std::nothrow) GuiBitmap(id);
  }
}

void SynthEditor::releasePanelBitmaps() {
  for (GuiBitmap*& bitmap : panelBitmaps) {
    if (bitmap) bitmap->release();
    bitmap = nullptr;
  }
}

GuiBitmap* SynthEditor::getPanelBitmap(std::int32_t id) const {
  if (id < kFirstPanelBitmapId || id > kLastPanelBitmapId) return nullptr;
  return panelBitmaps[at(id - kFirstPanelBitmapId)];
}

GuiBitmap* SynthEditor::bitmapOrNull(std::int32_t id) const {
  return id == panel::kNoBitmap ? nullptr : getPanelBitmap(id);
}

// Walks the layout: each control is made, given its starting value and, if it starts on show,
// attached. False when memory ran out (whatever was made is released by close).
bool SynthEditor::createControls() {
  curveEditors.reset(new (std::nothrow) CurveEditorTable{});
  if (!curveEditors) return false;
  shownLayer = kNothingOnShow;
  shownSlot = kNothingOnShow;
  for (std::size_t i = 0; i < panel::kLayout.size(); ++i) {
    const ControlSpec& spec = panel::kLayout[i];
    GuiControl* control =
        makePanelControl(spec, this, bitmapOrNull(spec.bitmap), bitmapOrNull(spec.handleBitmap));
    if (!control) return false;
    controls[i] = control;
    switch (spec.start) {
      case StartValue::zero: break;
      case StartValue::one: control->setValue(1.0f); break;
      case StartValue::parameter: control->setValue(readParameter(spec.parameter)); break;
      case StartValue::slot: control->setValue(static_cast<float>(spec.slot)); break;
    }
    if (spec.kind == ControlKind::curveEditor) {
      (*curveEditors)[at(spec.slot)] = static_cast<GuiCurveEditor*>(control);
      loadCurve(spec.slot);
    } else if (spec.kind == ControlKind::valueDisplay) {
      displayOfTag[at(spec.parameter)] = control;
    } else {
      controlOfTag[at(spec.tag)] = control;
    }
    if (spec.attached) setAttached(control, true);
  }
  return true;
}

// The frame gives back the references of the controls on show, so that each control is released
// exactly once, whether it was on show or not.
void SynthEditor::releaseControls() {
  if (frame) frame->removeAll(false);
  controlOfTag.fill(nullptr);
  displayOfTag.fill(nullptr);
  for (GuiControl*& control : controls) {
    if (control) control->release();
    control = nullptr;
  }
  curveEditors.reset();
  shownLayer = kNothingOnShow;
  shownSlot = kNothingOnShow;
}

// ---- what the plug-in asks of its panel ----------------------------------------------------

bool SynthEditor::isPanelOpen() const { return frame != nullptr && curveEditors != nullptr; }

bool SynthEditor::getSlotCurve(VstInt32 slot, float* destination) {
  GuiCurveEditor* editor = getCurveEditor(slot);
  if (!destination || !editor) return false;
  editor->getCurve(destination);
  return true;
}

void SynthEditor::parameterChanged(VstInt32 index, float value) { setParameter(index, value); }

void SynthEditor::programChanged() { programPending.store(true, std::memory_order_release); }

void SynthEditor::idle() {
  if (inIdle) return;
  if (frame && programPending.exchange(false, std::memory_order_acq_rel)) readProgram();
  EditorBase::idle();
}

GuiControl* SynthEditor::getControl(std::int32_t tag) const {
  return tag >= 0 && tag < panel::kTagCount ? controlOfTag[at(tag)] : nullptr;
}

GuiControl* SynthEditor::getDisplay(std::int32_t parameter) const {
  return parameter >= 0 && parameter < panel::kTagCount ? displayOfTag[at(parameter)] : nullptr;
}

GuiCurveEditor* SynthEditor::getCurveEditor(std::int32_t slot) const {
  if (!curveEditors || slot < 0 || slot >= kEnvelopeSlotCount) return nullptr;
  return (*curveEditors)[at(slot)];
}

float SynthEditor::readParameter(std::int32_t index) const {
  return effect ? effect->getParameter(index) : 0.0f;
}

// ---- host-to-panel sync --------------------------------------------------------------------

void SynthEditor::setParameter(VstInt32 index, float) {
  if (!frame) return;
  if (index >= 0 && index < panel::kTagCount) {
    GuiControl* control = controlOfTag[at(index)];
    GuiControl* display = displayOfTag[at(index)];
    if (control || display) {
      const float value = readParameter(index);
      if (control) control->setValue(value);
      if (display) display->setValue(value);
    }
  }
  requestUpdate();
}

void SynthEditor::readProgram() {
  for (std::size_t i = 0; i < panel::kLayout.size(); ++i) {
    const ControlSpec& spec = panel::kLayout[i];
    if (!controls[i]) continue;
    if (spec.start == StartValue::parameter) controls[i]->setValue(readParameter(spec.parameter));
    if (spec.kind == ControlKind::curveEditor) loadCurve(spec.slot);
  }
  frame->setDirty(true);  // nearly everything may have changed: the whole panel is drawn again
}

void SynthEditor::loadCurve(std::int32_t slot) {
  GuiCurveEditor* editor = getCurveEditor(slot);
  if (!editor || !plugin) return;
  // A point-by-point copy: a host may store a chunk into the program on another thread meanwhile.
  editor->setCurve(plugin->program(plugin->currentProgramIndex()).readCurve(slot).data());
  editor->setDirty(true);
}

// ---- control-change logic ------------------------------------------------------------------

// What a tag does comes from the parameter table; tags without a control (196, 236 and any
// outside the table) change nothing, not even the frame.
void SynthEditor::valueChanged(DrawContext* context, GuiControl* control) {
  if (!control || !effect) return;
  const std::int32_t tag = control->getTag();
  const float value = control->getValue();
  switch (parameters::panelRole(tag)) {
    case PanelRole::none: return;
    case PanelRole::automated:
      effect->setParameterAndNotify(tag, value);
      control->update(context);
      return;
    case PanelRole::routing:
      effect->setParameter(tag, value);
      control->update(context);
      return;
    case PanelRole::curveEditor: effect->setParameter(tag, value); break;
    case PanelRole::layerButton: pressLayerButton(*panel::kindOfLayerButton(tag), value); break;
    case PanelRole::curveKindButton: pressKindButton(*panel::kindOfKindButton(tag), value); break;
    case PanelRole::selectionButton:
      pressSelectionButton(tag, *panel::targetOfSelectionTag(tag), value);
      break;
    case PanelRole::resetButton: resetShownCurve(); break;
  }
  if (frame) frame->setDirty(true);
}

// The other layer buttons go dark and the own layer's 32 bars come on show; turning the button
// off takes them off. The layer parameters are the panel's own state: none is set.
void SynthEditor::pressLayerButton(std::int32_t kind, float value) {
  if (value > 0.5f) {
    for (std::int32_t other = 0; other < panel::kCurveKinds; ++other) {
      GuiControl* button = getControl(panel::kLayerButtonTags[at(other)]);
      if (other != kind && button) button->setValue(0.0f);
    }
    showLayer(kind);
  } else if (shownLayer == kind) {
    showLayer(kNothingOnShow);
  }
}

// The other kind buttons go dark; the curve of this kind for the selected target comes on show
// when the button is on (the volume button counts as on unless exactly 0).
void SynthEditor::pressKindButton(std::int32_t kind, float value) {
  for (std::int32_t other = 0; other < panel::kCurveKinds; ++other) {
    GuiControl* button = getControl(panel::kKindButtonTags[at(other)]);
    if (other != kind && button) button->setValue(0.0f);
  }
  const bool on = kind == panel::kVolumeCurve ? value != 0.0f : value > 0.5f;
  const std::int32_t target = on ? currentTarget() : kNothingOnShow;
  showCurve(target == kNothingOnShow ? kNothingOnShow : panel::slotOf(kind, target));
}

// The 41 selection buttons act as one radio group through their parameters: the other 40 are set
// to 0 (their buttons follow through setParameter), then this one; the host is not told.
void SynthEditor::pressSelectionButton(std::int32_t tag, std::int32_t target, float value) {
  const std::int32_t kind = value > 0.5f ? currentKind() : kNothingOnShow;
  showCurve(kind == kNothingOnShow ? kNothingOnShow : panel::slotOf(kind, target));
  for (std::int32_t other = 0; other < panel::kTargets; ++other) {
    const std::int32_t otherTag = panel::selectionTagOfTarget(other);
    if (otherTag != tag) effect->setParameter(otherTag, 0.0f);
  }
  effect->setParameter(tag, value);
}

// Clears the curve on show and sends it, so the plug-in plays and stores the cleared curve; the
// host hears of it as a change of parameter 8 with the slot number.
void SynthEditor::resetShownCurve() {
  GuiCurveEditor* editor = getCurveEditor(shownSlot);
  if (!editor) return;
  editor->clearCurve();
  effect->setParameterAndNotify(parameters::kEnvelopeCommand, static_cast<float>(shownSlot));
}

bool SynthEditor::isButtonOn(std::int32_t tag) const {
  const GuiControl* button = getControl(tag);
  return button && button->getValue() > 0.5f;
}

std::int32_t SynthEditor::currentKind() const {
  for (std::int32_t kind = 0; kind < panel::kCurveKinds; ++kind) {
    const GuiControl* button = getControl(panel::kKindButtonTags[at(kind)]);
    if (!button) continue;
    const float value = button->getValue();
    if (kind == panel::kVolumeCurve ? value != 0.0f : value > 0.5f) return kind;
  }
  return kNothingOnShow;
}

std::int32_t SynthEditor::currentTarget() const {
  for (std::int32_t target = 0; target < panel::kTargets; ++target) {
    if (isButtonOn(panel::selectionTagOfTarget(target))) return target;
  }
  return kNothingOnShow;
}

// ---- the attached set ----------------------------------------------------------------------

void SynthEditor::setAttached(GuiControl* control, bool attached) {
  if (!control || !frame) return;
  if (attached) {
    frame->addView(control);  // refuses a view already on show; the reference stays ours if so
  } else {
    frame->removeView(control, false);
  }
}

void SynthEditor::showLayer(std::int32_t kind) {
  if (kind == shownLayer) return;
  for (std::int32_t k = 0; k < panel::kOscillators; ++k) {
    if (shownLayer != kNothingOnShow) {
      setAttached(getControl(panel::kLayerFirstTags[at(shownLayer)] + k), false);
    }
  }
  for (std::int32_t k = 0; k < panel::kOscillators && kind != kNothingOnShow; ++k) {
    setAttached(getControl(panel::kLayerFirstTags[at(kind)] + k), true);
  }
  shownLayer = kind;
}

void SynthEditor::showCurve(std::int32_t slot) {
  if (slot == shownSlot) return;
  setAttached(getCurveEditor(shownSlot), false);
  setAttached(getCurveEditor(slot), true);
  shownSlot = slot;
}
