// The program record: which field stores each parameter index (saved states rely on it), the
// defaults of a fresh record and a copy that takes every value into the record's own storage.
// The field map is the documented one, written out here field by field.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <set>

#include "synth/ProgramRecord.h"

namespace {

constexpr VstInt32 kSwitchWord[6] = {1, 0, 2, 4, 3, 5};             // indexes 2-7
constexpr VstInt32 kSelectorWord[9] = {1, 0, 2, 3, 4, 5, 6, 7, 8};  // indexes 9-17

// The documented program field of a parameter index; null for the four unstored ones.
const float* documentedField(const ProgramRecord& r, VstInt32 i) {
  auto in = [&](VstInt32 first, VstInt32 count) { return i >= first && i < first + count; };
  auto at = [](const auto& values, VstInt32 k) { return &values[static_cast<size_t>(k)]; };
  if (i == 0) return &r.mainVolume;
  if (i == 1) return &r.mainDetune;
  if (in(2, 6)) return at(r.panel.switches, kSwitchWord[i - 2]);
  if (in(9, 9)) return at(r.panel.selectors, kSelectorWord[i - 9]);
  if (in(18, 32)) return at(r.routing, i - 18);
  if (in(50, 32)) return at(r.panel.toggles, i - 50);
  if (in(82, 32)) return at(r.oscVolume, i - 82);
  if (in(114, 32)) return at(r.oscPhase, i - 114);
  if (in(146, 32)) return at(r.oscDetune, i - 146);
  if (in(181, 7)) return at(r.flanger, i - 181);
  if (in(199, 32)) return at(r.oscSwitch, i - 199);
  if (in(231, 4)) return at(r.effectSwitch, i - 231);
  switch (i) {
    case 178: return &r.delayTime;
    case 179: return &r.delayFeedback;
    case 180: return &r.delayVolume;
    case 188: return &r.phaserDepth;
    case 189: return &r.phaserFeedback;
    case 190: return &r.phaserMinFreq;
    case 191: return &r.phaserMaxFreq;
    case 192: return &r.phaserRate;
    case 193: return &r.reverbRoomSize;
    case 194: return &r.reverbDamping;
    case 195: return &r.reverbWidth;
    case 197: return &r.reverbDry;
    case 198: return &r.reverbWet;
    default: return nullptr;
  }
}

TEST(ProgramRecordFields, EveryIndexMapsToItsDocumentedFieldAndNoTwoShareOne) {
  auto record = std::make_unique<ProgramRecord>();
  const ProgramRecord& constRecord = *record;
  std::set<const float*> seen;
  for (VstInt32 index = -3; index < 240; ++index) {
    const float* expected = documentedField(*record, index);
    EXPECT_EQ(record->fieldFor(index), expected) << "index " << index;
    EXPECT_EQ(constRecord.fieldFor(index), expected) << "index " << index << " (const)";
    if (expected) {
      EXPECT_TRUE(seen.insert(expected).second) << "index " << index;
    }
  }
  EXPECT_EQ(seen.size(), 233u) << "every parameter but 8, 196, 235 and 236 is stored";
}

TEST(ProgramRecordFields, FarOutIndexesHaveNoField) {
  ProgramRecord record;
  for (VstInt32 index : {INT32_MIN, -1, 237, 1 << 20, INT32_MAX}) {
    EXPECT_EQ(record.fieldFor(index), nullptr) << "index " << index;
  }
}

TEST(ProgramRecordDefaults, AFreshRecordHoldsTheDocumentedValues) {
  ProgramRecord r;
  for (size_t i = 0; i < 32; ++i) {
    EXPECT_EQ(r.routing[i], 0.0f) << i;
    EXPECT_EQ(r.oscVolume[i], 0.0f) << i;
    EXPECT_EQ(r.oscPhase[i], 0.5f) << i;
    EXPECT_EQ(r.oscDetune[i], 0.5f) << i;
    EXPECT_EQ(r.oscSwitch[i], i < 16 ? 1.0f : 0.0f) << i;
    EXPECT_EQ(r.panel.toggles[i], i == 0 ? 1.0f : 0.0f) << i;
  }
  EXPECT_EQ(r.mainDetune, 0.5f);
  EXPECT_EQ(r.mainVolume, 0.9f);
  EXPECT_EQ(r.delayVolume, 0.5f);
  EXPECT_EQ(r.delayFeedback, 0.3f);
  EXPECT_EQ(r.delayTime, 0.5f);
  EXPECT_EQ(r.flanger, (std::array<float, 7>{0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.0f}));
  for (float value :
       {r.phaserDepth, r.phaserMinFreq, r.phaserMaxFreq, r.phaserFeedback, r.phaserRate,
        r.reverbRoomSize, r.reverbDamping, r.reverbWidth, r.reverbDry, r.reverbWet}) {
    EXPECT_EQ(value, 0.5f);
  }
  EXPECT_EQ(r.effectSwitch, (std::array<float, 4>{0.0f, 0.0f, 0.0f, 0.0f}));
  EXPECT_EQ(r.panel.switches, (std::array<float, 6>{0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 0.0f}));
  EXPECT_EQ(r.panel.selectors, (std::array<float, 9>{}));
  EXPECT_STREQ(r.name, "Basic");
  for (int slot = 0; slot < kEnvelopeSlotCount; ++slot) {
    for (float point : r.curve(slot)) ASSERT_EQ(point, 0.0f) << "slot " << slot;
  }
}

TEST(ProgramRecordCopy, EveryStoredValueTheCurvesAndTheNameArriveInTheOwnStorage) {
  ProgramRecord source;
  for (VstInt32 index = 0; index < 237; ++index) {
    if (float* field = source.fieldFor(index)) *field = 0.001f * static_cast<float>(index + 1);
  }
  source.curve(122)[384] = 0.25f;
  std::strcpy(source.name, "Copied");

  ProgramRecord copy;
  copy = source;
  for (VstInt32 index = 0; index < 237; ++index) {
    if (const float* field = source.fieldFor(index)) {
      EXPECT_EQ(*copy.fieldFor(index), *field) << "index " << index;
    }
  }
  EXPECT_EQ(copy.curve(122)[384], 0.25f);
  EXPECT_NE(copy.curve(122).data(), source.curve(122).data());
  EXPECT_STREQ(copy.name, "Copied");
}

}  // namespace
