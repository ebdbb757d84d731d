// The file selector beside an editor on the real X11 back end, on an Xvfb of the test's own:
// the dialog belongs to the host's top-level window (zenity's --attach when the installed zenity
// has it, kdialog's --attach), and the real zenity, when installed, driven with XTest keys:
// a file saved under a typed name, a file opened by its typed path, a cancelled dialog and one
// closed by releasing its selector, all while the editor is idled. (zenity 3.44 takes --attach
// but was not seen to mark its window transient, so only the argument is checked.)
// GoogleTest first: Xlib defines macros (None, Bool) that would break its headers.
#include <gtest/gtest.h>

#include "tests/gui/X11TestSupport.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "gui/EditorBase.h"
#include "gui/GuiFileSelector.h"
#include "gui/GuiFrame.h"
#include "gui/platform/x11/X11FrameWindow.h"
#include "host/EffectBaseX.h"
#include "tests/support/DialogStandIns.h"
#include "tests/support/PrivateDisplay.h"

namespace {

constexpr int kHostX = 60;
constexpr int kHostY = 50;

// A plug-in shell without a host selector, and an editor that opens a frame on X11.
class PlainEffect : public EffectBaseX {
 public:
  PlainEffect() : EffectBaseX(nullptr, 1, 1) {}
  void process(float**, float**, VstInt32) override {}
};

class FrameEditor : public EditorBase {
 public:
  explicit FrameEditor(EffectBaseX* owner) : EditorBase(owner, x11) {}
  ~FrameEditor() override { FrameEditor::close(); }
  VstIntPtr open(void* window) override {
    EditorBase::open(window);
    frame = new GuiFrame({0, 0, 200, 120}, window, this, x11);
    return frame->isWindowOpen() ? 1 : 0;
  }
  void close() override {
    delete frame;
    frame = nullptr;
  }

 private:
  static inline X11FrameBackend x11;
};

VstFileSelect recordFor(VstInt32 command, char* buffer, VstInt32 size, const char* title) {
  VstFileSelect record{};
  record.command = command;
  std::snprintf(record.title, sizeof record.title, "%s", title);
  record.returnPath = buffer;
  record.sizeReturnPath = size;
  return record;
}

class X11FileDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!display.usable()) GTEST_SKIP() << "Xvfb could not be started";
    ::setenv("NO_AT_BRIDGE", "1", 1);  // GTK would wait for an accessibility bus
    host = std::make_unique<x11test::HostWindow>(kHostX, kHostY, 300, 200);
    ASSERT_TRUE(host->usable());
    editor = new FrameEditor(&effect);
  }
  void openEditorIn(Window parent) {
    ASSERT_EQ(editor->open(reinterpret_cast<void*>(static_cast<std::uintptr_t>(parent))), 1);
  }
  void TearDown() override {
    if (editor) editor->close();
    host.reset();
  }
  // One selection through the stand-in `tool`; what the tool was asked.
  standins::Run selectWith(const char* tool, bool attachOffered = true) {
    standins::StandInTools tools{tool};
    tools.offerAttach(attachOffered);
    tools.reply("/tmp/a.fxp\n");
    char buffer[64] = {};
    VstFileSelect record = recordFor(kVstFileLoad, buffer, sizeof buffer, "Attach");
    GuiFileSelector selector(&effect);
    EXPECT_EQ(selector.run(&record), 1);
    const std::vector<standins::Run> runs = tools.runs();
    return runs.empty() ? standins::Run{} : runs.front();
  }

  PrivateDisplay display;
  std::unique_ptr<x11test::HostWindow> host;
  PlainEffect effect;  // owns the editor
  FrameEditor* editor = nullptr;
};

TEST_F(X11FileDialog, ZenityIsAttachedToTheHostsWindowWhenItHasTheOption) {
  openEditorIn(host->window());
  const std::string attach = "--attach=" + std::to_string(host->window());
  EXPECT_TRUE(selectWith("zenity", true).has(attach));
  EXPECT_FALSE(selectWith("zenity", false).has(attach)) << "a zenity without the option";
}

TEST_F(X11FileDialog, KdialogIsAttachedToTheHostsWindow) {
  openEditorIn(host->window());
  EXPECT_EQ(selectWith("kdialog").after("--attach"), std::to_string(host->window()));
}

TEST_F(X11FileDialog, TheDialogBelongsToTheWindowTheWindowManagerManages) {
  // root -> a window manager's frame (the host window) -> the host's client window, carrying
  // WM_STATE -> a panel area of the host -> the editor's frame.
  Display* dpy = host->display();
  const Window client = XCreateSimpleWindow(dpy, host->window(), 5, 5, 280, 180, 0, 0, 0);
  const Window area = XCreateSimpleWindow(dpy, client, 10, 10, 250, 150, 0, 0, 0);
  const long state[2] = {1, 0};  // NormalState, no icon
  const Atom wmState = XInternAtom(dpy, "WM_STATE", False);
  XChangeProperty(dpy, client, wmState, wmState, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(state), 2);
  XMapWindow(dpy, client);
  XMapWindow(dpy, area);
  XSync(dpy, False);
  openEditorIn(area);
  EXPECT_EQ(selectWith("kdialog").after("--attach"), std::to_string(client));
}

// ---- the real zenity ----------------------------------------------------------------------

// The real zenity, found on the PATH the tests were started with.
bool zenityInstalled() {
  const char* path = std::getenv("PATH");
  std::string folders = path ? path : "";
  std::size_t begin = 0;
  while (begin <= folders.size()) {
    std::size_t end = folders.find(':', begin);
    if (end == std::string::npos) end = folders.size();
    const std::string candidate = folders.substr(begin, end - begin) + "/zenity";
    if (::access(candidate.c_str(), X_OK) == 0) return true;
    begin = end + 1;
  }
  return false;
}

// zenity's windows come and go while the test looks at them: errors about a vanished window are
// expected, and must not end the test program as Xlib's default handler would.
int ignoreXErrors(Display*, XErrorEvent*) { return 0; }

class RealZenity : public X11FileDialog {
 protected:
  void SetUp() override {
    if (!zenityInstalled()) GTEST_SKIP() << "zenity is not installed";
    previousHandler = XSetErrorHandler(ignoreXErrors);
    X11FileDialog::SetUp();
    if (IsSkipped()) return;
    openEditorIn(host->window());
  }
  void TearDown() override {
    X11FileDialog::TearDown();
    XSetErrorHandler(previousHandler);
  }

  // Idles the editor (the started selection completes there) until `done`, for up to 20 s.
  bool idleUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 2000; ++i) {
      editor->idle();
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }
  // zenity's top-level window, found by its title once it is viewable.
  Window dialogWindow(const std::string& title) {
    Window found = 0;
    idleUntil([&] {
      Display* dpy = host->display();
      Window root = 0, parent = 0;
      Window* children = nullptr;
      unsigned int count = 0;
      XQueryTree(dpy, DefaultRootWindow(dpy), &root, &parent, &children, &count);
      for (unsigned int i = 0; i < count && !found; ++i) {
        char* name = nullptr;
        XWindowAttributes attributes{};
        if (XFetchName(dpy, children[i], &name) && name && title == name &&
            XGetWindowAttributes(dpy, children[i], &attributes) &&
            attributes.map_state == IsViewable) {
          found = children[i];
        }
        if (name) XFree(name);
      }
      if (children) XFree(children);
      return found != 0;
    });
    return found;
  }
  void type(Window window, const std::string& text) {
    Display* dpy = host->display();
    XSetInputFocus(dpy, window, RevertToParent, CurrentTime);
    XSync(dpy, False);
    idleFor(500);  // the dialog takes the focus and settles
    for (char c : text) key(static_cast<KeySym>(static_cast<unsigned char>(c)));
  }
  // Presses `symbol` until the dialog has closed: it checks a typed name for a moment before
  // its OK button takes Return.
  bool pressUntilClosed(KeySym symbol) {
    for (int attempt = 0; attempt < 10 && result < 0; ++attempt) {
      key(symbol);
      for (int waited = 0; waited < 500 && result < 0; waited += 10) idleFor(10);
    }
    return idleUntil([&] { return result >= 0; });
  }
  void key(KeySym symbol) {
    Display* dpy = host->display();
    const KeyCode code = XKeysymToKeycode(dpy, symbol);
    const bool shifted = XkbKeycodeToKeysym(dpy, code, 0, 0) != symbol;
    const KeyCode shift = XKeysymToKeycode(dpy, XK_Shift_L);
    if (shifted) XTestFakeKeyEvent(dpy, shift, True, CurrentTime);
    XTestFakeKeyEvent(dpy, code, True, CurrentTime);
    XTestFakeKeyEvent(dpy, code, False, CurrentTime);
    if (shifted) XTestFakeKeyEvent(dpy, shift, False, CurrentTime);
    XSync(dpy, False);
    idleFor(20);
  }
  void idleFor(int milliseconds) {
    for (int waited = 0; waited < milliseconds; waited += 10) {
      editor->idle();
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  bool topLevelExists(Window window) {
    Display* dpy = host->display();
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    XQueryTree(dpy, DefaultRootWindow(dpy), &root, &parent, &children, &count);
    const bool found = std::find(children, children + count, window) != children + count;
    if (children) XFree(children);
    return found;
  }

  // Starts a selection (`command`, titled `title`, in `start` if given) and answers zenity's
  // window once it is on the screen, 0 if it never comes.
  Window startDialog(VstInt32 command, const std::string& title, const std::string& start = "") {
    record = recordFor(command, buffer, sizeof buffer, title.c_str());
    startFolder = start;
    if (!startFolder.empty()) record.initialPath = startFolder.data();
    selector = std::make_unique<GuiFileSelector>(&effect);
    if (!selector->start(&record, [this](std::int32_t n) { result = n; })) return 0;
    return dialogWindow(title);
  }
  // Types `text` into the dialog and presses `finish` until the selection has completed.
  bool answer(Window dialog, const std::string& text, KeySym finish) {
    type(dialog, text);
    return pressUntilClosed(finish);
  }

  ScratchFolder folder;
  char buffer[1024] = {};
  VstFileSelect record{};
  std::string startFolder;
  std::unique_ptr<GuiFileSelector> selector;
  std::int32_t result = -1;  // the started selection's count once it completed
  XErrorHandler previousHandler = nullptr;
};

TEST_F(RealZenity, AFileIsSavedUnderATypedNameWhileTheEditorRuns) {
  const Window dialog = startDialog(kVstFileSave, "Overtonic save test", folder.root());
  ASSERT_NE(dialog, 0u) << "zenity's dialog never appeared";
  ASSERT_TRUE(answer(dialog, "new preset.fxp", XK_Return)) << "the dialog never closed";
  EXPECT_EQ(result, 1);
  EXPECT_EQ(std::string(buffer), folder.path("new preset.fxp"));
}

TEST_F(RealZenity, AFileIsOpenedByItsTypedPath) {
  const std::string existing = folder.touch("lead.fxp");
  const Window dialog = startDialog(kVstFileLoad, "Overtonic open test");
  ASSERT_NE(dialog, 0u) << "zenity's dialog never appeared";
  // A leading slash opens the dialog's location field.
  ASSERT_TRUE(answer(dialog, existing, XK_Return)) << "the dialog never closed";
  EXPECT_EQ(result, 1);
  EXPECT_EQ(std::string(buffer), existing);
}

TEST_F(RealZenity, EscapeCancelsAndNothingIsChosen) {
  std::snprintf(buffer, sizeof buffer, "%s", "untouched");
  const Window dialog = startDialog(kVstFileLoad, "Overtonic cancel test");
  ASSERT_NE(dialog, 0u) << "zenity's dialog never appeared";
  ASSERT_TRUE(answer(dialog, "", XK_Escape)) << "the dialog never closed";
  EXPECT_EQ(result, 0);
  EXPECT_STREQ(buffer, "");
}

TEST_F(RealZenity, ReleasingTheSelectorClosesTheOpenDialog) {
  const Window dialog = startDialog(kVstFileLoad, "Overtonic release test");
  ASSERT_NE(dialog, 0u) << "zenity's dialog never appeared";
  selector.reset();
  EXPECT_TRUE(idleUntil([&] { return !topLevelExists(dialog); }))
      << "the dialog stayed on the screen";
  EXPECT_EQ(result, -1) << "a released selector completes nothing";
}

}  // namespace
