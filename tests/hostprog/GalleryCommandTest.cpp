// The control gallery: the gallery itself on the headless back end (one of each standard
// control, the status line following a change), and `overtonic-host gallery` run as a user runs
// it: the picture it writes, its refusals, and the window ending when the time is up.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>

#include "gui/DrawContext.h"
#include "gui/DrawSurface.h"
#include "gui/GuiBitmap.h"
#include "gui/GuiFrame.h"
#include "gui/platform/headless/HeadlessFrameWindow.h"
#include "overtonic-host/app/Gallery.h"
#include "tests/hostprog/TestSupport.h"

namespace {

using hostprogtest::run;
using hostprogtest::TempFolder;

const std::string kProgram = OVERTONIC_HOST_PATH;
constexpr GuiColor kPanel{38, 42, 50, 0};

TEST(Gallery, ShowsOneOfEachStandardControl) {
  HeadlessFrameBackend backend;
  hostapp::GalleryEditor editor(&backend);
  ASSERT_EQ(editor.open(reinterpret_cast<void*>(std::uintptr_t{1})), 1);
  const std::vector<std::string>& shown = editor.gallery()->shownClasses();
  std::set<std::string> classes;
  for (const std::string& name : shown) classes.insert(name.substr(0, name.find(' ')));
  const std::set<std::string> family{"GuiKnob",
                                     "GuiOnOffButton",
                                     "GuiMomentaryButton",
                                     "GuiValueDisplay",
                                     "GuiTextEdit",
                                     "GuiChoiceMenu",
                                     "GuiVerticalStepSwitch",
                                     "GuiHorizontalStepSwitch",
                                     "GuiThreeWaySwitch",
                                     "GuiFrameStrip",
                                     "GuiTwoFrameButton",
                                     "GuiAnimation",
                                     "GuiVerticalSlider",
                                     "GuiHorizontalSlider",
                                     "GuiDigitDisplay",
                                     "GuiPopupImage",
                                     "GuiLevelMeter"};
  EXPECT_EQ(classes, family);
}

TEST(Gallery, TheStatusLineSaysWhatTheUserChanged) {
  HeadlessFrameBackend backend;
  hostapp::GalleryEditor editor(&backend);
  ASSERT_EQ(editor.open(reinterpret_cast<void*>(std::uintptr_t{1})), 1);
  HeadlessFrameWindow* window = backend.lastWindow();
  window->postPaint();
  editor.idle();
  // A click on the on/off button (270, 74).
  window->pointer().scriptPointer({{{270, 74}, kMouseLeft}, {{270, 74}, 0}});
  window->postPress({270, 74});
  editor.idle();
  EXPECT_EQ(editor.gallery()->status(), "GuiOnOffButton: 1.000");
  // The wheel over the first knob (60, 74) moves it and the display that follows it.
  window->pointer().setPointer({60, 74}, 0);
  window->postWheel({60, 74}, 1.0f);
  editor.idle();
  EXPECT_EQ(editor.gallery()->status(), "GuiKnob: 0.400");
}

TEST(GalleryCommand, WritesTheGalleryAsAPicture) {
  TempFolder scratch;
  const std::string png = scratch.path("gallery.png");
  const auto result = run(kProgram, {"gallery", "-o", png}, scratch);
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("760 x 470"), std::string::npos) << result.out;
  const std::string bytes = hostprogtest::slurp(png);
  auto* picture = new GuiBitmap(std::span<const std::uint8_t>(
      reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
  EXPECT_EQ(picture->getWidth(), 760);
  EXPECT_EQ(picture->getHeight(), 470);
  DrawSurface surface(760, 470);
  {
    DrawContext ctx(nullptr, &surface, nullptr);
    picture->draw(&ctx, surface.bounds());
  }
  picture->release();
  EXPECT_EQ(surface.pixel(5, 120), kPanel) << "the panel between the controls";
  // Where controls stand the picture differs from the panel: the knob's dial, the on/off
  // button, the horizontal step switch, the digit display, the level meter.
  for (GuiPoint p : {GuiPoint{60, 60}, GuiPoint{270, 74}, GuiPoint{128, 180}, GuiPoint{310, 320},
                     GuiPoint{560, 375}}) {
    EXPECT_FALSE(surface.pixel(p.h, p.v) == kPanel) << p.h << "," << p.v;
  }
}

struct Refusal {
  const char* name;
  std::vector<std::string> args;
  int status;
  const char* message;
};

TEST(GalleryCommand, RefusesBadRequestsWithAMessage) {
  TempFolder scratch;
  const Refusal cases[] = {
      {"missing folder", {"gallery", "-o", scratch.path("none/g.png")}, 1, "none/g.png"},
      {"bad time", {"gallery", "--seconds", "soon"}, 2, "--seconds"},
      {"stray argument", {"gallery", "extra"}, 2, "extra"},
      {"unknown option", {"gallery", "--colour"}, 2, "--colour"},
  };
  for (const Refusal& c : cases) {
    const auto result = run(kProgram, c.args, scratch);
    EXPECT_EQ(result.status, c.status) << c.name << ": " << result.err;
    EXPECT_NE(result.err.find(c.message), std::string::npos) << c.name << ": " << result.err;
  }
  EXPECT_TRUE(scratch.entries().empty()) << "no file left behind";
}

TEST(GalleryCommand, TheWindowNeedsADisplayAndEndsWhenTheTimeIsUp) {
  TempFolder scratch;
  const char* set = std::getenv("DISPLAY");
  const std::string display = set ? set : "";
  ::unsetenv("DISPLAY");
  const auto without = run(kProgram, {"gallery"}, scratch);
  if (!display.empty()) ::setenv("DISPLAY", display.c_str(), 1);
  EXPECT_EQ(without.status, 1);
  EXPECT_NE(without.err.find("no X display"), std::string::npos) << without.err;
  if (display.empty()) GTEST_SKIP() << "no X display for the window (the test command starts Xvfb)";
  const auto result = run(kProgram, {"gallery", "--seconds", "0.3"}, scratch);
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_TRUE(result.err.empty()) << result.err;
}

}  // namespace
