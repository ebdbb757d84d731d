// A window of the program's own showing a toolkit frame in-process, for the commands that
// demonstrate the toolkit's services (file drop, file selector) without a plug-in. The frame
// belongs to an editor of a plug-in shell without a host, exactly as a plug-in's frame belongs to
// its editor: the editor is idled like a plug-in's, a file selector of the shell finds the frame
// window, and the window hands drops on to the frame (it names the frame window as its
// XdndProxy, so file managers that look at top-level windows reach it).
#pragma once

#include <memory>
#include <string>

#include "overtonic-host/app/EditorHost.h"
#include "overtonic-host/lib/Result.h"

class EffectBaseX;
class GuiView;

namespace hostapp {

class ToolkitShell;

class ToolkitWindow {
 public:
  // A top-level window of width x height titled `title` on `display`, with a frame filling it
  // that shows `content` (the frame takes over its reference). Fails when the frame cannot be
  // made.
  static hostlib::Result<std::unique_ptr<ToolkitWindow>> open(EditorDisplay& display, int width,
                                                              int height, const std::string& title,
                                                              GuiView* content);
  // Closes the editor (the frame and its views go), then the window.
  ~ToolkitWindow();
  ToolkitWindow(const ToolkitWindow&) = delete;
  ToolkitWindow& operator=(const ToolkitWindow&) = delete;

  // One idle of the editor (events, drawing, started file selections), then the window's own
  // events: a close request from the window manager, the window destroyed.
  void idle();
  bool closeRequested() const { return closeRequested_; }
  // The top-level window, and the frame window inside it.
  unsigned long window() const { return window_; }
  unsigned long frameWindow() const;
  // The plug-in shell the frame's editor belongs to (a file selector's owner).
  EffectBaseX* shell() const;

 private:
  ToolkitWindow(EditorDisplay& display, unsigned long window);
  EditorDisplay& display_;
  unsigned long window_;
  std::unique_ptr<ToolkitShell> shell_;
  bool closeRequested_ = false;
  bool windowGone_ = false;
};

}  // namespace hostapp
