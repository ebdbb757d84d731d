// The panel bitmaps built into the library: one PNG file per numeric resource id, embedded at
// build time from resources/<id>.png.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

struct EmbeddedResource {
  std::int32_t id;
  const std::uint8_t* data;
  std::size_t size;
};

// Every embedded resource, in ascending id order.
std::span<const EmbeddedResource> embeddedResources();

// The PNG bytes of resource `id`; empty when there is no such resource.
std::span<const std::uint8_t> findResource(std::int32_t id);
