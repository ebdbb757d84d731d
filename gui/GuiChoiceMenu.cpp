// The choice menu: entries, the closed look and the popup list's modal loop.
#include "gui/GuiChoiceMenu.h"

#include <algorithm>

#include "gui/DrawContext.h"
#include "gui/DrawSurface.h"
#include "gui/GuiBitmap.h"
#include "gui/GuiFrame.h"
#include "gui/MenuLayout.h"
#include "gui/PixelMath.h"
#include "gui/platform/FrameWindow.h"

namespace {

// How long the list's loop waits for input when no editor keeps it paced.
constexpr std::int32_t kWaitMs = 10;

struct ListState {
  std::int32_t highlighted = -1;
  std::int32_t chosen = -1;
  bool done = false;
  bool pointerUsed = false;  // a press in the list, or motion over it, since it opened
};

}  // namespace

GuiChoiceMenu::GuiChoiceMenu(const GuiRect& menuSize, ControlListener* menuListener,
                             std::int32_t menuTag, GuiBitmap* menuBackground, GuiBitmap* pressed,
                             std::int32_t menuStyle)
    : GuiValueDisplay(menuSize, menuBackground, menuStyle) {
  setListener(menuListener);
  setTag(menuTag);
  if (pressed) {
    pressed->retain();
    pressedBackground = pressed;
  }
  maxValue = 0.0f;
}

GuiChoiceMenu::~GuiChoiceMenu() {
  popup.reset();
  if (pressedBackground) pressedBackground->release();
}

// ---- entries ------------------------------------------------------------------------------

void GuiChoiceMenu::rangeFollowsEntries() {
  maxValue = entries.empty() ? 0.0f : static_cast<float>(entries.size() - 1);
  setDirty(true);
}

bool GuiChoiceMenu::addEntry(const char* text, std::int32_t index) {
  if (!text) return false;
  std::string entry(text);
  if (entry.size() > kMaxText) entry.resize(kMaxText);
  const bool append = index < 0 || static_cast<std::size_t>(index) >= entries.size();
  entries.insert(append ? entries.end() : entries.begin() + index, std::move(entry));
  rangeFollowsEntries();
  return true;
}

bool GuiChoiceMenu::removeEntry(std::int32_t index) {
  if (index < 0 || static_cast<std::size_t>(index) >= entries.size()) return false;
  entries.erase(entries.begin() + index);
  rangeFollowsEntries();
  return true;
}

void GuiChoiceMenu::removeAllEntries() {
  entries.clear();
  value = 0.0f;
  rangeFollowsEntries();
}

const char* GuiChoiceMenu::getEntry(std::int32_t index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= entries.size()) return nullptr;
  return entries[static_cast<std::size_t>(index)].c_str();
}

bool GuiChoiceMenu::setCurrent(std::int32_t index) {
  if (index < 0 || static_cast<std::size_t>(index) >= entries.size()) return false;
  value = static_cast<float>(index);
  return true;
}

std::int32_t GuiChoiceMenu::getCurrent() const {
  if (entries.empty()) return -1;
  return indexOf(value, 0, static_cast<std::int32_t>(entries.size()) - 1);
}

// ---- the closed look ----------------------------------------------------------------------

void GuiChoiceMenu::draw(DrawContext* context) {
  const char* current = getEntry(getCurrent());
  drawText(context,
           hasFormatter() ? formatValue(value)
                          : (current ? MenuEntry::parse(current).text : std::string()),
           popup ? pressedBackground : nullptr);
}

// ---- the list -----------------------------------------------------------------------------

void GuiChoiceMenu::onMouseDown(DrawContext* context, GuiPoint) {
  if (entries.empty() || popup || !pressState(context)) return;
  const std::int32_t chosen = runList(context);
  if (chosen < 0) return;
  value = static_cast<float>(chosen);
  notifyListener(context);
}

std::int32_t GuiChoiceMenu::runList(DrawContext* context) {
  FrameWindow* window = frame ? frame->getPlatformWindow() : nullptr;
  if (!window) return -1;
  std::vector<MenuEntry> shown;
  shown.reserve(entries.size());
  for (const std::string& entry : entries) shown.push_back(MenuEntry::parse(entry));

  auto image = std::make_unique<DrawSurface>(1, 1);
  std::unique_ptr<DrawContext> painter =
      std::make_unique<DrawContext>(nullptr, image.get(), nullptr);
  painter->setFont(fontId, 0, fontStyle);
  const MenuLayout layout(shown, entriesPerColumn, *painter);
  popup = window->openPopup(size, layout.width(), layout.height());
  if (!popup) return -1;
  image = std::make_unique<DrawSurface>(layout.width(), layout.height());
  painter = std::make_unique<DrawContext>(nullptr, image.get(), nullptr);
  painter->setFont(fontId, 0, fontStyle);

  const std::int32_t checked = (style & kStyleCheckCurrent) ? getCurrent() : -1;
  ListState list;
  list.highlighted = layout.isChoosable(getCurrent()) ? getCurrent() : -1;
  const GuiRect all{0, 0, layout.width(), layout.height()};
  auto show = [&] {
    layout.paint(*painter, list.highlighted, checked);
    painter->flush();
    popup->present(image->cairoSurface(), all);
  };
  setDirty(true);
  draw(context);  // the pressed look while the list is open
  show();

  const GuiFrame* trackedIn = frame;
  while (popup && popup->isOpen() && !list.done) {
    while (!list.done && popup) {
      const std::optional<FrameEvent> event = popup->nextEvent();
      if (!event) break;
      const bool inside = all.pointInside(event->where);
      const std::int32_t under = inside ? layout.choosableAt(event->where) : -1;
      switch (event->kind) {
        case FrameEvent::Kind::paint: popup->present(image->cairoSurface(), event->area); break;
        case FrameEvent::Kind::motion:
          list.pointerUsed = list.pointerUsed || inside;
          if (inside && under != list.highlighted) {
            list.highlighted = under;
            show();
          }
          break;
        case FrameEvent::Kind::buttonPress:
          if (!inside) {
            list.done = true;  // a click outside closes the list without a change
          } else {
            list.pointerUsed = true;
            list.highlighted = under;
            show();
          }
          break;
        case FrameEvent::Kind::buttonRelease:
          // The release of the press that opened the list chooses only after the pointer went
          // into the list; a release over a greyed entry or outside chooses nothing.
          if (inside && list.pointerUsed && under >= 0) {
            list.chosen = under;
            list.done = true;
          }
          break;
        case FrameEvent::Kind::key:
          if (event->key.name == KeyName::escape) {
            list.done = true;
          } else if (event->key.name == KeyName::enter) {
            list.chosen = list.highlighted;
            list.done = true;
          } else {
            const std::int32_t moved = layout.navigate(list.highlighted, event->key.name);
            if (moved != list.highlighted) {
              list.highlighted = moved;
              show();
            }
          }
          break;
        default: break;
      }
    }
    if (list.done || !popup) break;
    pumpIdle();
    if (leftFrame(trackedIn) || !popup) return -1;  // the frame closed: onRemoved closed the list
    if (!frame->getEditor()) popup->waitForEvent(kWaitMs);
  }
  popup.reset();
  setDirty(true);
  return list.chosen;
}

bool GuiChoiceMenu::onRemoved(GuiView* parent) {
  popup.reset();
  return GuiValueDisplay::onRemoved(parent);
}
