// Fonts through fontconfig (see Fonts.h).
#include "Fonts.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>

#include <string_view>

namespace artwork {

namespace {

constexpr std::string_view kFamily = "Liberation Sans";

// Resolves family + style to a font file, or returns null with a message.
FcPattern* matchFace(std::string_view style, std::string& error) {
  const std::string familyName(kFamily);
  const std::string styleName(style);
  FcPattern* wanted = FcPatternCreate();
  FcPatternAddString(wanted, FC_FAMILY, reinterpret_cast<const FcChar8*>(familyName.c_str()));
  FcPatternAddString(wanted, FC_STYLE, reinterpret_cast<const FcChar8*>(styleName.c_str()));
  FcConfigSubstitute(nullptr, wanted, FcMatchPattern);
  FcDefaultSubstitute(wanted);
  FcResult result = FcResultNoMatch;
  FcPattern* found = FcFontMatch(nullptr, wanted, &result);
  FcPatternDestroy(wanted);

  FcChar8* family = nullptr;
  FcChar8* file = nullptr;
  int index = 0;
  const bool usable = found != nullptr &&
                      FcPatternGetString(found, FC_FAMILY, 0, &family) == FcResultMatch &&
                      std::string_view(reinterpret_cast<const char*>(family)) == kFamily &&
                      FcPatternGetString(found, FC_FILE, 0, &file) == FcResultMatch &&
                      FcPatternGetInteger(found, FC_INDEX, 0, &index) == FcResultMatch;
  if (!usable) {
    error = "font \"" + std::string(kFamily) + " " + std::string(style) + "\" not found";
    if (family != nullptr) {
      error +=
          " (fontconfig offered \"" + std::string(reinterpret_cast<const char*>(family)) + "\")";
    }
    error += "; install the Debian package fonts-liberation2";
    if (found != nullptr) {
      FcPatternDestroy(found);
    }
    return nullptr;
  }

  // Only the file and face index are passed on: rendering options come from the canvas alone,
  // never from the machine's fontconfig settings, so that output does not depend on them.
  FcPattern* face = FcPatternCreate();
  FcPatternAddString(face, FC_FILE, file);
  FcPatternAddInteger(face, FC_INDEX, index);
  FcPatternDestroy(found);
  return face;
}

cairo_font_face_t* loadFace(std::string_view style, std::string& error) {
  FcPattern* pattern = matchFace(style, error);
  if (pattern == nullptr) {
    return nullptr;
  }
  cairo_font_face_t* face = cairo_ft_font_face_create_for_pattern(pattern);
  FcPatternDestroy(pattern);
  if (cairo_font_face_status(face) != CAIRO_STATUS_SUCCESS) {
    error = "cairo cannot use \"" + std::string(kFamily) + " " + std::string(style) +
            "\": " + cairo_status_to_string(cairo_font_face_status(face));
    cairo_font_face_destroy(face);
    return nullptr;
  }
  return face;
}

}  // namespace

std::unique_ptr<Fonts> Fonts::load(std::string& error) {
  if (FcInit() == FcFalse) {
    error = "fontconfig failed to initialise";
    return nullptr;
  }
  cairo_font_face_t* regular = loadFace("Regular", error);
  if (regular == nullptr) {
    return nullptr;
  }
  cairo_font_face_t* bold = loadFace("Bold", error);
  if (bold == nullptr) {
    cairo_font_face_destroy(regular);
    return nullptr;
  }
  return std::unique_ptr<Fonts>(new Fonts(regular, bold));
}

Fonts::~Fonts() {
  cairo_font_face_destroy(bold_);
  cairo_font_face_destroy(regular_);
}

void releaseFontCaches() {
  cairo_debug_reset_static_data();
  FcFini();
}

}  // namespace artwork
