// Rendering never allocates: this binary replaces the global allocator with one that counts,
// then renders thousands of host blocks of odd sizes with note starts, parameter changes,
// envelope loads and gate changes in between.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "EngineSetup.h"
#include "engine/SynthEngine.h"

// The replacements below pair malloc with free themselves; GCC cannot tell and warns that free
// receives memory from operator new.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {

std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

void* allocate(std::size_t size) {
  if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1);
  return std::malloc(size == 0 ? 1 : size);
}

void* allocateAligned(std::size_t size, std::align_val_t alignment) {
  if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1);
  const std::size_t align = static_cast<std::size_t>(alignment);
  const std::size_t rounded = (size + align - 1) / align * align;
  return std::aligned_alloc(align, rounded == 0 ? align : rounded);
}

}  // namespace

void* operator new(std::size_t size) {
  if (void* p = allocate(size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
  if (void* p = allocate(size)) return p;
  throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new(std::size_t size, std::align_val_t alignment) {
  if (void* p = allocateAligned(size, alignment)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
  if (void* p = allocateAligned(size, alignment)) return p;
  throw std::bad_alloc();
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return allocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment,
                     const std::nothrow_t&) noexcept {
  return allocateAligned(size, alignment);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept {
  std::free(p);
}

namespace {

// One parameter change per block, walking through every setting.
void changeSomething(SynthEngine& engine, int32_t step) {
  const float v = float(step % 11) / 10.0f;
  const int32_t osc = step % SynthEngine::kOscillatorCount;
  switch (step % 12) {
    case 0: engine.setOscillatorVolume(osc, v); break;
    case 1: engine.setOscillatorPhase(osc, v); break;
    case 2: engine.setOscillatorDetune(osc, 0.4f + v * 0.2f); break;
    case 3: engine.setRouting(osc, float(step % 5) * 0.25f); break;
    case 4: engine.setMainDetune(0.45f + v * 0.1f); break;
    case 5: engine.setDelayTime(v); break;
    case 6: engine.setFlangerCentreDelay(v); engine.setFlangerWaveform(v); break;
    case 7: engine.setFlangerRate(v); engine.setPhaserRate(v); break;
    case 8: engine.setPhaserMinimum(v); engine.setPhaserMaximum(1.0f - v); break;
    case 9: engine.setReverbRoomSize(v); engine.setReverbDamping(v); break;
    case 10: engine.setReverbWet(v); engine.setReverbWidth(v); break;
    default: engine.setMainVolume(0.5f + v * 0.5f); break;
  }
}

TEST(Allocation, RenderingThousandsOfBlocksNeverAllocates) {
  SynthEngine engine;
  engine_setup::richPatch(engine);
  const auto ramp = engine_setup::constantCurve(0.7f);
  constexpr int32_t kSizes[] = {16, 64, 256, 777, 2049, 1, 4100};
  std::vector<float> out(4100, 0.0f);
  long renderedFrames = 0;

  counting = true;
  for (int32_t block = 0; block < 2000; ++block) {
    if (block % 40 == 0) engine.startAllOscillators(noteFrequency(36 + block % 48), 0.8f);
    if (block % 97 == 0) {
      engine.loadEnvelopeLayer(block % 32, EnvelopeBank(block % 3), block % 5, ramp.data());
    }
    changeSomething(engine, block);
    const int32_t frames = kSizes[block % 7];
    const bool gate = block % 13 != 0;
    engine.processHostBlock(out.data(), frames, gate, block % 3 == 0 ? 10 : 0, block % 2 == 0);
    renderedFrames += frames;
  }
  counting = false;

  EXPECT_EQ(allocations.load(), 0) << "allocations while rendering " << renderedFrames
                                   << " frames";
  EXPECT_GT(renderedFrames, 2'000'000) << "fewer frames than planned";
}

TEST(Allocation, TheCounterSeesAllocations) {
  counting = true;
  auto* probe = new std::vector<float>(100);
  counting = false;
  delete probe;
  EXPECT_GE(allocations.exchange(0), 2) << "the replaced allocator is not in use";
}

}  // namespace
