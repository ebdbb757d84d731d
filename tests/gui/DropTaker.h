// A view for the drop tests that copies out everything it is handed (as a view must: the
// buffers live for the call only) and accepts or declines as told.
#pragma once

#include <string>
#include <vector>

#include "gui/GuiView.h"
#include "gui/platform/FrameWindow.h"

class DropTaker : public GuiView {
 public:
  explicit DropTaker(const GuiRect& rect) : GuiView(rect) {}
  bool onDrop(void** items, std::int32_t count, std::int32_t type, GuiPoint where) override {
    ++calls;
    lastType = type;
    lastCount = count;
    lastWhere = where;
    received.clear();
    if (type == kDropFileNames) {
      for (std::int32_t i = 0; i < count; ++i) received.emplace_back(static_cast<char*>(items[i]));
    } else if (type == kDropText) {
      received.emplace_back(static_cast<char*>(items[0]), static_cast<std::size_t>(count));
    }
    return accepts;
  }
  int calls = 0;
  std::int32_t lastType = -1;
  std::int32_t lastCount = -1;
  GuiPoint lastWhere{-1, -1};
  std::vector<std::string> received;
  bool accepts = true;
};
