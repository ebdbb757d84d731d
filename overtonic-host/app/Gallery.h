// The control gallery: one of each standard control of the GUI toolkit on a frame, with artwork
// painted in code, and a status line that says what the user last changed. The gallery is the
// controls' listener; its editor (GalleryEditor) builds it in whatever window it is opened in,
// like a plug-in's editor, so the same gallery is shown in a window or rendered off screen.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "gui/ControlListener.h"
#include "gui/EditorBase.h"
#include "gui/GuiTypes.h"

class GuiAnimation;
class GuiBitmap;
class GuiControl;
class GuiFrame;
class GuiKnob;
class GuiLevelMeter;
class GuiValueDisplay;

namespace hostapp {

class Gallery final : public ControlListener {
 public:
  static constexpr GuiRect kSize{0, 0, 760, 470};

  // Adds every control to `frame`; the gallery must outlive the frame's views.
  explicit Gallery(GuiFrame& frame);
  ~Gallery() override;
  Gallery(const Gallery&) = delete;
  Gallery& operator=(const Gallery&) = delete;

  void valueChanged(DrawContext* context, GuiControl* control) override;
  // One step of the moving parts (the animation and the level meters); the window loop calls it
  // about 30 times a second.
  void tick();
  // The toolkit classes shown, one name per control.
  const std::vector<std::string>& shownClasses() const { return shown_; }
  const std::string& status() const { return status_; }

 private:
  // Takes over a bitmap's reference, released with the gallery.
  GuiBitmap* keep(GuiBitmap* bitmap);
  // Adds `control` with a caption under `area` and remembers its class name.
  void place(GuiControl* control, const char* name, const GuiRect& area);
  void buildKnobsAndButtons();
  void buildSwitchesAndStrips();
  void buildSlidersAndDisplays();

  GuiFrame& frame_;
  std::vector<GuiBitmap*> bitmaps;
  std::vector<std::string> shown_;
  std::vector<std::pair<GuiControl*, std::string>> named;
  std::vector<std::unique_ptr<std::string>> captions;
  std::string status_;
  GuiValueDisplay* statusLine = nullptr;
  GuiKnob* knob = nullptr;  // drives knobDisplay
  GuiValueDisplay* knobDisplay = nullptr;
  GuiAnimation* animation = nullptr;
  GuiLevelMeter* meters[2] = {};
  std::int32_t ticks = 0;
};

// An editor without a plug-in whose frame holds the gallery.
class GalleryEditor final : public EditorBase {
 public:
  explicit GalleryEditor(FrameBackend* backend);
  ~GalleryEditor() override;
  // 1 when the gallery is up; 0 when the frame's window could not be made.
  VstIntPtr open(void* window) override;
  void close() override;
  Gallery* gallery() const { return gallery_.get(); }

 private:
  std::unique_ptr<Gallery> gallery_;
};

}  // namespace hostapp
