// Lookup in the generated table of embedded resources.
#include "resources/Resources.h"

#include <algorithm>

std::span<const std::uint8_t> findResource(std::int32_t id) {
  const std::span<const EmbeddedResource> table = embeddedResources();
  const auto found = std::lower_bound(
      table.begin(), table.end(), id,
      [](const EmbeddedResource& entry, std::int32_t wanted) { return entry.id < wanted; });
  if (found == table.end() || found->id != id) return {};
  return {found->data, found->size};
}
