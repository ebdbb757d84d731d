// Texts reach the toolkit as byte strings: mostly ASCII, sometimes UTF-8 (names typed by the
// user or given by a host), sometimes the 8-bit Windows Latin encoding of older presets. The
// font renderer needs valid UTF-8, so this turns any byte string into it.
#pragma once

#include <string>

// Valid UTF-8 is kept; otherwise every byte is read as Windows-1252. Control characters become
// blanks, because text is drawn as a single line. A null pointer gives an empty text.
std::string toDisplayText(const char* text);
