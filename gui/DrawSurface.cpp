// Surfaces are cairo image surfaces. Every failure (bad size, no memory) ends in a valid
// 0 x 0 surface rather than a null pointer or a cairo object in error state, so callers never
// need to check before drawing.
#include "gui/DrawSurface.h"

#include <cairo.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

DrawSurface::DrawSurface(std::int32_t width, std::int32_t height) {
  const bool sizeOk = width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide;
  adopt(sizeOk ? cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height) : nullptr);
}

DrawSurface::DrawSurface(cairo_surface_t* adopted) { adopt(adopted); }

DrawSurface::~DrawSurface() { cairo_surface_destroy(surface_); }

void DrawSurface::adopt(cairo_surface_t* surface) {
  const bool usable = surface && cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS &&
                      cairo_surface_get_type(surface) == CAIRO_SURFACE_TYPE_IMAGE;
  if (!usable) {
    if (surface) cairo_surface_destroy(surface);
    surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 0, 0);
  }
  surface_ = surface;
  width_ = cairo_image_surface_get_width(surface);
  height_ = cairo_image_surface_get_height(surface);
}

GuiColor DrawSurface::pixel(std::int32_t x, std::int32_t y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return kColorBlack;
  cairo_surface_flush(surface_);
  const unsigned char* row = cairo_image_surface_get_data(surface_) +
                             std::ptrdiff_t{y} * cairo_image_surface_get_stride(surface_);
  std::uint32_t value;
  std::memcpy(&value, row + std::ptrdiff_t{x} * 4, sizeof value);
  return {static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value), 0};
}

namespace {

struct PngSink {
  std::FILE* file;
  bool failed;
};

cairo_status_t writeChunk(void* closure, const unsigned char* data, unsigned int length) {
  auto* sink = static_cast<PngSink*>(closure);
  if (std::fwrite(data, 1, length, sink->file) != length) {
    sink->failed = true;
    return CAIRO_STATUS_WRITE_ERROR;
  }
  return CAIRO_STATUS_SUCCESS;
}

cairo_status_t appendChunk(void* closure, const unsigned char* data, unsigned int length) {
  auto* bytes = static_cast<std::vector<std::uint8_t>*>(closure);
  bytes->insert(bytes->end(), data, data + length);
  return CAIRO_STATUS_SUCCESS;
}

}  // namespace

std::vector<std::uint8_t> DrawSurface::encodePng() const {
  std::vector<std::uint8_t> bytes;
  if (isEmpty()) return bytes;
  cairo_surface_flush(surface_);
  if (cairo_surface_write_to_png_stream(surface_, appendChunk, &bytes) != CAIRO_STATUS_SUCCESS) {
    bytes.clear();
  }
  return bytes;
}

WriteResult DrawSurface::writePng(const std::string& path) const {
  if (isEmpty()) return {false, path + ": the surface is empty (0 x 0)"};
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return {false, path + ": " + std::strerror(errno)};
  PngSink sink{file, false};
  const cairo_status_t status = cairo_surface_write_to_png_stream(surface_, writeChunk, &sink);
  const int writeErrno = errno;
  const bool closed = std::fclose(file) == 0;
  if (status != CAIRO_STATUS_SUCCESS || sink.failed) {
    std::remove(path.c_str());
    const char* reason = sink.failed ? std::strerror(writeErrno) : cairo_status_to_string(status);
    return {false, path + ": " + reason};
  }
  if (!closed) {
    const std::string reason = std::strerror(errno);
    std::remove(path.c_str());
    return {false, path + ": " + reason};
  }
  return {true, {}};
}
