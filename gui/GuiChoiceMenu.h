// GuiChoiceMenu: a display of the chosen entry of a list that, when clicked, pops the list up
// (our own popup window, see PopupWindow) for the user to choose from with the pointer or the
// keys. The value is the chosen entry's index. While the list is open the control shows its
// "pressed" background. A click outside the list, or Escape, closes it without a change; choosing
// an entry (even the current one) sets the value and tells the listener.
//
// Entries are texts of up to 255 bytes; "-G" in front greys an entry, "-T" makes it one that
// cannot be chosen, a lone "-" is a separator (see MenuLayout). With style 0x400 the current
// entry carries a check mark. A column count n puts a new column every n entries (lists shorter
// than 160 entries); without one, columns hold 40 entries.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gui/GuiValueDisplay.h"

class PopupWindow;

class GuiChoiceMenu : public GuiValueDisplay {
 public:
  // Retains both bitmaps (either may be null).
  GuiChoiceMenu(const GuiRect& size, ControlListener* listener, std::int32_t tag,
                GuiBitmap* background, GuiBitmap* pressedBackground, std::int32_t style = 0);
  // Closes the list if it is open; releases the pressed background.
  ~GuiChoiceMenu() override;

  void draw(DrawContext* context) override;
  void onMouseDown(DrawContext* context, GuiPoint where) override;
  // Leaving the frame (the editor closing) closes an open list at once.
  bool onRemoved(GuiView* parent) override;

  // Inserts at `index` (-1 or past the end: appends); false for a null text.
  bool addEntry(const char* text, std::int32_t index = -1);
  bool removeEntry(std::int32_t index);
  void removeAllEntries();
  // The stored text of an entry (markers included), null for a bad index.
  const char* getEntry(std::int32_t index) const;
  std::int32_t getEntryCount() const { return static_cast<std::int32_t>(entries.size()); }
  // Sets the value to `index`; false (nothing changed) for a bad index.
  bool setCurrent(std::int32_t index);
  // The index the value points at, -1 without entries.
  std::int32_t getCurrent() const;
  void setEntriesPerColumn(std::int32_t count) { entriesPerColumn = count; }
  std::int32_t getEntriesPerColumn() const { return entriesPerColumn; }
  bool isListOpen() const { return popup != nullptr; }

 protected:
  // Shows the list and returns the chosen index, -1 when nothing was chosen.
  std::int32_t runList(DrawContext* context);
  void rangeFollowsEntries();

  std::vector<std::string> entries;
  GuiBitmap* pressedBackground = nullptr;
  std::int32_t entriesPerColumn = 0;
  std::unique_ptr<PopupWindow> popup;
};
