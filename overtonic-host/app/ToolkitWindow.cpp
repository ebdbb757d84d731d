// The toolkit frame in a window of the program's own. Xlib comes after our own headers: it
// defines macros (Status, Bool, None) that would break them.
#include "overtonic-host/app/ToolkitWindow.h"

#include "gui/EditorBase.h"
#include "gui/GuiFrame.h"
#include "gui/platform/FrameWindow.h"
#include "gui/platform/x11/X11FrameWindow.h"
#include "host/EffectBaseX.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace hostapp {

// The editor: a frame filling the window, showing the content view.
class ToolkitEditor final : public EditorBase {
 public:
  // The program's windows are X11 windows; one back end serves them all.
  static FrameBackend& backend() {
    static X11FrameBackend x11;
    return x11;
  }

  ToolkitEditor(EffectBaseX* shell, int width, int height, GuiView* content)
      : EditorBase(shell, backend()), size{0, 0, width, height}, content_(content) {
    rect = {0, 0, static_cast<VstInt16>(height), static_cast<VstInt16>(width)};
  }
  ~ToolkitEditor() override {
    ToolkitEditor::close();
    if (content_) content_->release();  // never handed to a frame
  }
  VstIntPtr open(void* window) override {
    EditorBase::open(window);
    frame = new GuiFrame(size, window, this, backend());
    if (content_) frame->addView(std::exchange(content_, nullptr));
    return frame->isWindowOpen() ? 1 : 0;
  }
  void close() override {
    delete frame;
    frame = nullptr;
  }

 private:
  GuiRect size;
  GuiView* content_;
};

// A plug-in shell without a host; it owns the editor, as a plug-in does.
class ToolkitShell final : public EffectBaseX {
 public:
  ToolkitShell() : EffectBaseX(nullptr, 1, 0) {}
  void process(float**, float**, VstInt32) override {}
  EditorBase* editorBase() { return static_cast<EditorBase*>(getEditor()); }
};

namespace {

Display* asDisplay(void* display) { return static_cast<Display*>(display); }

// `on` hands drops on to `frame`: the XdndProxy property on both, as the protocol asks.
void proxyDropsTo(Display* dpy, Window on, Window frame) {
  const Atom proxy = XInternAtom(dpy, "XdndProxy", False);
  for (const Window window : {on, frame}) {
    XChangeProperty(dpy, window, proxy, XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&frame), 1);
  }
}

}  // namespace

hostlib::Result<std::unique_ptr<ToolkitWindow>> ToolkitWindow::open(EditorDisplay& display,
                                                                    int width, int height,
                                                                    const std::string& title,
                                                                    GuiView* content) {
  Display* dpy = asDisplay(display.connection());
  XSetWindowAttributes attributes{};
  attributes.event_mask = StructureNotifyMask;
  const Window window =
      XCreateWindow(dpy, DefaultRootWindow(dpy), 0, 0, static_cast<unsigned>(width),
                    static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                    CWEventMask, &attributes);
  XStoreName(dpy, window, title.c_str());
  Atom closeRequest = XInternAtom(dpy, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(dpy, window, &closeRequest, 1);
  XMapWindow(dpy, window);
  XSync(dpy, False);

  std::unique_ptr<ToolkitWindow> made(new ToolkitWindow(display, window));
  made->shell_ = std::make_unique<ToolkitShell>();
  EditorBase* editor = new ToolkitEditor(made->shell_.get(), width, height, content);
  if (editor->open(reinterpret_cast<void*>(static_cast<std::uintptr_t>(window))) == 0) {
    return hostlib::fail("cannot open a toolkit frame in window " + std::to_string(window));
  }
  proxyDropsTo(dpy, window, made->frameWindow());
  XSync(dpy, False);
  return made;
}

ToolkitWindow::ToolkitWindow(EditorDisplay& display, unsigned long window)
    : display_(display), window_(window) {}

ToolkitWindow::~ToolkitWindow() {
  shell_.reset();  // the editor, its frame and views go with the shell
  Display* dpy = asDisplay(display_.connection());
  if (!windowGone_) XDestroyWindow(dpy, window_);
  XSync(dpy, False);
}

unsigned long ToolkitWindow::frameWindow() const {
  GuiFrame* frame = shell_ ? shell_->editorBase()->getFrame() : nullptr;
  FrameWindow* native = frame ? frame->getPlatformWindow() : nullptr;
  return native ? static_cast<unsigned long>(native->nativeId()) : 0;
}

EffectBaseX* ToolkitWindow::shell() const { return shell_.get(); }

void ToolkitWindow::idle() {
  if (shell_) shell_->editorBase()->idle();
  display_.readWindowEvents(window_, closeRequested_, windowGone_);
}

}  // namespace hostapp
