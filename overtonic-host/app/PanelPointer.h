// Playing pointer gestures on an editor window with the X server's test extension (XTest): the
// real pointer moves and the real button goes down and up, while the editor is idled as a host
// idles it, so the plug-in takes the press at its idle and follows the drag in its own tracking
// loop, exactly as under a user's hand. The moves come from a second thread with its own
// connection, because the plug-in's tracking loop holds the thread that idles it until release.
#pragma once

#include <chrono>
#include <functional>
#include <memory>

#include "overtonic-host/app/EditorHost.h"
#include "overtonic-host/app/PanelScript.h"
#include "overtonic-host/lib/Result.h"

namespace hostapp {

class PanelPointer {
 public:
  // A connection of its own to the editor's display; fails when the server has no XTest.
  static hostlib::Result<std::unique_ptr<PanelPointer>> connect(const EditorDisplay& display);
  ~PanelPointer();
  PanelPointer(const PanelPointer&) = delete;
  PanelPointer& operator=(const PanelPointer&) = delete;

  // Moves to the gesture's first point, presses the left button, holds it while the editor
  // takes the press, drags through the other points and releases; then idles the editor a
  // little more so that it draws what changed.
  hostlib::Status play(EditorWindow& window, const PointerGesture& gesture);
  // Presses the left button at `at` and keeps it there, unmoved, until `taken` says the editor
  // has the press (it is asked from the pointer's own thread, every millisecond, for at most
  // 10 s), then for `longer`, and releases; the editor is idled meanwhile, as by play.
  hostlib::Status hold(EditorWindow& window, GuiPoint at, const std::function<bool()>& taken,
                       std::chrono::milliseconds longer);

 private:
  explicit PanelPointer(void* display) : display_(display) {}
  // Runs `hand` (the pointer's moves) on a thread of its own while idling the editor until it
  // is done, then idles a little more so that the editor draws what changed.
  hostlib::Status whileIdling(EditorWindow& window,
                              const std::function<hostlib::Status(GuiPoint origin)>& hand);
  void* display_;
};

}  // namespace hostapp
