// Fonts: Liberation Sans (regular and bold), found through fontconfig and handed to cairo.
// The panel is designed around a face with Arial's metrics; Liberation Sans has them. If the
// family is not installed, fontconfig would silently offer another one, so loading checks the
// family it resolved and refuses anything else.
#pragma once

#include <cairo.h>

#include <memory>
#include <string>

namespace artwork {

class Fonts {
 public:
  // Loads both weights; on failure returns null and says what is missing in `error`.
  [[nodiscard]] static std::unique_ptr<Fonts> load(std::string& error);
  ~Fonts();
  Fonts(const Fonts&) = delete;
  Fonts& operator=(const Fonts&) = delete;

  [[nodiscard]] cairo_font_face_t* regular() const { return regular_; }
  [[nodiscard]] cairo_font_face_t* bold() const { return bold_; }

 private:
  Fonts(cairo_font_face_t* regular, cairo_font_face_t* bold) : regular_(regular), bold_(bold) {}

  cairo_font_face_t* regular_;
  cairo_font_face_t* bold_;
};

// Releases the process-wide caches of cairo and fontconfig once every font and surface is gone,
// so that leak checkers see a clean exit.
void releaseFontCaches();

}  // namespace artwork
