// Showing the plug-in's editor as a Linux host does: a top-level X11 window of the editor's size
// whose id is handed to effEditOpen, idled about 30 times a second, and closed with effEditClose.
// The display is the user's ($DISPLAY) or a private Xvfb started for one command and stopped
// with it; the plug-in finds it through DISPLAY, as it finds its host's display.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "overtonic-host/lib/PluginInstance.h"
#include "overtonic-host/lib/Result.h"

namespace hostapp {

// Milliseconds between two effEditIdle calls (about 30 a second).
inline constexpr int kEditorIdleMs = 33;

class EditorDisplay {
 public:
  // The display named by $DISPLAY; fails when there is none or it cannot be reached.
  static hostlib::Result<std::unique_ptr<EditorDisplay>> connectToUsersDisplay();
  // Starts `Xvfb` (found on PATH) on a free display number with a 24-bit screen of at least
  // width x height, connects to it and points DISPLAY at it.
  static hostlib::Result<std::unique_ptr<EditorDisplay>> startPrivate(int width, int height);
  // Closes the connection and stops a private server.
  ~EditorDisplay();
  EditorDisplay(const EditorDisplay&) = delete;
  EditorDisplay& operator=(const EditorDisplay&) = delete;

  const std::string& name() const { return name_; }
  bool isPrivate() const { return serverPid_ > 0; }
  // The private server's process id; 0 for the user's display.
  int serverPid() const { return serverPid_ > 0 ? serverPid_ : 0; }
  void* connection() const { return display_; }
  // Reads the pending events of the connection: a close request from the window manager for
  // `window`, or its destruction, sets `closeRequested`; the destruction also sets `gone`.
  void readWindowEvents(unsigned long window, bool& closeRequested, bool& gone);

 private:
  EditorDisplay(void* display, std::string name, int serverPid)
      : display_(display), name_(std::move(name)), serverPid_(serverPid) {}
  void* display_;
  std::string name_;
  int serverPid_;
};

// A fixed-size top-level window that the window manager may ask to close, for content that is
// embedded in it as a host embeds an editor.
class HostTopWindow {
 public:
  HostTopWindow(EditorDisplay& display, const std::string& title, int width, int height);
  // Destroys the window unless it is already gone.
  ~HostTopWindow();
  HostTopWindow(const HostTopWindow&) = delete;
  HostTopWindow& operator=(const HostTopWindow&) = delete;

  unsigned long id() const { return window_; }
  void* asParent() const { return reinterpret_cast<void*>(static_cast<std::uintptr_t>(window_)); }
  // Reads the window's pending events: a close request, or the window destroyed.
  void readEvents();
  bool closeRequested() const { return closeRequested_; }
  bool isGone() const { return gone; }

 private:
  EditorDisplay& display_;
  unsigned long window_;
  bool closeRequested_ = false;
  bool gone = false;
};

class EditorWindow {
 public:
  // Asks the plug-in for its rectangle, makes a window of that size titled `title`, maps it and
  // opens the editor in it. Fails when the plug-in has no editor, gives no usable rectangle or
  // refuses to open.
  static hostlib::Result<std::unique_ptr<EditorWindow>> open(EditorDisplay& display,
                                                             hostlib::PluginInstance& plugin,
                                                             const std::string& title);
  // effEditClose, then the window is destroyed.
  ~EditorWindow();
  EditorWindow(const EditorWindow&) = delete;
  EditorWindow& operator=(const EditorWindow&) = delete;

  // One effEditIdle, then the window's own events (a close request from the window manager, the
  // window destroyed).
  void idle();
  bool closeRequested() const { return window_.closeRequested(); }
  int width() const { return width_; }
  int height() const { return height_; }
  // The X11 window the editor is embedded in.
  unsigned long nativeWindow() const { return window_.id(); }
  // What the window shows now: width x height pixels 0x00RRGGBB, row by row.
  hostlib::Result<std::vector<std::uint32_t>> capture();

 private:
  EditorWindow(EditorDisplay& display, hostlib::PluginInstance& plugin, const std::string& title,
               int width, int height);
  EditorDisplay& display_;
  hostlib::PluginInstance& plugin_;
  HostTopWindow window_;
  int width_;
  int height_;
  bool editorOpen = false;
};

}  // namespace hostapp
