// The slot table. Group slots 96 + 3g + kind address group g in bank kind.
#include "synth/EnvelopeSlots.h"

namespace {

constexpr VstInt32 kOscillatorSlots = 96;
constexpr VstInt32 kSlotCount = 123;

struct GroupShape {
  VstInt32 layer;
  VstInt32 firstOscillator;
  VstInt32 step;
  VstInt32 count;
};

// Lower and upper half, even and odd, every sixth, and the four quarters.
constexpr GroupShape kGroups[9] = {
    {1, 0, 1, 16}, {1, 16, 1, 16}, {2, 0, 2, 16}, {2, 1, 2, 16}, {3, 0, 6, 6},
    {4, 0, 1, 8},  {4, 8, 1, 8},   {4, 16, 1, 8}, {4, 24, 1, 8},
};

}  // namespace

bool envelopeSlotTarget(VstInt32 slot, EnvelopeSlotTarget& target) {
  if (slot < 0 || slot >= kSlotCount) return false;
  if (slot < kOscillatorSlots) {
    target = {slot / 32, 0, slot % 32, 1, 1};
    return true;
  }
  const GroupShape& group = kGroups[(slot - kOscillatorSlots) / 3];
  target = {(slot - kOscillatorSlots) % 3, group.layer, group.firstOscillator, group.step,
            group.count};
  return true;
}
