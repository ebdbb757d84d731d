// A host callback for unit tests of the shell: records every call and answers from a table.
#pragma once

#include <map>
#include <vector>

#include "host/vst2.h"

struct RecordedCall {
  AEffect* effect;
  VstInt32 opcode;
  VstInt32 index;
  VstIntPtr value;
  void* ptr;
  float opt;
};

class RecordingHost {
 public:
  RecordingHost() { current() = this; }
  ~RecordingHost() { current() = nullptr; }
  RecordingHost(const RecordingHost&) = delete;
  RecordingHost& operator=(const RecordingHost&) = delete;

  static VstIntPtr callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                            void* ptr, float opt) {
    RecordingHost* host = current();
    if (!host) return 0;
    host->calls.push_back({effect, opcode, index, value, ptr, opt});
    auto found = host->answers.find(opcode);
    return found == host->answers.end() ? 0 : found->second;
  }

  std::vector<RecordedCall> calls;
  std::map<VstInt32, VstIntPtr> answers;

 private:
  static RecordingHost*& current() {
    static RecordingHost* host = nullptr;
    return host;
  }
};
