// Files and text dropped on a frame window, handed to the frame's onDrop in the form views take
// them: for file names an array of `count` zero-terminated names, for text one pointer to the
// bytes with `count` their size. The buffers live for the call only.
#pragma once

#include "gui/platform/FrameWindow.h"

class GuiFrame;

// The frame's onDrop for a drop event of its window; false when no view took it.
bool deliverDrop(GuiFrame& frame, const FrameEvent& event);
