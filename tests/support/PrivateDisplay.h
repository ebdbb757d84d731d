// An Xvfb server of the test's own, for X11 tests that press keys or open other programs' windows
// (a drag with Control held, a real zenity): on the display that the other test programs share
// they would disturb each other. Started through our child-process runner, its display number
// read from -displayfd; DISPLAY points at it for the test process and what it starts. The server
// is stopped at the end.
#pragma once

#include <cstdlib>
#include <memory>
#include <string>

#include "gui/platform/ChildProcess.h"

class PrivateDisplay {
 public:
  PrivateDisplay() {
    const char* shared = std::getenv("DISPLAY");
    if (shared) savedDisplay = shared;
    server = ChildProcess::start(
        {"Xvfb", "-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
    // The display number comes as one line once the server accepts connections.
    for (int waited = 0; server && waited < 10000; waited += 20) {
      const bool running = server->wait(20);
      const std::string& said = server->output();
      if (said.find('\n') != std::string::npos) {
        name_ = ":" + said.substr(0, said.find('\n'));
        ::setenv("DISPLAY", name_.c_str(), 1);
        return;
      }
      if (!running) break;
    }
    server.reset();
  }
  ~PrivateDisplay() {
    if (!savedDisplay.empty()) {
      ::setenv("DISPLAY", savedDisplay.c_str(), 1);
    } else {
      ::unsetenv("DISPLAY");
    }
  }
  PrivateDisplay(const PrivateDisplay&) = delete;
  PrivateDisplay& operator=(const PrivateDisplay&) = delete;

  bool usable() const { return !name_.empty(); }
  const std::string& name() const { return name_; }

 private:
  std::unique_ptr<ChildProcess> server;
  std::string name_;
  std::string savedDisplay;
};
