// Key translation: named keys from their symbols, text from the input method or the symbol.
#include "gui/platform/x11/X11Keys.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <array>

#include "gui/GuiTypes.h"
#include "gui/platform/x11/X11Window.h"

namespace {

struct NamedKey {
  KeySym symbol;
  KeyName name;
};

constexpr std::array<NamedKey, 17> kNamedKeys{{
    {XK_Return, KeyName::enter},
    {XK_KP_Enter, KeyName::enter},
    {XK_Escape, KeyName::escape},
    {XK_BackSpace, KeyName::backspace},
    {XK_Delete, KeyName::deleteForward},
    {XK_KP_Delete, KeyName::deleteForward},
    {XK_Left, KeyName::left},
    {XK_KP_Left, KeyName::left},
    {XK_Right, KeyName::right},
    {XK_KP_Right, KeyName::right},
    {XK_Up, KeyName::up},
    {XK_Down, KeyName::down},
    {XK_Home, KeyName::home},
    {XK_KP_Home, KeyName::home},
    {XK_End, KeyName::end},
    {XK_KP_End, KeyName::end},
    {XK_Tab, KeyName::tab},
}};

// Writes the code point as UTF-8; false for values that are not characters.
bool encodeUtf8(unsigned long code, char* out) {
  if (code < 0x20 || (code >= 0x7F && code < 0xA0) || code > 0x10FFFF ||
      (code >= 0xD800 && code <= 0xDFFF)) {
    return false;
  }
  auto byte = [](unsigned long v) { return static_cast<char>(static_cast<unsigned char>(v)); };
  if (code < 0x80) {
    out[0] = byte(code);
    out[1] = '\0';
  } else if (code < 0x800) {
    out[0] = byte(0xC0 | (code >> 6));
    out[1] = byte(0x80 | (code & 0x3F));
    out[2] = '\0';
  } else if (code < 0x10000) {
    out[0] = byte(0xE0 | (code >> 12));
    out[1] = byte(0x80 | ((code >> 6) & 0x3F));
    out[2] = byte(0x80 | (code & 0x3F));
    out[3] = '\0';
  } else {
    out[0] = byte(0xF0 | (code >> 18));
    out[1] = byte(0x80 | ((code >> 12) & 0x3F));
    out[2] = byte(0x80 | ((code >> 6) & 0x3F));
    out[3] = byte(0x80 | (code & 0x3F));
    out[4] = '\0';
  }
  return true;
}

}  // namespace

void keySymbolText(unsigned long keysym, char* out) {
  out[0] = '\0';
  constexpr unsigned long kUnicodeSymbols = 0x1000000;
  if ((keysym >= 0x20 && keysym <= 0x7E) || (keysym >= 0xA0 && keysym <= 0xFF)) {
    encodeUtf8(keysym, out);
  } else if (keysym > kUnicodeSymbols && keysym <= kUnicodeSymbols + 0x10FFFF) {
    if (!encodeUtf8(keysym - kUnicodeSymbols, out)) out[0] = '\0';
  }
}

KeyInput translateKeyPress(XEvent& event, XIC ic) {
  XKeyEvent& key = event.xkey;
  std::array<char, 64> text{};
  KeySym symbol = NoSymbol;
  int length = 0;
  if (ic) {
    Status status = 0;
    length = Xutf8LookupString(ic, &key, text.data(), static_cast<int>(text.size()) - 1, &symbol,
                               &status);
    if (status == XBufferOverflow || status == XLookupNone || status == XLookupKeySym) length = 0;
  } else {
    length = XLookupString(&key, text.data(), static_cast<int>(text.size()) - 1, &symbol, nullptr);
    length = 0;  // Latin-1 bytes: the symbol gives the UTF-8 text below
  }
  KeyInput input;
  input.modifiers = X11Window::mouseStateOf(key.state) & (kMouseShift | kMouseControl | kMouseAlt);
  for (const NamedKey& named : kNamedKeys) {
    if (named.symbol == symbol) {
      input.name = named.name;
      return input;
    }
  }
  if (length > 0) {
    text[static_cast<std::size_t>(length)] = '\0';
  } else {
    keySymbolText(symbol, text.data());
  }
  // Control characters that a lookup may give for control-key combinations are not text.
  if (static_cast<unsigned char>(text[0]) < 0x20 || text[0] == 0x7F) text[0] = '\0';
  input.setText(text.data());
  return input;
}
