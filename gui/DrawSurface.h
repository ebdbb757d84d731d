// A pixel surface that drawing contexts paint on: the frame's back buffer, an offscreen's
// memory bitmap, a decoded bitmap image. 24-bit colour, black when created. It can read single
// pixels back and save itself as a PNG file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gui/GuiTypes.h"

typedef struct _cairo_surface cairo_surface_t;

// Outcome of a file write: ok, or a message saying what failed.
struct [[nodiscard]] WriteResult {
  bool ok = false;
  std::string message;
  explicit operator bool() const { return ok; }
};

class DrawSurface {
 public:
  // Sides above this are refused (the surface is then 0 x 0).
  static constexpr std::int32_t kMaxSide = 16384;

  // A black surface of the given size; 0 x 0 if a side is not positive, too large, or the
  // memory cannot be had.
  DrawSurface(std::int32_t width, std::int32_t height);
  // Takes over an image surface (24-bit or 32-bit); a null or failed one gives 0 x 0.
  explicit DrawSurface(cairo_surface_t* adopted);
  ~DrawSurface();
  DrawSurface(const DrawSurface&) = delete;
  DrawSurface& operator=(const DrawSurface&) = delete;

  std::int32_t width() const { return width_; }
  std::int32_t height() const { return height_; }
  bool isEmpty() const { return width_ == 0 || height_ == 0; }
  GuiRect bounds() const { return {0, 0, width_, height_}; }

  // The colour at (x, y); black outside the surface.
  GuiColor pixel(std::int32_t x, std::int32_t y) const;

  WriteResult writePng(const std::string& path) const;
  // The surface as PNG file bytes; empty for an empty surface or when encoding fails.
  std::vector<std::uint8_t> encodePng() const;

  // Never null: an empty surface is still a valid (0 x 0) cairo surface.
  cairo_surface_t* cairoSurface() const { return surface_; }

 private:
  void adopt(cairo_surface_t* surface);

  cairo_surface_t* surface_ = nullptr;
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
};
