// Parameter texts from the table. The blanks around names and labels are part of the texts hosts
// show and store; they are kept exactly.
#include "synth/ParameterTable.h"

#include <cstdio>
#include <cstring>

namespace parameters {

bool writeName(VstInt32 index, char* text) {
  const ParameterRun* run = runOf(index);
  if (!text || !run) return false;
  switch (run->nameKind) {
    case NameKind::fixed: std::strcpy(text, run->name); return true;
    case NameKind::perOscillator:
      std::sprintf(text, " Osc%d%s", index - run->indexes.first + 1, run->name);
      return true;
    case NameKind::none: break;
  }
  return false;
}

bool writeLabel(VstInt32 index, char* text) {
  const ParameterRun* run = runOf(index);
  if (!text || !run || !run->label) return false;
  std::strcpy(text, run->label);
  return true;
}

DisplayKind displayKind(VstInt32 index) {
  const ParameterRun* run = runOf(index);
  return run ? run->display : DisplayKind::none;
}

}  // namespace parameters
