// The choice menu: entries and their markers, the list's layout and pixels, and choosing on the
// headless back end, where the popup receives the events a test scripts for it: a click on an
// entry, a press-drag-release, keys, a click outside, greyed and disabled entries, and the frame
// closing while the list is open.
#include <gtest/gtest.h>

#include "gui/GuiChoiceMenu.h"
#include "gui/MenuLayout.h"
#include "tests/gui/ControlTestSupport.h"
#include "tests/gui/PixelPicture.h"

namespace {

constexpr GuiRect kMenu{20, 20, 120, 38};
constexpr GuiPoint kOnMenu{60, 30};

FrameEvent pointer(FrameEvent::Kind kind, GuiPoint where) {
  FrameEvent event{kind, where};
  event.button = 1;
  return event;
}
FrameEvent keyEvent(KeyName name) {
  FrameEvent event{FrameEvent::Kind::key};
  event.key = KeyInput::named(name);
  return event;
}

class ChoiceMenuTest : public ControlFixture {
 protected:
  GuiChoiceMenu* addMenu(std::vector<const char*> texts, std::int32_t style = 0) {
    auto* menu = add(new GuiChoiceMenu(kMenu, &listener, 31, nullptr, nullptr, style));
    for (const char* text : texts) menu->addEntry(text);
    frame->idle();
    return menu;
  }
  GuiPoint middleOf(GuiChoiceMenu& menu, std::int32_t index) {
    return ::middleOf(menuEntryRect(menu, index));
  }
  // A click on the menu, with the popup then receiving `script`.
  void openWith(std::vector<FrameEvent> script) {
    window->scriptPopup(std::move(script));
    click(kOnMenu);
  }
};

// ---- entries ------------------------------------------------------------------------------

struct EntryCase {
  const char* stored;
  const char* shown;
  MenuEntry::Kind kind;
};

TEST(MenuEntry, MarkersGreyDisableOrSeparateAndAreNotShown) {
  const EntryCase cases[] = {{"Plain", "Plain", MenuEntry::Kind::normal},
                             {"-GGreyed", "Greyed", MenuEntry::Kind::greyed},
                             {"-TTitle", "Title", MenuEntry::Kind::disabled},
                             {"-", "", MenuEntry::Kind::separator},
                             {"-x", "-x", MenuEntry::Kind::normal},
                             {"", "", MenuEntry::Kind::normal}};
  for (const EntryCase& c : cases) {
    const MenuEntry entry = MenuEntry::parse(c.stored);
    EXPECT_EQ(entry.text, c.shown) << c.stored;
    EXPECT_EQ(entry.kind, c.kind) << c.stored;
    EXPECT_EQ(entry.choosable(), c.kind == MenuEntry::Kind::normal) << c.stored;
  }
}

TEST_F(ChoiceMenuTest, EntriesAreInsertedRemovedAndBoundTheValue) {
  GuiChoiceMenu* menu = addMenu({"a", "c"});
  EXPECT_TRUE(menu->addEntry("b", 1));
  EXPECT_FALSE(menu->addEntry(nullptr));
  EXPECT_TRUE(menu->addEntry(std::string(400, 'x').c_str(), 99));
  ASSERT_EQ(menu->getEntryCount(), 4);
  EXPECT_STREQ(menu->getEntry(1), "b");
  EXPECT_EQ(std::string(menu->getEntry(3)).size(), 255u);
  EXPECT_EQ(menu->getEntry(4), nullptr);
  EXPECT_EQ(menu->getEntry(-1), nullptr);
  EXPECT_EQ(menu->getMax(), 3.0f);
  EXPECT_FALSE(menu->setCurrent(4));
  EXPECT_TRUE(menu->setCurrent(2));
  EXPECT_EQ(menu->getCurrent(), 2);
  EXPECT_TRUE(menu->removeEntry(0));
  EXPECT_FALSE(menu->removeEntry(7));
  EXPECT_EQ(menu->getMax(), 2.0f);
  menu->setValue(1e9f);
  EXPECT_EQ(menu->getCurrent(), 2) << "a value past the end points at the last entry";
  menu->removeAllEntries();
  EXPECT_EQ(menu->getCurrent(), -1);
}

TEST_F(ChoiceMenuTest, TheClosedMenuShowsTheCurrentEntryWithoutItsMarker) {
  GuiChoiceMenu* menu = addMenu({"-GFirst", "Second"});
  menu->setCurrent(0);
  EXPECT_EQ(MenuEntry::parse(menu->getEntry(menu->getCurrent())).text, "First");
  menu->setFontColor(kColorYellow);
  clearSurface(backBuffer(), kColorBlack);
  frame->idle();
  bool inked = false;
  for (std::int32_t x = 21; x < 120 && !inked; ++x) inked = at(x, 29).red > 128;
  EXPECT_TRUE(inked);
}

// ---- layout and pixels --------------------------------------------------------------------

TEST(MenuLayout, ColumnsStartEveryNEntriesBelow160EntriesElseEvery40) {
  DrawSurface scratch(1, 1);
  DrawContext measure(nullptr, &scratch, nullptr);
  measure.setFont(FontId::normal);
  const std::vector<MenuEntry> ten(10, MenuEntry::parse("Entry"));
  EXPECT_EQ(MenuLayout(ten, 0, measure).columns(), 1);
  EXPECT_EQ(MenuLayout(ten, 4, measure).columns(), 3);
  const MenuLayout four(ten, 4, measure);
  EXPECT_EQ(four.entryRect(4).top, four.entryRect(0).top) << "entry 4 starts the second column";
  EXPECT_GT(four.entryRect(4).left, four.entryRect(0).left);
  const std::vector<MenuEntry> many(200, MenuEntry::parse("x"));
  EXPECT_EQ(MenuLayout(many, 4, measure).columns(), 5) << "200 entries: automatic columns of 40";
  EXPECT_EQ(MenuLayout({}, 0, measure).columns(), 0);
}

TEST(MenuLayout, OnlyChoosableEntriesAreFoundAndTheKeysSkipTheRest) {
  DrawSurface scratch(1, 1);
  DrawContext measure(nullptr, &scratch, nullptr);
  measure.setFont(FontId::normal);
  std::vector<MenuEntry> entries;
  for (const char* text : {"A", "-GB", "-", "-TD", "E", "F"})
    entries.push_back(MenuEntry::parse(text));
  const MenuLayout layout(entries, 3, measure);
  auto middle = [&](std::int32_t i) { return ::middleOf(layout.entryRect(i)); };
  EXPECT_EQ(layout.choosableAt(middle(0)), 0);
  EXPECT_EQ(layout.choosableAt(middle(1)), -1) << "greyed";
  EXPECT_EQ(layout.choosableAt(middle(2)), -1) << "separator";
  EXPECT_EQ(layout.choosableAt(middle(3)), -1) << "disabled";
  EXPECT_EQ(layout.choosableAt({-5, 3}), -1);
  EXPECT_EQ(layout.navigate(0, KeyName::down), 4);
  EXPECT_EQ(layout.navigate(5, KeyName::down), 0) << "wraps";
  EXPECT_EQ(layout.navigate(4, KeyName::up), 0);
  EXPECT_EQ(layout.navigate(-1, KeyName::down), 0);
  EXPECT_EQ(layout.navigate(0, KeyName::right), 4) << "same row, next column (3 is disabled)";
  EXPECT_EQ(layout.navigate(4, KeyName::left), 4) << "row 1 of column 0 is greyed: on to E";
  EXPECT_EQ(layout.navigate(0, KeyName::end), 5);
  EXPECT_EQ(layout.navigate(5, KeyName::home), 0);
}

TEST(MenuLayout, PaintsBorderHighlightCheckMarkAndGreyText) {
  DrawSurface scratch(1, 1);
  DrawContext measure(nullptr, &scratch, nullptr);
  measure.setFont(FontId::normal);
  std::vector<MenuEntry> entries{MenuEntry::parse("One"), MenuEntry::parse("-GTwo"),
                                 MenuEntry::parse("Three")};
  const MenuLayout layout(entries, 0, measure);
  DrawSurface surface(layout.width(), layout.height());
  DrawContext ctx(nullptr, &surface, nullptr);
  ctx.setFont(FontId::normal);
  layout.paint(ctx, 2, 0);
  EXPECT_EQ(surface.pixel(0, 0), MenuLayout::kBorder);
  EXPECT_EQ(surface.pixel(layout.width() - 1, layout.height() - 1), MenuLayout::kBorder);
  const GuiRect lit = layout.entryRect(2);
  EXPECT_EQ(surface.pixel(lit.right - 2, lit.top + 1), MenuLayout::kHighlight);
  const GuiRect first = layout.entryRect(0);
  EXPECT_EQ(surface.pixel(first.right - 2, first.top + 1), MenuLayout::kBackground);
  bool tick = false;
  for (std::int32_t x = first.left; x < first.left + 18; ++x) {
    for (std::int32_t y = first.top; y < first.bottom; ++y)
      tick = tick || surface.pixel(x, y) == MenuLayout::kText;
  }
  EXPECT_TRUE(tick) << "a check mark in front of entry 0";
  const GuiRect grey = layout.entryRect(1);
  bool dark = false;
  for (std::int32_t x = grey.left; x < grey.right; ++x) {
    for (std::int32_t y = grey.top; y < grey.bottom; ++y) {
      const GuiColor c = surface.pixel(x, y);
      dark = dark || (c.red < 120 && c == GuiColor{c.red, c.red, c.red, 0});
    }
  }
  EXPECT_FALSE(dark) << "greyed text is never darker than the grey";
}

// ---- choosing -----------------------------------------------------------------------------

TEST_F(ChoiceMenuTest, AClickOnAnEntryChoosesItAndTellsTheListenerOnce) {
  GuiChoiceMenu* menu = addMenu({"Sine", "Square", "Saw"});
  const GuiPoint saw = middleOf(*menu, 2);
  openWith(
      {pointer(FrameEvent::Kind::buttonPress, saw), pointer(FrameEvent::Kind::buttonRelease, saw)});
  EXPECT_EQ(menu->getCurrent(), 2);
  EXPECT_EQ(listener.values(), (std::vector<float>{2.0f}));
  ASSERT_EQ(window->popups().size(), 1u);
  EXPECT_FALSE(window->popups()[0].open) << "closed after the choice";
  EXPECT_GE(window->popups()[0].presents, 1);
  EXPECT_FALSE(menu->isListOpen());
}

TEST_F(ChoiceMenuTest, TheListOpensBelowTheMenuOrAboveItAtTheBottomOfTheScreen) {
  GuiChoiceMenu* menu = addMenu({"a", "b"});
  openWith({});
  ASSERT_EQ(window->popups().size(), 1u);
  EXPECT_EQ(window->popups()[0].anchor, kMenu);
  EXPECT_EQ(window->popups()[0].bounds.top, kMenu.bottom);
  EXPECT_EQ(window->popups()[0].bounds.left, kMenu.left);
  window->setScreen({0, 0, 1280, 60});
  openWith({});
  const GuiRect above = window->popups()[1].bounds;
  EXPECT_EQ(above.bottom, kMenu.top);
  EXPECT_TRUE(listener.calls.empty()) << "nothing chosen";
  EXPECT_EQ(menu->getCurrent(), 0);
}

TEST_F(ChoiceMenuTest, TheMenuShowsItsPressedBackgroundWhileTheListIsOpen) {
  BitmapRef normal{stripBitmap(100, 18, {kColorBlue})};
  BitmapRef pressed{stripBitmap(100, 18, {kColorRed})};
  auto* menu = add(new GuiChoiceMenu(kMenu, &listener, 31, normal, pressed, kStyleNoText));
  menu->addEntry("a");
  frame->idle();
  EXPECT_EQ(at(60, 30), kColorBlue);
  GuiColor whileOpen{};
  effect.duringIdle = [&] { whileOpen = at(60, 30); };
  backend.manualClock().advance(1000);  // the list's loop gives the host its idle at once
  openWith({pointer(FrameEvent::Kind::motion, {-5, -5})});
  effect.duringIdle = nullptr;
  EXPECT_EQ(whileOpen, kColorRed) << "pressed while the list is open";
  EXPECT_EQ(at(60, 30), kColorBlue) << "back to normal once it closed";
  EXPECT_EQ(normal->getRefCount(), 2);
  EXPECT_EQ(pressed->getRefCount(), 2);
}

TEST_F(ChoiceMenuTest, PressDragReleaseChoosesWhereTheButtonIsReleased) {
  GuiChoiceMenu* menu = addMenu({"A", "B", "C"});
  const GuiPoint b = middleOf(*menu, 1);
  // The opening press's release comes over entry B after the pointer went into the list.
  openWith({pointer(FrameEvent::Kind::motion, middleOf(*menu, 0)),
            pointer(FrameEvent::Kind::motion, b), pointer(FrameEvent::Kind::buttonRelease, b)});
  EXPECT_EQ(menu->getCurrent(), 1);
  EXPECT_EQ(listener.calls.size(), 1u);
}

TEST_F(ChoiceMenuTest, TheOpeningReleaseWithoutMovingChoosesNothing) {
  GuiChoiceMenu* menu = addMenu({"A", "B"});
  openWith({pointer(FrameEvent::Kind::buttonRelease, middleOf(*menu, 1))});
  EXPECT_EQ(menu->getCurrent(), 0);
  EXPECT_TRUE(listener.calls.empty());
}

TEST_F(ChoiceMenuTest, AClickOutsideClosesTheListWithoutAChange) {
  GuiChoiceMenu* menu = addMenu({"A", "B"});
  menu->setCurrent(1);
  openWith({pointer(FrameEvent::Kind::buttonPress, {-40, 10}),
            pointer(FrameEvent::Kind::buttonRelease, middleOf(*menu, 0))});
  EXPECT_EQ(menu->getCurrent(), 1);
  EXPECT_TRUE(listener.calls.empty());
  EXPECT_FALSE(window->popups()[0].open);
}

TEST_F(ChoiceMenuTest, GreyedAndDisabledEntriesCannotBeChosen) {
  GuiChoiceMenu* menu = addMenu({"A", "-GB", "-TC"});
  for (std::int32_t i : {1, 2}) {
    const GuiPoint p = middleOf(*menu, i);
    openWith(
        {pointer(FrameEvent::Kind::buttonPress, p), pointer(FrameEvent::Kind::buttonRelease, p)});
  }
  EXPECT_TRUE(listener.calls.empty());
  EXPECT_EQ(menu->getCurrent(), 0);
}

struct KeyCase {
  const char* name;
  std::vector<KeyName> keys;
  std::int32_t expected;  // -1: nothing chosen
};

TEST_F(ChoiceMenuTest, TheKeysMoveTheHighlightOverChoosableEntriesEnterChoosesEscapeCancels) {
  const KeyCase cases[] = {
      {"down twice skips the greyed entry", {KeyName::down, KeyName::down, KeyName::enter}, 3},
      {"up from the first wraps to the last", {KeyName::up, KeyName::enter}, 3},
      {"end", {KeyName::end, KeyName::enter}, 3},
      {"escape", {KeyName::down, KeyName::escape}, -1},
      {"enter on the current entry", {KeyName::enter}, 0},
  };
  for (const KeyCase& c : cases) {
    GuiChoiceMenu* menu = addMenu({"A", "B", "-GC", "D"});
    listener.calls.clear();
    std::vector<FrameEvent> script;
    for (KeyName k : c.keys) script.push_back(keyEvent(k));
    openWith(script);
    if (c.expected < 0) {
      EXPECT_TRUE(listener.calls.empty()) << c.name;
    } else {
      EXPECT_EQ(listener.values(), (std::vector<float>{static_cast<float>(c.expected)})) << c.name;
    }
    frame->removeView(menu);
  }
}

TEST_F(ChoiceMenuTest, ChoosingTheCurrentEntryAgainStillTellsTheListener) {
  GuiChoiceMenu* menu = addMenu({"Run", "Stop"});
  const GuiPoint run = middleOf(*menu, 0);
  openWith(
      {pointer(FrameEvent::Kind::buttonPress, run), pointer(FrameEvent::Kind::buttonRelease, run)});
  openWith(
      {pointer(FrameEvent::Kind::buttonPress, run), pointer(FrameEvent::Kind::buttonRelease, run)});
  EXPECT_EQ(listener.values(), (std::vector<float>{0.0f, 0.0f}));
}

TEST_F(ChoiceMenuTest, AnEmptyMenuOrOneWithoutAFrameOpensNothing) {
  addMenu({});
  openWith({});
  EXPECT_TRUE(window->popups().empty());
  GuiChoiceMenu loose(kMenu, &listener, 1, nullptr, nullptr);
  loose.addEntry("x");
  window->pointer().setPointer(kOnMenu, kMouseLeft);
  loose.onMouseDown(context().get(), kOnMenu);
  EXPECT_TRUE(window->popups().empty());
  EXPECT_TRUE(listener.calls.empty());
}

TEST_F(ChoiceMenuTest, TheFrameClosingWhileTheListIsOpenClosesTheListAndLeaksNothing) {
  GuiChoiceMenu* menu = addMenu({"A", "B"});
  const std::int32_t viewsBefore = GuiView::liveCount();
  bool wasOpen = false;
  effect.duringIdle = [&] {
    wasOpen = menu->isListOpen();
    editor->close();
  };
  backend.manualClock().advance(1000);
  // Plenty of input that would keep the list open; the host closes the editor meanwhile.
  std::vector<FrameEvent> script(50, pointer(FrameEvent::Kind::motion, {-5, -5}));
  openWith(script);
  effect.duringIdle = nullptr;
  EXPECT_TRUE(wasOpen);
  EXPECT_EQ(editor->getFrame(), nullptr);
  EXPECT_EQ(GuiView::liveCount(), viewsBefore - 2) << "frame and menu destroyed";
  EXPECT_EQ(backend.liveWindows(), 0);
  EXPECT_TRUE(listener.calls.empty());
}

}  // namespace
