// Fields that one thread writes while another reads them (a setter and the render): each access
// is a single atomic load or store, so the reader sees either the old or the new value, and what
// was written before a release store is visible after the matching acquire load.
#pragma once

#include <atomic>

template <class T>
[[nodiscard]] inline T loadShared(const T& field) noexcept {
  return std::atomic_ref<T>(const_cast<T&>(field)).load(std::memory_order_acquire);
}

template <class T>
inline void storeShared(T& field, T value) noexcept {
  std::atomic_ref<T>(field).store(value, std::memory_order_release);
}
