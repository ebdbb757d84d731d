// Key events of X11 turned into the toolkit's KeyInput: editing and moving keys by name, typed
// text as UTF-8 (through the input method when there is one, else from the key symbol for the
// Latin-1 and Unicode symbols), modifiers as MouseState bits.
#pragma once

#include <cstdint>

#include "gui/platform/KeyInput.h"

typedef union _XEvent XEvent;
typedef struct _XIC* XIC;

// `event` must be a KeyPress; `ic` may be null.
KeyInput translateKeyPress(XEvent& event, XIC ic);
// UTF-8 of a key symbol that stands for one character (Latin-1 or 0x1000000 + code point);
// empty for every other symbol. `out` holds at least 5 bytes.
void keySymbolText(unsigned long keysym, char* out);
