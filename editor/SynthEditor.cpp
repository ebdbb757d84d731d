// The editor's life cycle: background and rectangle at construction; bitmaps, curve-editor table
// and frame at open; all of it released again at close.
#include "editor/SynthEditor.h"

#include <algorithm>
#include <new>

#include "gui/GuiBitmap.h"
#include "gui/GuiControl.h"
#include "gui/GuiFrame.h"
#include "synth/ParameterTable.h"
#include "synth/SynthPlugin.h"

namespace {

bool isPlainParameterTag(VstInt32 tag) {
  using namespace parameters;
  return tag == kMainVolume || tag == kMainDetune || (tag >= kVolumeFirst && tag <= 195) ||
         tag == kReverbDry || tag == kReverbWet || (tag >= kOscSwitchFirst && tag <= 234);
}

bool isRoutingTag(VstInt32 tag) {
  return tag >= parameters::kRoutingFirst && tag < parameters::kToggleFirst;
}

VstInt16 toRectSide(std::int32_t pixels) {
  return static_cast<VstInt16>(std::clamp<std::int32_t>(pixels, 0, 32767));
}

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

VstIntPtr SynthEditor::open(void* window) {
  if (frame) close();
  EditorBase::open(window);
  loadPanelBitmaps();
  curveEditors.reset(new (std::nothrow) CurveEditorTable{});
  const GuiRect panel{0, 0, rect.right, rect.bottom};
  frame = new (std::nothrow) GuiFrame(panel, window, this, getBackend());
  if (!curveEditors || !frame || !frame->isWindowOpen()) {
    close();
    return 0;
  }
  frame->setBackground(backgroundBitmap);
  return 1;
}

void SynthEditor::close() {
  releaseCurveEditors();
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

// Curve editors on show belong to the frame, which releases them with itself; the editor holds
// the reference of every other one.
void SynthEditor::releaseCurveEditors() {
  if (!curveEditors) return;
  for (CurveSource*& source : *curveEditors) {
    GuiControl* control = source ? source->curveControl() : nullptr;
    if (control && !(frame && frame->containsView(control))) control->release();
    source = nullptr;
  }
  curveEditors.reset();
}

GuiBitmap* SynthEditor::getPanelBitmap(std::int32_t id) const {
  if (id < kFirstPanelBitmapId || id > kLastPanelBitmapId) return nullptr;
  return panelBitmaps[static_cast<std::size_t>(id - kFirstPanelBitmapId)];
}

bool SynthEditor::isPanelOpen() const { return frame != nullptr && curveEditors != nullptr; }

bool SynthEditor::getSlotCurve(VstInt32 slot, float* destination) {
  if (!destination || !curveEditors || slot < 0 || slot >= kEnvelopeSlotCount) return false;
  CurveSource* source = (*curveEditors)[static_cast<std::size_t>(slot)];
  if (!source) return false;
  source->getCurve(destination);
  return true;
}

void SynthEditor::parameterChanged(VstInt32 index, float value) { setParameter(index, value); }

// The panel has no value controls yet: a program change only asks for an update.
void SynthEditor::programChanged() {
  if (frame) requestUpdate();
}

// The controls showing a parameter take the value read back from the plug-in when the panel's
// controls exist; until then only the update flag records the change.
void SynthEditor::setParameter(VstInt32, float) {
  if (!frame) return;
  requestUpdate();
}

// Parameter controls pass their value on; the selection, layer and Reset buttons, whose logic
// works on the panel's bars and curve editors, only have the frame redrawn.
void SynthEditor::valueChanged(DrawContext* context, GuiControl* control) {
  if (!control || !plugin) return;
  const VstInt32 tag = control->getTag();
  if (static_cast<std::uint32_t>(tag) > static_cast<std::uint32_t>(kLastControlTag)) return;
  if (tag == parameters::kUnusedA) return;
  const float value = control->getValue();
  if (isPlainParameterTag(tag)) {
    plugin->setParameterAndNotify(tag, value);
    control->update(context);
    return;
  }
  if (isRoutingTag(tag)) {
    plugin->setParameter(tag, value);
    control->update(context);
    return;
  }
  if (tag == parameters::kEnvelopeCommand) plugin->setParameter(tag, value);
  if (frame) frame->setDirty(true);
}
