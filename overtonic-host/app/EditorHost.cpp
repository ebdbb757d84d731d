// The editor's host window on X11 and the private Xvfb. Xlib comes after our own headers: it
// defines macros (Status, Bool, None) that would break them.
#include "overtonic-host/app/EditorHost.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

extern char** environ;

namespace hostapp {
namespace {

constexpr int kServerStartMs = 10000;

Display* asDisplay(void* display) { return static_cast<Display*>(display); }

// Errors of our own requests are reported, not fatal: Xlib's default handler would end the
// program, and with it the plug-in's chance to close cleanly.
int reportXError(Display* display, XErrorEvent* event) {
  char text[256] = {};
  XGetErrorText(display, event->error_code, text, sizeof text);
  std::fprintf(stderr, "overtonic-host: X error: %s (request %d)\n", text, event->request_code);
  return 0;
}

// Reads the display number Xvfb writes to `fd` once it accepts connections.
hostlib::Result<int> readDisplayNumber(int fd) {
  std::string digits;
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(kServerStartMs);
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd wait{fd, POLLIN, 0};
    const int ready = ::poll(&wait, 1, 100);
    if (ready < 0 && errno != EINTR) break;
    if (ready <= 0) continue;
    char buffer[16];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n <= 0) break;  // the server ended before telling
    digits.append(buffer, static_cast<std::size_t>(n));
    if (digits.find('\n') != std::string::npos) {
      char* end = nullptr;
      const long number = std::strtol(digits.c_str(), &end, 10);
      if (end != digits.c_str() && number >= 0 && number < 65536) return static_cast<int>(number);
      break;
    }
  }
  return hostlib::fail("Xvfb did not start (it named no display within " +
                       std::to_string(kServerStartMs / 1000) + " s)");
}

// A busy server can turn a connection away for a moment (its listen queue is full), so the
// connection is tried for up to a second.
Display* openDisplay(const char* name) {
  for (int attempt = 0; attempt < 50; ++attempt) {
    if (Display* display = XOpenDisplay(name)) return display;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return nullptr;
}

void stopServer(pid_t pid) {
  if (pid <= 0) return;
  ::kill(pid, SIGTERM);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
}

// Starts Xvfb without a shell; its output goes to /dev/null, its display number comes back
// through a pipe (-displayfd).
hostlib::Result<std::pair<pid_t, int>> spawnServer(int width, int height) {
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0)
    return hostlib::fail(std::string("pipe: ") + std::strerror(errno));
  const int childFd = 3;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], childFd);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  std::vector<std::string> words{
      "Xvfb", "-displayfd", std::to_string(childFd), "-screen", "0", screen, "-nolisten", "tcp"};
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  const int spawned = ::posix_spawnp(&pid, "Xvfb", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[1]);
  if (spawned != 0) {
    ::close(pipeFds[0]);
    return hostlib::fail(std::string("cannot start Xvfb: ") + std::strerror(spawned) +
                         " (install the xvfb package, or run with a display)");
  }
  auto number = readDisplayNumber(pipeFds[0]);
  ::close(pipeFds[0]);
  if (!number.ok()) {
    stopServer(pid);
    return hostlib::fail(number.error());
  }
  return std::pair<pid_t, int>{pid, number.value()};
}

}  // namespace

// ---- the display ------------------------------------------------------------------------------

hostlib::Result<std::unique_ptr<EditorDisplay>> EditorDisplay::connectToUsersDisplay() {
  const char* name = std::getenv("DISPLAY");
  if (!name || !*name) return hostlib::fail("no X display (DISPLAY is not set)");
  Display* display = openDisplay(name);
  if (!display) return hostlib::fail(std::string("cannot open the X display ") + name);
  XSetErrorHandler(reportXError);
  return std::unique_ptr<EditorDisplay>(new EditorDisplay(display, name, 0));
}

hostlib::Result<std::unique_ptr<EditorDisplay>> EditorDisplay::startPrivate(int width, int height) {
  auto server = spawnServer(width, height);
  if (!server.ok()) return hostlib::fail(server.error());
  const auto [pid, number] = server.value();
  const std::string name = ":" + std::to_string(number);
  Display* display = openDisplay(name.c_str());
  if (!display) {
    stopServer(pid);
    return hostlib::fail("cannot connect to the private X server " + name);
  }
  XSetErrorHandler(reportXError);
  ::setenv("DISPLAY", name.c_str(), 1);  // the plug-in opens its own connection to it
  return std::unique_ptr<EditorDisplay>(new EditorDisplay(display, name, pid));
}

void EditorDisplay::readWindowEvents(unsigned long window, bool& closeRequested, bool& gone) {
  Display* dpy = asDisplay(display_);
  const Atom deleteWindow = XInternAtom(dpy, "WM_DELETE_WINDOW", True);
  while (XPending(dpy) > 0) {
    XEvent event;
    XNextEvent(dpy, &event);
    if (event.type == ClientMessage && event.xclient.window == window &&
        static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow) {
      closeRequested = true;
    } else if (event.type == DestroyNotify && event.xdestroywindow.window == window) {
      gone = true;
      closeRequested = true;
    }
  }
}

EditorDisplay::~EditorDisplay() {
  XCloseDisplay(asDisplay(display_));
  stopServer(serverPid_);
}

// ---- the window -------------------------------------------------------------------------------

hostlib::Result<std::unique_ptr<EditorWindow>> EditorWindow::open(EditorDisplay& display,
                                                                  hostlib::PluginInstance& plugin,
                                                                  const std::string& title) {
  if (!(plugin.effect()->flags & effFlagsHasEditor))
    return hostlib::fail("the plug-in has no editor");
  ERect* rect = nullptr;
  if (plugin.dispatch(effEditGetRect, 0, 0, &rect) == 0 || !rect) {
    return hostlib::fail("the plug-in gives no editor rectangle");
  }
  const int width = rect->right - rect->left;
  const int height = rect->bottom - rect->top;
  if (width <= 0 || height <= 0) {
    return hostlib::fail("the plug-in's editor rectangle is empty (" + std::to_string(width) +
                         " x " + std::to_string(height) + ")");
  }
  std::unique_ptr<EditorWindow> made(new EditorWindow(display, plugin, title, width, height));
  if (plugin.dispatch(effEditOpen, 0, 0, made->window_.asParent()) == 0) {
    return hostlib::fail("the plug-in could not open its editor in window " +
                         std::to_string(made->window_.id()));
  }
  made->editorOpen = true;
  return made;
}

EditorWindow::EditorWindow(EditorDisplay& display, hostlib::PluginInstance& plugin,
                           const std::string& title, int width, int height)
    : display_(display),
      plugin_(plugin),
      window_(display, title, width, height),
      width_(width),
      height_(height) {}

EditorWindow::~EditorWindow() {
  if (editorOpen) plugin_.dispatch(effEditClose);
}

void EditorWindow::idle() {
  if (editorOpen) plugin_.dispatch(effEditIdle);
  window_.readEvents();
}

HostTopWindow::HostTopWindow(EditorDisplay& display, const std::string& title, int width,
                             int height)
    : display_(display) {
  Display* dpy = asDisplay(display.connection());
  window_ = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, static_cast<unsigned>(width),
                                static_cast<unsigned>(height), 0, 0, 0);
  XStoreName(dpy, window_, title.c_str());
  XSizeHints* hints = XAllocSizeHints();
  if (hints) {
    hints->flags = PMinSize | PMaxSize;
    hints->min_width = hints->max_width = width;
    hints->min_height = hints->max_height = height;
    XSetWMNormalHints(dpy, window_, hints);
    XFree(hints);
  }
  Atom deleteWindow = XInternAtom(dpy, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(dpy, window_, &deleteWindow, 1);
  XSelectInput(dpy, window_, StructureNotifyMask);
  XMapWindow(dpy, window_);
  XSync(dpy, False);
}

HostTopWindow::~HostTopWindow() {
  Display* dpy = asDisplay(display_.connection());
  if (!gone) XDestroyWindow(dpy, window_);
  XSync(dpy, False);
}

void HostTopWindow::readEvents() { display_.readWindowEvents(window_, closeRequested_, gone); }

hostlib::Result<std::vector<std::uint32_t>> EditorWindow::capture() {
  if (window_.isGone()) return hostlib::fail("the editor window is gone");
  Display* dpy = asDisplay(display_.connection());
  XSync(dpy, False);
  XImage* image = XGetImage(dpy, window_.id(), 0, 0, static_cast<unsigned>(width_),
                            static_cast<unsigned>(height_), AllPlanes, ZPixmap);
  if (!image) return hostlib::fail("cannot read the editor window's pixels");
  const unsigned long redMask = image->red_mask, greenMask = image->green_mask,
                      blueMask = image->blue_mask;
  // Scales a masked channel to 8 bits whatever the visual's channel position and width.
  auto channel = [](unsigned long pixel, unsigned long mask) -> std::uint32_t {
    if (mask == 0) return 0;
    const int shift = __builtin_ctzl(mask);
    const unsigned long maximum = mask >> shift;
    return static_cast<std::uint32_t>(((pixel & mask) >> shift) * 255 / maximum);
  };
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width_) *
                                    static_cast<std::size_t>(height_));
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      const unsigned long pixel = XGetPixel(image, x, y);
      pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
             static_cast<std::size_t>(x)] = (channel(pixel, redMask) << 16) |
                                            (channel(pixel, greenMask) << 8) |
                                            channel(pixel, blueMask);
    }
  }
  XDestroyImage(image);
  return pixels;
}

}  // namespace hostapp
