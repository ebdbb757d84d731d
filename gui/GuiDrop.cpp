// A drop event turned into the frame's onDrop call.
#include "gui/GuiDrop.h"

#include <limits>
#include <string>
#include <vector>

#include "gui/GuiFrame.h"

bool deliverDrop(GuiFrame& frame, const FrameEvent& event) {
  if (event.kind != FrameEvent::Kind::drop || event.dropItems.empty()) return false;
  // Views get buffers of their own: what they do with them cannot touch the event.
  std::vector<std::string> items = event.dropItems;
  std::vector<void*> pointers;
  if (event.dropType == kDropText) {
    std::string& text = items.front();
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
      return false;
    }
    pointers.push_back(text.data());
    return frame.onDrop(pointers.data(), static_cast<std::int32_t>(text.size()), kDropText,
                        event.where);
  }
  if (items.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    return false;
  }
  for (std::string& name : items) pointers.push_back(name.data());
  return frame.onDrop(pointers.data(), static_cast<std::int32_t>(pointers.size()), kDropFileNames,
                      event.where);
}
