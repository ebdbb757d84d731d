// Which top-level window holds a window: what a dialog opened for an embedded editor is made
// transient for. Window managers honour the transient hint only for the client window they
// manage (the one carrying WM_STATE), not for the editor's child window or their own frame.
#pragma once

typedef struct _XDisplay Display;

// The highest ancestor of `window` carrying WM_STATE; without one (no window manager) the
// ancestor just below the root. 0 when the window tree cannot be read.
unsigned long clientTopLevel(Display* display, unsigned long window);
