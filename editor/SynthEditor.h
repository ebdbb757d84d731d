// SynthEditor: the instrument's editor panel, 600 x 600 pixels drawn over one background image.
// One exists per plug-in instance, made by the plug-in's wiring right after the instance and kept
// for the instance's whole life. The background bitmap (128) is loaded once; the panel bitmaps
// (129-209), the frame, every control of the layout (PanelLayout.h) and the table of curve editors
// exist only between open and close, and close releases everything open made, on show or not, so
// that any number of open/close cycles leaves nothing behind.
//
// The panel shows what plays: at open every value control takes its parameter and every curve
// editor its slot's curve from the current program, and after the host selects another program
// (or restores a state) they are read again at the next idle. The selection, layer and curve-kind
// buttons are the panel's own state and start fresh at every open.
//
// The editor is the plug-in's panel (SynthPanel): it tells whether it is open, hands out the
// curve of an envelope slot, and follows parameter changes. It is also the listener of its
// controls.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "editor/PanelLayout.h"
#include "gui/ControlListener.h"
#include "gui/EditorBase.h"
#include "synth/ProgramRecord.h"
#include "synth/SynthPanel.h"

class GuiBitmap;
class GuiControl;
class GuiCurveEditor;
class SynthPlugin;

class SynthEditor final : public EditorBase, public ControlListener, public SynthPanel {
 public:
  static constexpr std::int32_t kBackgroundId = 128;
  static constexpr std::int32_t kFirstPanelBitmapId = 129;
  static constexpr std::int32_t kLastPanelBitmapId = 209;
  static constexpr std::size_t kPanelBitmapCount = kLastPanelBitmapId - kFirstPanelBitmapId + 1;
  static constexpr std::int32_t kNothingOnShow = -1;

  using CurveEditorTable = std::array<GuiCurveEditor*, kEnvelopeSlotCount>;

  // Registers with the plug-in as its editor (owned by it from then on) and its panel; a null
  // plug-in registers nothing. Loads the background and takes the editor rectangle from its
  // size. The panel's windows come from `backend`, which must outlive the editor.
  SynthEditor(SynthPlugin* plugin, FrameBackend& backend);
  // Closes the panel if it is open, releases the background and leaves the plug-in.
  ~SynthEditor() override;

  // Builds the panel in `window`: bitmaps 129-209, the frame over the background, every control
  // of the layout with its starting value, those on show attached. A panel already open is
  // closed first. 1 when the panel is up; 0 (with everything released again) when the frame's
  // window could not be made, e.g. for a bad window id.
  VstIntPtr open(void* window) override;
  // Destroys the frame, releases every control, the curve-editor table and the panel bitmaps.
  // Nothing happens when the panel is not open.
  void close() override;
  // Reads the program again when it changed since the last idle, then the base's idle.
  void idle() override;
  // Host-to-panel sync: the controls of the index (and an effect bar's display) take the value
  // read back from the plug-in, on show or not; then the update flag. Nothing while closed.
  void setParameter(VstInt32 index, float value) override;

  void valueChanged(DrawContext* context, GuiControl* control) override;

  bool isPanelOpen() const override;
  // Only a slot 0-122 while the panel is open is read; false otherwise.
  bool getSlotCurve(VstInt32 slot, float* destination) override;
  void parameterChanged(VstInt32 index, float value) override;
  // Any thread: only notes the change for the next idle.
  void programChanged() override;

  GuiBitmap* getBackgroundBitmap() const { return backgroundBitmap; }
  // The loaded panel bitmap with that id, null when the panel is closed or the id is not one.
  GuiBitmap* getPanelBitmap(std::int32_t id) const;
  // While the panel is open (null otherwise): the control with a tag (not the displays, nor the
  // curve editors, which share tag 8), the value display of an effect bar's parameter, and the
  // curve editor of a slot.
  GuiControl* getControl(std::int32_t tag) const;
  GuiControl* getDisplay(std::int32_t parameter) const;
  GuiCurveEditor* getCurveEditor(std::int32_t slot) const;
  // What the harmonics area and the envelopes area show: a curve kind (the bar layer), a slot.
  std::int32_t layerOnShow() const { return shownLayer; }
  std::int32_t slotOnShow() const { return shownSlot; }

 private:
  void loadPanelBitmaps();
  void releasePanelBitmaps();
  GuiBitmap* bitmapOrNull(std::int32_t id) const;
  bool createControls();
  void releaseControls();
  float readParameter(std::int32_t index) const;
  // Every value control and every curve editor from the current program.
  void readProgram();
  void loadCurve(std::int32_t slot);

  void pressLayerButton(std::int32_t kind, float value);
  void pressKindButton(std::int32_t kind, float value);
  void pressSelectionButton(std::int32_t tag, std::int32_t target, float value);
  void resetShownCurve();
  // The first kind button that is on; kNothingOnShow when none is.
  std::int32_t currentKind() const;
  // The first oscillator button that is on, else the first group button; or kNothingOnShow.
  std::int32_t currentTarget() const;
  bool isButtonOn(std::int32_t tag) const;
  // The panel's attached set follows these two, whatever the buttons were set to by the host: a
  // view is never attached twice, and what was on show is always taken off.
  void showLayer(std::int32_t kind);
  void showCurve(std::int32_t slot);
  void setAttached(GuiControl* control, bool attached);

  SynthPlugin* plugin;
  std::unique_ptr<CurveEditorTable> curveEditors;
  GuiBitmap* backgroundBitmap = nullptr;
  std::array<GuiBitmap*, kPanelBitmapCount> panelBitmaps{};
  // Every control of the layout, in creation order. The editor holds the one reference of each
  // control that is not on show; the frame holds it for those that are.
  std::array<GuiControl*, panel::kControlCount> controls{};
  std::array<GuiControl*, panel::kTagCount> controlOfTag{};
  std::array<GuiControl*, panel::kTagCount> displayOfTag{};
  std::int32_t shownLayer = kNothingOnShow;
  std::int32_t shownSlot = kNothingOnShow;
  std::atomic<bool> programPending{false};
};
