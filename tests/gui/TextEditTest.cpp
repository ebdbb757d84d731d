// The text field: the editing model (caret, selection, UTF-8 boundaries, the byte limit) and the
// text edit control on the headless back end: opening on a click or a double click, keys from
// the frame window, Enter and the loss of focus keeping the text, Escape restoring it, the
// listener and the text parser, the field's pixels, and the frame closing while it is open.
#include <gtest/gtest.h>

#include <cstdlib>

#include "gui/GuiTextEdit.h"
#include "gui/TextLine.h"
#include "tests/gui/ControlTestSupport.h"

namespace {

// ---- the editing model --------------------------------------------------------------------

struct LineCase {
  const char* name;
  const char* start;
  std::vector<KeyInput> keys;
  const char* expected;
};

KeyInput key(KeyName name, std::int32_t modifiers = 0) { return KeyInput::named(name, modifiers); }
KeyInput typed(const char* text, std::int32_t modifiers = 0) {
  return KeyInput::typing(text, modifiers);
}

TEST(TextLine, EditingKeysWorkOnWholeCharacters) {
  const LineCase cases[] = {
      {"typing appends", "ab", {typed("c")}, "abc"},
      {"backspace removes a two-byte character", "a\xC3\xA9", {key(KeyName::backspace)}, "a"},
      {"left steps over a three-byte character",
       "x\xE2\x82\xAC",
       {key(KeyName::left), typed("y")},
       "xy\xE2\x82\xAC"},
      {"home then delete", "abc", {key(KeyName::home), key(KeyName::deleteForward)}, "bc"},
      {"shift-left selects, typing replaces",
       "abcd",
       {key(KeyName::left, kMouseShift), key(KeyName::left, kMouseShift), typed("Z")},
       "abZ"},
      {"control-a selects all", "hello", {typed("a", kMouseControl), typed("x")}, "x"},
      {"other control keys type nothing", "ab", {typed("v", kMouseControl)}, "ab"},
      {"AltGr (control + alt) types", "ab", {typed("@", kMouseControl | kMouseAlt)}, "ab@"},
      {"left collapses a selection to its start",
       "abc",
       {key(KeyName::home, kMouseShift), key(KeyName::left), typed("-")},
       "-abc"},
      {"right collapses a selection to its end",
       "abc",
       {key(KeyName::left), key(KeyName::home, kMouseShift), key(KeyName::right), typed("-")},
       "ab-c"},
      {"backspace at the start does nothing",
       "ab",
       {key(KeyName::home), key(KeyName::backspace)},
       "ab"},
  };
  for (const LineCase& c : cases) {
    TextLine line(c.start);
    for (const KeyInput& k : c.keys) line.apply(k);
    EXPECT_EQ(line.text(), c.expected) << c.name;
  }
}

TEST(TextLine, TheTextNeverExceedsTheByteLimitNorEndsInsideACharacter) {
  TextLine line(std::string(250, 'a'));
  line.insert("\xE2\x82\xAC\xE2\x82\xAC");  // two euro signs, 6 bytes: only one fits
  EXPECT_EQ(line.text().size(), 253u);
  line.insert("bc");
  EXPECT_EQ(line.text().size(), 255u);
  line.insert("\xC3\xA9");
  EXPECT_EQ(line.text().size(), 255u) << "nothing fits any more";
  TextLine cut(std::string(254, 'a') + "\xC3\xA9");
  EXPECT_EQ(cut.text().size(), 254u) << "a starting text is cut before the split character";
}

TEST(TextLine, EnterAndEscapeAreLeftToTheField) {
  TextLine line("a");
  EXPECT_FALSE(line.apply(key(KeyName::enter)));
  EXPECT_FALSE(line.apply(key(KeyName::escape)));
  EXPECT_FALSE(line.apply(key(KeyName::tab)));
  EXPECT_EQ(line.text(), "a");
}

// ---- the control --------------------------------------------------------------------------

constexpr GuiRect kEdit{20, 20, 120, 40};
constexpr GuiPoint kInEdit{60, 30};

bool parseNumber(const char* text, float& value, void*) {
  char* end = nullptr;
  const float parsed = std::strtof(text, &end);
  if (end == text || *end != '\0') return false;
  value = parsed;
  return true;
}

class TextEditTest : public ControlFixture {
 protected:
  GuiTextEdit* addEdit(const char* text = "old", std::int32_t style = 0) {
    auto* edit = add(new GuiTextEdit(kEdit, &listener, 21, text, nullptr, style));
    frame->idle();
    return edit;
  }
};

TEST_F(TextEditTest, AClickOpensTheFieldWithEverythingSelectedAndTakesTheKeyboard) {
  GuiTextEdit* edit = addEdit();
  EXPECT_FALSE(edit->isEditing());
  click(kInEdit);
  ASSERT_TRUE(edit->isEditing());
  EXPECT_EQ(frame->getFocusView(), edit);
  EXPECT_EQ(frame->getKeyboardTarget(), edit);
  EXPECT_TRUE(window->hasKeyboardInput());
  EXPECT_EQ(edit->getField()->selection(), (std::pair<std::size_t, std::size_t>{0, 3}));
}

TEST_F(TextEditTest, TypingAndEnterKeepTheTextNotifyOnceAndGiveTheKeyboardBack) {
  GuiTextEdit* edit = addEdit();
  click(kInEdit);
  window->postText("new \xC3\xA9t\xC3\xA9");
  window->postKey(KeyInput::named(KeyName::enter));
  frame->idle();
  EXPECT_FALSE(edit->isEditing());
  EXPECT_STREQ(edit->getText(), "new \xC3\xA9t\xC3\xA9");
  EXPECT_EQ(listener.calls.size(), 1u);
  EXPECT_EQ(frame->getFocusView(), nullptr);
  EXPECT_EQ(frame->getKeyboardTarget(), nullptr);
  EXPECT_FALSE(window->hasKeyboardInput());
}

TEST_F(TextEditTest, EscapeRestoresTheOldTextWithoutANotification) {
  GuiTextEdit* edit = addEdit();
  click(kInEdit);
  window->postText("typed");
  window->postKey(KeyInput::named(KeyName::escape));
  frame->idle();
  EXPECT_FALSE(edit->isEditing());
  EXPECT_STREQ(edit->getText(), "old");
  EXPECT_TRUE(listener.calls.empty());
  EXPECT_FALSE(window->hasKeyboardInput());
}

TEST_F(TextEditTest, LosingTheFocusKeepsTheText) {
  GuiTextEdit* edit = addEdit();
  // A click elsewhere in the frame, and the window losing the keyboard.
  for (int way = 0; way < 2; ++way) {
    listener.calls.clear();
    click(kInEdit);
    window->postText(way == 0 ? "clicked away" : "focus lost");
    frame->idle();
    if (way == 0) {
      click({300, 200});
    } else {
      window->postFocusLost();
      frame->idle();
    }
    EXPECT_FALSE(edit->isEditing()) << way;
    EXPECT_STREQ(edit->getText(), way == 0 ? "clicked away" : "focus lost");
    EXPECT_EQ(listener.calls.size(), 1u) << way;
  }
}

TEST_F(TextEditTest, AnUnchangedTextTellsTheListenerNothing) {
  GuiTextEdit* edit = addEdit("same");
  click(kInEdit);
  window->postText("same");
  window->postKey(KeyInput::named(KeyName::enter));
  frame->idle();
  EXPECT_FALSE(edit->isEditing());
  EXPECT_TRUE(listener.calls.empty());
}

TEST_F(TextEditTest, TheTextParserTurnsTheKeptTextIntoTheValue) {
  GuiTextEdit* edit = addEdit("0.5");
  edit->setTextParser(parseNumber);
  for (auto [typedText, expected] : {std::pair{"0.25", 0.25f}, std::pair{"abc", 0.25f}}) {
    click(kInEdit);
    window->postText(typedText);
    window->postKey(KeyInput::named(KeyName::enter));
    frame->idle();
    EXPECT_EQ(edit->getValue(), expected) << typedText;
  }
  EXPECT_EQ(listener.calls.size(), 2u) << "the text changed both times";
}

TEST_F(TextEditTest, AtMost255BytesAreKept) {
  GuiTextEdit* edit = addEdit(std::string(300, 'q').c_str());
  EXPECT_EQ(std::string(edit->getText()).size(), 255u);
  click(kInEdit);
  window->postText(std::string(300, 'z').c_str());
  window->postKey(KeyInput::named(KeyName::enter));
  while (window->pendingEvents() > 0) frame->idle();  // a frame handles 64 events per idle
  EXPECT_EQ(std::string(edit->getText()), std::string(255, 'z'));
}

TEST_F(TextEditTest, WithTheDoubleClickStyleOnlyADoubleClickOpensTheField) {
  GuiTextEdit* edit = addEdit("x", kStyleDoubleClick);
  click(kInEdit);
  EXPECT_FALSE(edit->isEditing());
  window->pointer().queueSecondClick();
  click(kInEdit);
  EXPECT_TRUE(edit->isEditing());
}

TEST_F(TextEditTest, TheOpenFieldIsDrawnOverTheControlOnePixelLargerWithTheSelectionInverted) {
  GuiTextEdit* edit = addEdit("MMMM");
  edit->setBackColor(kColorBlue);
  edit->setFontColor(kColorYellow);
  edit->setTextAlign(TextAlign::left);
  clearSurface(backBuffer(), kColorBlack);
  click(kInEdit);
  frame->idle();
  EXPECT_EQ(at(120, 40), kColorBlue) << "right and bottom edges included";
  EXPECT_EQ(at(20, 20), kColorBlue);
  EXPECT_EQ(at(121, 30), kColorBlack);
  EXPECT_EQ(at(60, 41), kColorBlack);
  // Everything is selected: the text's cell is filled in the font colour.
  EXPECT_EQ(at(22, 30), kColorYellow);
  window->postKey(KeyInput::named(KeyName::end));
  frame->idle();
  EXPECT_EQ(at(22, 30), kColorBlue) << "no selection after End";
}

TEST_F(TextEditTest, AClosedEditShowsItsText) {
  GuiTextEdit* edit = addEdit("label");
  edit->setFontColor(kColorYellow);
  clearSurface(backBuffer(), kColorBlack);
  frame->idle();
  bool inked = false;
  for (std::int32_t x = 21; x < 120 && !inked; ++x) inked = at(x, 30).red > 128;
  EXPECT_TRUE(inked) << "the text is drawn";
}

TEST_F(TextEditTest, TheFrameClosingWhileTheFieldIsOpenReleasesItCleanly) {
  GuiTextEdit* edit = addEdit();
  click(kInEdit);
  window->postText("unsaved");
  frame->idle();
  ASSERT_TRUE(edit->isEditing());
  const std::int32_t viewsBefore = GuiView::liveCount();
  editor->close();
  EXPECT_EQ(GuiView::liveCount(), viewsBefore - 2) << "frame and edit destroyed";
  EXPECT_EQ(listener.calls.size(), 1u) << "the focus loss kept the text";
  EXPECT_EQ(backend.liveWindows(), 0);
}

TEST_F(TextEditTest, RemovingAnOpenEditClosesTheFieldWithoutAChange) {
  GuiTextEdit* edit = addEdit();
  click(kInEdit);
  edit->retain();
  frame->removeView(edit);
  EXPECT_FALSE(edit->isEditing());
  EXPECT_EQ(frame->getKeyboardTarget(), nullptr);
  EXPECT_FALSE(window->hasKeyboardInput());
  EXPECT_TRUE(listener.calls.empty());
  window->postText("late");
  frame->idle();  // keys with no field open go nowhere
  EXPECT_STREQ(edit->getText(), "old");
  edit->release();
}

}  // namespace
