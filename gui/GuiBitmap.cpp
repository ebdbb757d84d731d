// Bitmaps decode their PNG bytes with cairo into a 24-bit surface. The keyed draw uses a second,
// 32-bit copy in which every pure white pixel is fully transparent: painting it over the
// destination keeps the destination exactly where the image is white.
#include "gui/GuiBitmap.h"

#include <cairo.h>

#include <atomic>
#include <cstring>

#include "gui/DrawContext.h"
#include "gui/DrawSurface.h"
#include "resources/Resources.h"

namespace {

std::atomic<std::int32_t> liveBitmaps{0};

struct PngReader {
  std::span<const std::uint8_t> bytes;
  std::size_t position = 0;
};

cairo_status_t readChunk(void* closure, unsigned char* data, unsigned int length) {
  auto* reader = static_cast<PngReader*>(closure);
  if (reader->bytes.size() - reader->position < length) return CAIRO_STATUS_READ_ERROR;
  std::memcpy(data, reader->bytes.data() + reader->position, length);
  reader->position += length;
  return CAIRO_STATUS_SUCCESS;
}

}  // namespace

GuiBitmap::GuiBitmap(std::int32_t resourceId) : resourceId_(resourceId) {
  ++liveBitmaps;
  decode(findResource(resourceId & 0xFFFF));
}

GuiBitmap::GuiBitmap(std::int32_t width, std::int32_t height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)) {
  ++liveBitmaps;
}

GuiBitmap::GuiBitmap(std::span<const std::uint8_t> png) : resourceId_(-1) {
  ++liveBitmaps;
  decode(png);
}

GuiBitmap::GuiBitmap(std::unique_ptr<DrawSurface> image) : resourceId_(-1) {
  ++liveBitmaps;
  if (!image || image->isEmpty()) return;
  width_ = image->width();
  height_ = image->height();
  image_ = std::move(image);
}

GuiBitmap::~GuiBitmap() { --liveBitmaps; }

std::int32_t GuiBitmap::liveCount() { return liveBitmaps.load(); }

void GuiBitmap::retain() { ++refCount; }

void GuiBitmap::release() {
  if (refCount <= 0) return;
  if (--refCount == 0) delete this;
}

void GuiBitmap::decode(std::span<const std::uint8_t> png) {
  if (png.empty()) return;
  PngReader reader{png};
  cairo_surface_t* decoded = cairo_image_surface_create_from_png_stream(readChunk, &reader);
  if (cairo_surface_status(decoded) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(decoded);
    return;
  }
  // Flatten onto black in a 24-bit surface: bitmaps are opaque images.
  auto image = std::make_unique<DrawSurface>(cairo_image_surface_get_width(decoded),
                                             cairo_image_surface_get_height(decoded));
  if (!image->isEmpty()) {
    cairo_t* cr = cairo_create(image->cairoSurface());
    cairo_set_source_surface(cr, decoded, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(image->cairoSurface());
    width_ = image->width();
    height_ = image->height();
    image_ = std::move(image);
  }
  cairo_surface_destroy(decoded);
}

void GuiBitmap::makeKeyedImage() {
  cairo_surface_t* keyed = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width_, height_);
  if (cairo_surface_status(keyed) == CAIRO_STATUS_SUCCESS) {
    cairo_surface_t* source = image_->cairoSurface();
    const unsigned char* from = cairo_image_surface_get_data(source);
    unsigned char* to = cairo_image_surface_get_data(keyed);
    const int fromStride = cairo_image_surface_get_stride(source);
    const int toStride = cairo_image_surface_get_stride(keyed);
    const std::uint32_t key = 0x00FFFFFFu;
    for (std::int32_t y = 0; y < height_; ++y) {
      for (std::int32_t x = 0; x < width_; ++x) {
        std::uint32_t pixel;
        std::memcpy(&pixel, from + std::ptrdiff_t{y} * fromStride + std::ptrdiff_t{x} * 4, 4);
        pixel &= 0x00FFFFFFu;
        pixel = pixel == key ? 0u : (pixel | 0xFF000000u);
        std::memcpy(to + std::ptrdiff_t{y} * toStride + std::ptrdiff_t{x} * 4, &pixel, 4);
      }
    }
    cairo_surface_mark_dirty(keyed);
  }
  keyed_ = std::make_unique<DrawSurface>(keyed);
}

void GuiBitmap::draw(DrawContext* context, const GuiRect& dest, GuiPoint sourceOffset) {
  if (!context || !image_) return;
  context->copyBlock(image_->cairoSurface(), dest, sourceOffset);
}

void GuiBitmap::drawKeyed(DrawContext* context, const GuiRect& dest, GuiPoint sourceOffset) {
  if (!context || !image_) return;
  if (!keyed_) makeKeyedImage();
  context->copyBlock(keyed_->cairoSurface(), dest, sourceOffset);
}
