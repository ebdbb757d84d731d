// Controls on the real X11 back end (Xvfb in the test run) with real pointer and key events from
// XTest: a click released before the frame's next idle still acts exactly once; typing into the
// text field and Enter keep the text, Escape does not; the choice menu's popup list is chosen
// from with a click, closed by a click outside, and taken down cleanly when the host closes the
// editor while it is open. Pointer and keys are sent while the server is held, so that no other
// test's pointer gets in between; what needs the frame to be inside its loop (the open list) is
// sent from the host's idle callback, which the loop keeps calling.
// GoogleTest first: Xlib defines macros (None, Bool) that would break its headers.
#include <gtest/gtest.h>

#include "tests/gui/X11TestSupport.h"

#include <X11/keysym.h>

#include <chrono>
#include <memory>
#include <thread>

#include "gui/GuiChoiceMenu.h"
#include "gui/GuiMomentaryButton.h"
#include "gui/GuiOnOffButton.h"
#include "gui/GuiTextEdit.h"
#include "gui/GuiTwoFrameButton.h"
#include "gui/MenuLayout.h"
#include "gui/platform/x11/X11FrameWindow.h"
#include "gui/platform/x11/X11Keys.h"
#include "tests/gui/ControlTestSupport.h"

namespace {

using x11test::HostWindow;
using x11test::ServerGrab;

// Away from the other X11 tests' windows.
constexpr int kHostX = 20;
constexpr int kHostY = 560;
constexpr GuiRect kFrameRect{0, 0, 340, 280};

constexpr GuiRect kMenuRect{20, 20, 140, 40};
constexpr GuiRect kEditRect{180, 20, 320, 40};

class X11ControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host = std::make_unique<HostWindow>(kHostX, kHostY, 360, 300);
    if (!host->usable()) GTEST_SKIP() << "no X display with XTest (the test command starts Xvfb)";
    editor = new ControlEditor(&effect, &backend, kFrameRect);  // owned by the effect
    editor->open(host->asParent());
    frame = editor->getFrame();
    ASSERT_TRUE(frame && frame->isWindowOpen());
    ASSERT_TRUE(pumpUntil([&] { return !frame->isFirstDrawPending(); }))
        << "the first Expose never arrived";
  }
  void TearDown() override {
    if (editor) editor->close();
    host.reset();
  }

  bool pumpUntil(const std::function<bool()>& done) {
    return x11test::pumpUntil([&] { editor->idle(); }, done);
  }
  Window frameWindow() const { return static_cast<Window>(frame->getPlatformWindow()->nativeId()); }
  void clickAt(GuiPoint at) {
    const ServerGrab grab(host->display(), host->window());
    host->movePointer(at.h, at.v);
    host->click(1);
  }
  // Types `keys` into the frame window, which is given the focus first, as a window manager
  // would when the user works in the editor.
  void typeKeys(const std::vector<KeySym>& keys) {
    Display* dpy = host->display();
    const ServerGrab grab(dpy, host->window());
    XSetInputFocus(dpy, frameWindow(), RevertToParent, CurrentTime);
    for (KeySym symbol : keys) {
      const KeyCode code = XKeysymToKeycode(dpy, symbol);
      ASSERT_NE(code, 0) << "no key for symbol " << symbol;
      XTestFakeKeyEvent(dpy, code, True, CurrentTime);
      XTestFakeKeyEvent(dpy, code, False, CurrentTime);
    }
    XSync(dpy, False);
  }
  // The frame-window point in the middle of entry `index` of `menu`'s list, which opens below
  // the menu.
  GuiPoint entryPoint(GuiChoiceMenu& menu, std::int32_t index) {
    return middleOf(menuEntryRect(menu, index)).offsetBy({kMenuRect.left, kMenuRect.bottom});
  }
  // Override-redirect windows on the screen at `screenTopLeft` (our popups).
  std::vector<Window> popupsAt(GuiPoint screenTopLeft) {
    Display* dpy = host->display();
    XSync(dpy, False);
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    std::vector<Window> found;
    if (!XQueryTree(dpy, DefaultRootWindow(dpy), &root, &parent, &children, &count)) return found;
    for (unsigned int i = 0; i < count; ++i) {
      XWindowAttributes a{};
      if (XGetWindowAttributes(dpy, children[i], &a) && a.override_redirect &&
          a.map_state == IsViewable && a.x == screenTopLeft.h && a.y == screenTopLeft.v) {
        found.push_back(children[i]);
      }
    }
    if (children) XFree(children);
    return found;
  }
  // Opens `menu` with a real click and runs `whileOpen` from the host's idle callback once the
  // list is up, then lets the list's loop finish.
  void openMenuAnd(GuiChoiceMenu& menu, const std::function<void()>& whileOpen) {
    bool done = false;
    effect.duringIdle = [&] {
      if (done || !menu.isListOpen()) return;
      done = true;
      whileOpen();
    };
    clickAt({(kMenuRect.left + kMenuRect.right) / 2, (kMenuRect.top + kMenuRect.bottom) / 2});
    ASSERT_TRUE(pumpUntil([&] { return done && (!editor->getFrame() || !menu.isListOpen()); }))
        << "the list did not open, or did not close again";
    effect.duringIdle = nullptr;
  }

  X11FrameBackend backend;
  RecordingEffect effect;
  ControlEditor* editor = nullptr;
  GuiFrame* frame = nullptr;
  std::unique_ptr<HostWindow> host;
  RecordingListener listener;
};

// ---- quick clicks -------------------------------------------------------------------------

TEST_F(X11ControlTest, AClickReleasedBeforeTheNextIdleActsExactlyOnce) {
  auto* onOff = new GuiOnOffButton({20, 100, 60, 120}, &listener, 1, nullptr);
  auto* momentary = new GuiMomentaryButton({80, 100, 120, 120}, &listener, 2, 10, nullptr, {0, 0});
  frame->addView(onOff);
  frame->addView(momentary);
  editor->idle();
  clickAt({40, 110});
  clickAt({100, 110});
  std::this_thread::sleep_for(std::chrono::milliseconds(50));  // let the events arrive
  editor->idle();  // one idle for both clicks, presses and releases long queued
  EXPECT_EQ(onOff->getValue(), 1.0f);
  ASSERT_EQ(listener.calls.size(), 3u) << "on/off once, momentary pressed and released";
  EXPECT_EQ(listener.calls[0].control, onOff);
  EXPECT_EQ(listener.calls[1].value, 1.0f);
  EXPECT_EQ(listener.calls[2].value, 0.0f);
  EXPECT_EQ(effect.count(audioMasterBeginEdit), 0) << "a click is no held gesture";
}

TEST_F(X11ControlTest, TwoQuickClicksBeforeOneIdleActTwice) {
  auto* toggle = new GuiTwoFrameButton({20, 100, 60, 120}, &listener, 1, 10, nullptr, {0, 0});
  frame->addView(toggle);
  editor->idle();
  clickAt({40, 110});
  clickAt({40, 110});
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  editor->idle();
  EXPECT_EQ(listener.values(), (std::vector<float>{1.0f, 0.0f}));
  EXPECT_EQ(toggle->getValue(), 0.0f);
}

// ---- text edit ----------------------------------------------------------------------------

TEST(X11Keys, KeySymbolsOfOneCharacterBecomeUtf8) {
  const std::pair<unsigned long, const char*> cases[] = {{XK_a, "a"},
                                                         {XK_eacute, "\xC3\xA9"},
                                                         {0x10020AC, "\xE2\x82\xAC"},
                                                         {0x101F3B5, "\xF0\x9F\x8E\xB5"},
                                                         {XK_BackSpace, ""},
                                                         {XK_F1, ""},
                                                         {0x100D800, ""}};
  for (auto [symbol, expected] : cases) {
    char text[8] = "junk";
    keySymbolText(symbol, text);
    EXPECT_STREQ(text, expected) << std::hex << symbol;
  }
}

TEST_F(X11ControlTest, TypingIntoTheTextEditAndPressingEnterKeepsTheText) {
  auto* edit = new GuiTextEdit(kEditRect, &listener, 5, "old", nullptr);
  frame->addView(edit);
  editor->idle();
  clickAt({250, 30});
  ASSERT_TRUE(pumpUntil([&] { return edit->isEditing(); }));
  typeKeys({XK_n, XK_e, XK_w, XK_space, XK_1, XK_2, XK_BackSpace, XK_3, XK_Return});
  ASSERT_TRUE(pumpUntil([&] { return !edit->isEditing(); }));
  EXPECT_STREQ(edit->getText(), "new 13");
  EXPECT_EQ(listener.calls.size(), 1u);
  EXPECT_EQ(frame->getKeyboardTarget(), nullptr);
}

TEST_F(X11ControlTest, EscapeClosesTheTextEditAndKeepsTheOldText) {
  auto* edit = new GuiTextEdit(kEditRect, &listener, 5, "old", nullptr);
  frame->addView(edit);
  editor->idle();
  clickAt({250, 30});
  ASSERT_TRUE(pumpUntil([&] { return edit->isEditing(); }));
  typeKeys({XK_z, XK_z, XK_Escape});
  ASSERT_TRUE(pumpUntil([&] { return !edit->isEditing(); }));
  EXPECT_STREQ(edit->getText(), "old");
  EXPECT_TRUE(listener.calls.empty());
}

// ---- choice menu --------------------------------------------------------------------------

class X11MenuTest : public X11ControlTest {
 protected:
  void SetUp() override {
    X11ControlTest::SetUp();
    if (IsSkipped()) return;
    menu = new GuiChoiceMenu(kMenuRect, &listener, 9, nullptr, nullptr);
    for (const char* text : {"Sine", "Triangle", "-GSquare", "Saw"}) menu->addEntry(text);
    frame->addView(menu);
    // A control under where the list opens: a click there while the list is open must not
    // reach it.
    below = new GuiTwoFrameButton({20, 40, 140, 200}, &listener, 10, 10, nullptr, {0, 0});
    frame->addView(below);
    editor->idle();
  }
  GuiPoint listTopLeftOnScreen() const {
    return {kHostX + kMenuRect.left, kHostY + kMenuRect.bottom};
  }

  GuiChoiceMenu* menu = nullptr;
  GuiTwoFrameButton* below = nullptr;
};

TEST_F(X11MenuTest, ClickingAnEntryOfTheOpenListChoosesIt) {
  std::size_t listsOpen = 0;
  std::uint32_t listPixel = 0;
  openMenuAnd(*menu, [&] {
    listsOpen = popupsAt(listTopLeftOnScreen()).size();
    // Beside the text of the last entry: the list's background.
    const GuiPoint saw = entryPoint(*menu, 3);
    listPixel = host->pixel(DefaultRootWindow(host->display()), kHostX + kMenuRect.left + 3,
                            kHostY + saw.v);
    clickAt(entryPoint(*menu, 3));
  });
  EXPECT_EQ(listsOpen, 1u) << "the list was on the screen below the menu";
  const GuiColor back = MenuLayout::kBackground;
  EXPECT_EQ(listPixel,
            (std::uint32_t{back.red} << 16) | (std::uint32_t{back.green} << 8) | back.blue)
      << "the list is drawn";
  EXPECT_EQ(menu->getCurrent(), 3);
  EXPECT_EQ(listener.values(), (std::vector<float>{3.0f}));
  EXPECT_TRUE(popupsAt(listTopLeftOnScreen()).empty()) << "nothing left on screen";
  EXPECT_EQ(below->getValue(), 0.0f);
}

TEST_F(X11MenuTest, AGreyedEntryCannotBeChosenAndAClickOutsideClosesTheListWithoutAChange) {
  menu->setCurrent(1);
  openMenuAnd(*menu, [&] {
    clickAt(entryPoint(*menu, 2));  // greyed: nothing happens
    clickAt({130, 180});            // outside the list, on the control below it
  });
  EXPECT_EQ(menu->getCurrent(), 1);
  EXPECT_TRUE(listener.calls.empty()) << "no change, and the click did not reach the frame";
  EXPECT_TRUE(popupsAt(listTopLeftOnScreen()).empty());
}

TEST_F(X11MenuTest, TheKeyboardChoosesWhileTheListIsOpen) {
  openMenuAnd(*menu, [&] {
    Display* dpy = host->display();
    const ServerGrab grab(dpy, host->window());
    for (KeySym symbol : {XK_Down, XK_Down, XK_Return}) {
      const KeyCode code = XKeysymToKeycode(dpy, symbol);
      XTestFakeKeyEvent(dpy, code, True, CurrentTime);
      XTestFakeKeyEvent(dpy, code, False, CurrentTime);
    }
    XSync(dpy, False);
  });
  EXPECT_EQ(menu->getCurrent(), 3) << "down skips the greyed entry";
  EXPECT_EQ(listener.calls.size(), 1u);
}

TEST_F(X11MenuTest, TheEditorClosedWhileTheListIsOpenTakesTheListDown) {
  std::vector<Window> lists;
  openMenuAnd(*menu, [&] {
    lists = popupsAt(listTopLeftOnScreen());
    editor->close();
  });
  frame = nullptr;
  ASSERT_EQ(lists.size(), 1u);
  EXPECT_EQ(editor->getFrame(), nullptr);
  EXPECT_TRUE(popupsAt(listTopLeftOnScreen()).empty()) << "the list is gone from the screen";
  EXPECT_TRUE(host->children().empty()) << "the frame window is gone";
  EXPECT_TRUE(listener.calls.empty());
  // The pointer and keyboard are free again: another client can grab them.
  Display* dpy = host->display();
  EXPECT_EQ(XGrabPointer(dpy, host->window(), False, ButtonPressMask, GrabModeAsync, GrabModeAsync,
                         None, None, CurrentTime),
            GrabSuccess);
  XUngrabPointer(dpy, CurrentTime);
  EXPECT_EQ(XGrabKeyboard(dpy, host->window(), False, GrabModeAsync, GrabModeAsync, CurrentTime),
            GrabSuccess);
  XUngrabKeyboard(dpy, CurrentTime);
  XSync(dpy, False);
}

}  // namespace
