// The plug-in's wiring (host/EffectFactory.cpp, compiled in here as it is into the plug-in): each
// instance gets its editor panel, and an instance whose editor cannot be allocated is refused and
// freed, without harm to the next one. Allocation failures are made by this program's own
// no-throw operator new, which refuses the one size it is told to.
#include <gtest/gtest.h>

#include <cstddef>
#include <memory>
#include <new>

#include "editor/SynthEditor.h"
#include "host/EffectFactory.h"
#include "synth/SynthPlugin.h"

namespace {

std::size_t refusedSize = 0;  // 0: every allocation goes through
int refusals = 0;

VstIntPtr quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? 2400 : 0;
}

std::unique_ptr<EffectBase> create() {
  return std::unique_ptr<EffectBase>(createEffectInstance(&quietHost));
}

class PluginWiring : public ::testing::Test {
 protected:
  void TearDown() override { refusedSize = 0; }
};

TEST_F(PluginWiring, EveryInstanceGetsItsOwnEditorAsEditorAndPanel) {
  auto first = create();
  auto second = create();
  ASSERT_TRUE(first && second);
  for (EffectBase* instance : {first.get(), second.get()}) {
    auto* editor = dynamic_cast<SynthEditor*>(instance->getEditorPointer());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->getEffect(), instance);
    EXPECT_NE(instance->getAEffect()->flags & effFlagsHasEditor, 0);
    EXPECT_NE(dynamic_cast<SynthPlugin*>(instance), nullptr);
  }
  EXPECT_NE(first->getEditorPointer(), second->getEditorPointer());
}

TEST_F(PluginWiring, AnInstanceWhoseEditorCannotBeAllocatedIsRefusedAndTheNextOneIsWhole) {
  refusals = 0;
  refusedSize = sizeof(SynthEditor);
  EXPECT_EQ(create(), nullptr);
  EXPECT_EQ(refusals, 1) << "the editor's allocation was the one refused";
  refusedSize = 0;
  auto next = create();
  ASSERT_NE(next, nullptr);
  EXPECT_NE(dynamic_cast<SynthEditor*>(next->getEditorPointer()), nullptr);
}

TEST_F(PluginWiring, AnInstanceThatCannotBeAllocatedIsRefused) {
  refusals = 0;
  refusedSize = sizeof(SynthPlugin);
  EXPECT_EQ(create(), nullptr);
  EXPECT_EQ(refusals, 1);
}

}  // namespace

// Refuses the armed size once per request; everything else comes from the usual operator new, so
// that the usual operator delete (or the sanitizer's) frees it.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  if (refusedSize != 0 && size == refusedSize) {
    ++refusals;
    return nullptr;
  }
  try {
    return ::operator new(size);
  } catch (...) {
    return nullptr;
  }
}
