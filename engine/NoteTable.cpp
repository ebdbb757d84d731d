// The note table: a running product in double precision from note 0 (8.1758 Hz) by the
// semitone ratio, each entry stored as a float.
#include "engine/NoteTable.h"

namespace {

std::array<float, 128> buildNoteTable() {
  std::array<float, 128> table{};
  double frequency = 8.175798915636872;
  for (float& entry : table) {
    entry = static_cast<float>(frequency);
    frequency *= 1.059463094359;
  }
  return table;
}

}  // namespace

const std::array<float, 128>& noteFrequencyTable() {
  static const std::array<float, 128> table = buildNoteTable();
  return table;
}
