// GuiBitmap: an image from the library's embedded resources (by numeric id), drawn opaque or
// with pure white knocked out, and shared by reference counting: created with a count of 1,
// `retain` adds one, `release` removes one and frees the bitmap when the last reference goes.
// An id without a resource gives an empty bitmap (0 x 0) that draws nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "gui/GuiTypes.h"

class DrawContext;
class DrawSurface;

class GuiBitmap {
 public:
  // The embedded resource with the low 16 bits of `resourceId`.
  explicit GuiBitmap(std::int32_t resourceId);
  // A record of that size without an image.
  GuiBitmap(std::int32_t width, std::int32_t height);
  // An image decoded from PNG bytes (resource id -1); empty if they are not a readable PNG.
  explicit GuiBitmap(std::span<const std::uint8_t> png);
  // An image painted in code (resource id -1), taken over; empty for a null or empty surface.
  explicit GuiBitmap(std::unique_ptr<DrawSurface> image);
  GuiBitmap(const GuiBitmap&) = delete;
  GuiBitmap& operator=(const GuiBitmap&) = delete;

  void retain();
  // Frees the bitmap when the count falls from 1 to 0; a count of 0 is left alone.
  void release();
  std::int32_t getRefCount() const { return refCount; }

  bool isLoaded() const { return image_ != nullptr; }
  std::int32_t getWidth() const { return width_; }
  std::int32_t getHeight() const { return height_; }
  std::int32_t getResourceId() const { return resourceId_; }

  // Copies dest's width x height from the image at `sourceOffset` to dest's top-left plus the
  // context's offset. Nothing without an image or context.
  void draw(DrawContext* context, const GuiRect& dest, GuiPoint sourceOffset = {});
  // The same, except that image pixels of the key colour (pure white) leave the destination
  // unchanged. The keyed copy of the image is made on first use and kept.
  void drawKeyed(DrawContext* context, const GuiRect& dest, GuiPoint sourceOffset = {});

  // Bitmaps currently alive in the process (for leak checks).
  static std::int32_t liveCount();

 private:
  ~GuiBitmap();
  void decode(std::span<const std::uint8_t> png);
  void makeKeyedImage();

  std::int32_t resourceId_ = 0;
  std::int32_t refCount = 1;
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  std::unique_ptr<DrawSurface> image_;
  std::unique_ptr<DrawSurface> keyed_;
};
