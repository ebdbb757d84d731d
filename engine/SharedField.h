// Fields that one thread writes while another reads or writes them (a setter and the render, or
// two threads that both set): every access is a single atomic load or store, so a reader sees
// either the old or the new value and the program has no data race. Relaxed accesses are plain
// moves on x86; the acquire and release forms also order the accesses around them, for the
// counters that hand a queue or a pending setting from the setter to the render.
#pragma once

#include <atomic>
#include <cmath>

template <class T>
[[nodiscard]] inline T loadShared(const T& field,
                                  std::memory_order order = std::memory_order_acquire) noexcept {
  return std::atomic_ref<T>(const_cast<T&>(field)).load(order);
}

template <class T>
inline void storeShared(T& field, T value,
                        std::memory_order order = std::memory_order_release) noexcept {
  std::atomic_ref<T>(field).store(value, order);
}

template <class T>
[[nodiscard]] inline T loadRelaxed(const T& field) noexcept {
  return loadShared(field, std::memory_order_relaxed);
}

template <class T>
inline void storeRelaxed(T& field, T value) noexcept {
  storeShared(field, value, std::memory_order_relaxed);
}

// A setting written on one thread and read on others: relaxed loads and stores only. Copies
// read and write the same way, so objects holding one stay copyable.
template <class T>
class SharedValue {
 public:
  static_assert(std::atomic_ref<T>::is_always_lock_free);

  constexpr SharedValue() noexcept = default;
  constexpr SharedValue(T initial) noexcept : value(initial) {}
  SharedValue(const SharedValue& other) noexcept : value(other.load()) {}
  SharedValue& operator=(const SharedValue& other) noexcept {
    store(other.load());
    return *this;
  }

  [[nodiscard]] T load() const noexcept { return loadRelaxed(value); }
  void store(T newValue) noexcept { storeRelaxed(value, newValue); }

 private:
  alignas(std::atomic_ref<T>::required_alignment) T value{};
};

// Stores `value` unless it is inf or NaN (settings ignore non-finite host values).
inline void assignFinite(SharedValue<float>& field, float value) noexcept {
  if (std::isfinite(value)) field.store(value);
}
