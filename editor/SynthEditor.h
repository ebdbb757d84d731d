// SynthEditor: the instrument's editor panel, 600 x 600 pixels drawn over one background image.
// One exists per plug-in instance, made by the plug-in's wiring right after the instance and kept
// for the instance's whole life. The background bitmap (128) is loaded once; the panel bitmaps (129-209), the frame and
// the table of curve editors exist only between open and close, and close releases everything
// open made, so that any number of open/close cycles leaves nothing behind.
//
// The editor is the plug-in's panel (SynthPanel): it tells whether it is open, hands out the
// curve of an envelope slot, and follows parameter changes. It is also the listener of its
// controls.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "editor/CurveSource.h"
#include "gui/ControlListener.h"
#include "gui/EditorBase.h"
#include "synth/ProgramRecord.h"
#include "synth/SynthPanel.h"

class GuiBitmap;
class SynthPlugin;

class SynthEditor final : public EditorBase, public ControlListener, public SynthPanel {
 public:
  static constexpr std::int32_t kBackgroundId = 128;
  static constexpr std::int32_t kFirstPanelBitmapId = 129;
  static constexpr std::int32_t kLastPanelBitmapId = 209;
  static constexpr std::size_t kPanelBitmapCount = kLastPanelBitmapId - kFirstPanelBitmapId + 1;
  // Highest tag of a panel control.
  static constexpr std::int32_t kLastControlTag = 235;

  using CurveEditorTable = std::array<CurveSource*, kEnvelopeSlotCount>;

  // Registers with the plug-in as its editor (owned by it from then on) and its panel; a null
  // plug-in registers nothing. Loads the background and takes the editor rectangle from its
  // size. The panel's windows come from `backend`, which must outlive the editor.
  SynthEditor(SynthPlugin* plugin, FrameBackend& backend);
  // Closes the panel if it is open, releases the background and leaves the plug-in.
  ~SynthEditor() override;

  // Builds the panel in `window`: bitmaps 129-209, the curve-editor table, the frame over the
  // background. A panel already open is closed first. 1 when the panel is up; 0 (with everything
  // released again) when the frame's window could not be made, e.g. for a bad window id.
  VstIntPtr open(void* window) override;
  // Destroys the frame with its views, releases the panel bitmaps, the curve editors and their
  // table. Nothing happens when the panel is not open.
  void close() override;
  // Follows a parameter change while the panel is open; nothing at all while it is closed.
  void setParameter(VstInt32 index, float value) override;

  void valueChanged(DrawContext* context, GuiControl* control) override;

  bool isPanelOpen() const override;
  // Only a slot 0-122 whose curve editor exists is read; false otherwise.
  bool getSlotCurve(VstInt32 slot, float* destination) override;
  void parameterChanged(VstInt32 index, float value) override;
  void programChanged() override;

  GuiBitmap* getBackgroundBitmap() const { return backgroundBitmap; }
  // The loaded panel bitmap with that id, null when the panel is closed or the id is not one.
  GuiBitmap* getPanelBitmap(std::int32_t id) const;
  // The curve editors by slot while the panel is open (null when closed).
  CurveEditorTable* getCurveEditors() const { return curveEditors.get(); }

 private:
  void loadPanelBitmaps();
  void releasePanelBitmaps();
  void releaseCurveEditors();

  SynthPlugin* plugin;
  std::unique_ptr<CurveEditorTable> curveEditors;
  GuiBitmap* backgroundBitmap = nullptr;
  std::array<GuiBitmap*, kPanelBitmapCount> panelBitmaps{};
};
