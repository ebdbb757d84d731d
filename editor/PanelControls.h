// Makes the control a layout entry describes (PanelLayout.h): the class of its kind, built with
// the panel's arguments for that class. The bitmaps come from the editor, which loaded them.
#pragma once

#include "editor/PanelLayout.h"

class ControlListener;
class GuiBitmap;
class GuiControl;

// A new control with one reference, or null when memory ran out. `background` and `handle` may
// be null; `handle` is used by the bar sliders and curve editors only.
GuiControl* makePanelControl(const panel::ControlSpec& spec, ControlListener* listener,
                             GuiBitmap* background, GuiBitmap* handle);
