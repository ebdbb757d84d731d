// The fixture of the panel-control tests: the toolkit's control fixture with its frame grown to
// the panel's 600 x 600, so that controls can sit at their panel rectangles.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "tests/gui/ControlTestSupport.h"

// Colours in failure messages as (r, g, b).
inline void PrintTo(const GuiColor& color, std::ostream* out) {
  *out << '(' << int{color.red} << ", " << int{color.green} << ", " << int{color.blue} << ')';
}

class PanelControlTest : public ControlFixture {
 protected:
  void SetUp() override {
    ControlFixture::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(frame->setSize(600, 600));
    frame->idle();
  }

  GuiColor pixel(std::int32_t x, std::int32_t y) { return backBuffer().pixel(x, y); }

  // The tags of the host's begin-edit (or end-edit) calls, in order.
  std::vector<VstInt32> editTags(VstInt32 opcode) const {
    std::vector<VstInt32> tags;
    for (const RecordedHostCall& call : effect.calls) {
      if (call.opcode == opcode) tags.push_back(call.index);
    }
    return tags;
  }
};
