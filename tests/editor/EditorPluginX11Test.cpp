// The built plug-in's editor as a Linux host drives it, on a real X server (Xvfb in the test
// run): the rectangle, open inside the host's window with the background read back from the
// screen, idle, close, fifty open/close cycles without a leaked connection or window, bad parent
// window ids, requests out of order, and a host that destroys its window before closing.
// Our headers and GoogleTest first: Xlib defines macros (None, Bool, Status) that break them.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "gui/DrawContext.h"
#include "gui/DrawSurface.h"
#include "gui/GuiBitmap.h"
#include "overtonic-host/lib/PluginLibrary.h"
#include "tests/editor/PanelPixels.h"

#include "tests/gui/X11TestSupport.h"
#include "tests/support/PluginFixture.h"

namespace {

using hostlib::PluginInstance;
using x11test::HostWindow;
using x11test::ServerGrab;

// Away from the other X11 tests' windows, with room for the 600 x 600 panel.
constexpr int kHostX = 660;
constexpr int kHostY = 400;

int openDescriptors() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    ++count;
  }
  return count;
}

class EditorPluginX11Test : public ::testing::Test {
 protected:
  void SetUp() override {
    host = std::make_unique<HostWindow>(kHostX, kHostY, 600, 600);
    ASSERT_TRUE(host->usable()) << x11test::kNeedsDisplay;
    auto made = pluginLibrary().instantiate();
    ASSERT_TRUE(made.ok()) << made.error();
    plugin = std::move(made).value();
  }
  void TearDown() override {
    plugin.reset();
    host.reset();
  }

  intptr_t openIn(void* parent) { return plugin->dispatch(effEditOpen, 0, 0, parent); }
  void idle() { plugin->dispatch(effEditIdle); }
  void close() { plugin->dispatch(effEditClose); }
  bool idleUntil(const std::function<bool()>& done) {
    return x11test::pumpUntil([&] { idle(); }, done);
  }

  std::unique_ptr<HostWindow> host;
  std::unique_ptr<PluginInstance> plugin;
};

TEST_F(EditorPluginX11Test, TheRectangleIs600By600BeforeAnyOpen) {
  ERect* rect = nullptr;
  ASSERT_EQ(plugin->dispatch(effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->top, 0);
  EXPECT_EQ(rect->left, 0);
  EXPECT_EQ(rect->bottom, 600);
  EXPECT_EQ(rect->right, 600);
  EXPECT_EQ(plugin->effect()->flags, 0x131);
}

TEST_F(EditorPluginX11Test, OpenShowsTheBackgroundInAChildOfTheHostWindow) {
  ASSERT_TRUE(host->hasTrueColour24()) << x11test::kNeeds24Bit;
  ASSERT_EQ(openIn(host->asParent()), 1);
  const std::vector<Window> children = host->children();
  ASSERT_EQ(children.size(), 1u);
  XWindowAttributes attributes{};
  XGetWindowAttributes(host->display(), children[0], &attributes);
  EXPECT_EQ(attributes.width, 600);
  EXPECT_EQ(attributes.height, 600);

  DrawSurface reference(600, 600);
  {
    auto* background = new GuiBitmap(128);
    DrawContext context(nullptr, &reference, nullptr);
    background->draw(&context, {0, 0, 600, 600});
    background->release();
  }
  // The panel is on the screen once a pixel away from the outline shows the background's.
  auto shows = [&](int x, int y) {
    const GuiColor c = reference.pixel(x, y);
    const std::uint32_t expected = (std::uint32_t{c.red} << 16) | (c.green << 8) | c.blue;
    const ServerGrab grab(host->display(), host->window());
    return host->pixel(children[0], x, y) == expected;
  };
  ASSERT_TRUE(idleUntil([&] { return shows(300, 300); })) << "the background never appeared";
  int differing = 0;
  {
    const ServerGrab grab(host->display(), host->window());
    XImage* image = XGetImage(host->display(), children[0], 0, 0, 600, 600, AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    for (int y = 0; y < 600; y += 5) {
      for (int x = 0; x < 600; x += 5) {
        if (panelpixels::coveredByAStartingControl(x, y)) continue;
        const GuiColor c = reference.pixel(x, y);
        const unsigned long expected = (c.red << 16) | (c.green << 8) | c.blue;
        differing += (XGetPixel(image, x, y) & 0xFFFFFF) == expected ? 0 : 1;
      }
    }
    XDestroyImage(image);
  }
  EXPECT_EQ(differing, 0)
      << "pixels of the window outside the controls that differ from bitmap 128";
  close();
  EXPECT_TRUE(host->children().empty()) << "close destroys the panel's window";
}

TEST_F(EditorPluginX11Test, FiftyOpenCloseCyclesLeakNoConnectionOrWindow) {
  ASSERT_EQ(openIn(host->asParent()), 1);  // a first cycle settles the libraries' caches
  idle();
  close();
  const int descriptors = openDescriptors();
  for (int cycle = 0; cycle < 50; ++cycle) {
    ASSERT_EQ(openIn(host->asParent()), 1) << "cycle " << cycle;
    idle();
    idle();
    close();
    ASSERT_TRUE(host->children().empty()) << "cycle " << cycle;
  }
  EXPECT_EQ(openDescriptors(), descriptors) << "each open's display connection is closed again";
}

TEST_F(EditorPluginX11Test, ABadParentWindowFailsTheOpenWithoutEndingTheProcess) {
  for (std::uintptr_t bad : {std::uintptr_t{0}, std::uintptr_t{0x7ffffff}, ~std::uintptr_t{0}}) {
    EXPECT_EQ(openIn(reinterpret_cast<void*>(bad)), 0) << std::hex << bad;
    idle();
    close();
  }
  EXPECT_EQ(openIn(host->asParent()), 1) << "the next good open works";
  EXPECT_EQ(host->children().size(), 1u);
}

TEST_F(EditorPluginX11Test, RequestsOutOfOrderDoNoHarm) {
  idle();
  close();
  close();
  ASSERT_EQ(openIn(host->asParent()), 1);
  ASSERT_EQ(openIn(host->asParent()), 1);
  EXPECT_EQ(host->children().size(), 1u) << "a second open replaces the first panel";
  plugin->setParameter(8, 3.0f);  // an envelope command with no curve editor to read
  plugin->setParameter(0, 0.7f);
  idle();
  close();
  close();
  idle();
  EXPECT_TRUE(host->children().empty());
}

TEST_F(EditorPluginX11Test, AHostDestroyingItsWindowBeforeCloseIsHarmless) {
  ASSERT_EQ(openIn(host->asParent()), 1);
  idle();
  host->destroyWindow();
  for (int i = 0; i < 5; ++i) idle();
  close();
  HostWindow second(kHostX, kHostY, 600, 600);
  EXPECT_EQ(openIn(second.asParent()), 1);
  EXPECT_EQ(second.children().size(), 1u);
  close();
}

TEST_F(EditorPluginX11Test, ARealPressOnThePanelIsHandledAtIdle) {
  ASSERT_EQ(openIn(host->asParent()), 1);
  idle();
  {
    const ServerGrab grab(host->display(), host->window());
    host->movePointer(300, 300);
    host->click(1);
    host->click(4);
  }
  for (int i = 0; i < 10; ++i) idle();
  close();
  EXPECT_TRUE(host->children().empty());
}

}  // namespace
