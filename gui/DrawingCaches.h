// The drawing library keeps process-wide caches (fonts, font configuration, per-display data)
// that live until the process ends. Leak checkers report them as leaks; releasing them at the
// very end of a test program keeps such checks meaningful.
#pragma once

// Frees the drawing library's process-wide caches. Call only once no drawing context, surface,
// bitmap or window of the toolkit is left, typically just before a test program exits.
void releaseDrawingCaches();
