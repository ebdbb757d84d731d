// The synth core on every render path against the reference path, sample for sample: program
// changes, parameter changes of every index, envelope loads, MIDI note starts, note ends and
// restarts at offsets inside the block, both audio entry points, blocks of any length.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/RenderPath.h"
#include "synth/ParameterTable.h"
#include "synth/SynthPlugin.h"
#include "tests/support/ChangeStream.h"
#include "tests/support/MidiMessage.h"

namespace {

VstIntPtr quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? 2400 : 0;
}

using change_stream::Stream;

EnvelopeCurve curveFrom(Stream& stream) {
  EnvelopeCurve curve{};
  const float start = stream.unit();
  const float end = stream.unit();
  for (std::size_t k = 0; k < curve.size(); ++k) {
    curve[k] = start + (end - start) * static_cast<float>(k) / 384.0f;
  }
  return curve;
}

// Sends one MIDI message at a frame offset inside the coming block.
void sendMidi(SynthCore& core, unsigned char status, unsigned char data1, unsigned char data2,
              int32_t delta) {
  VstMidiEvent midi = midi_message::event(status, data1, data2, delta);
  VstEvents events{};
  events.numEvents = 1;
  events.events[0] = reinterpret_cast<VstEvent*>(&midi);
  core.handleEvents(&events);
}

// A program that sounds: every oscillator on, curves in the amplitude layers, all effects on.
void soundingSetUp(SynthCore& core, Stream& stream) {
  using namespace parameters;
  core.setParameter(kMainVolume, 0.8f);
  for (int32_t osc = 0; osc < kOscillators; ++osc) {
    core.setParameter(kOscSwitchFirst + osc, 1.0f);
    core.setParameter(kVolumeFirst + osc, 0.3f + 0.5f * stream.unit());
    core.setParameter(kRoutingFirst + osc, static_cast<float>(osc % 5) * 0.25f);
    const EnvelopeCurve curve = curveFrom(stream);
    core.applyEnvelope(osc, curve.data());
  }
  for (VstInt32 slot = 96; slot < 123; ++slot) {
    const EnvelopeCurve curve = curveFrom(stream);
    core.applyEnvelope(slot, curve.data());
  }
  for (VstInt32 index : {kDelaySwitch, kFlangerSwitch, kPhaserSwitch, kReverbSwitch}) {
    core.setParameter(index, 1.0f);
  }
}

void randomEvent(SynthCore& core, Stream& stream, int32_t block) {
  switch (stream.below(12)) {
    case 0: core.selectProgram(stream.below(SynthCore::kProgramCount)); break;
    case 1: {
      const EnvelopeCurve curve = curveFrom(stream);
      core.applyEnvelope(stream.below(123), curve.data());
      break;
    }
    case 2:
      sendMidi(core, 0x90, static_cast<uint8_t>(24 + stream.below(96)),
               static_cast<uint8_t>(1 + stream.below(127)), stream.below(block + 8));
      break;
    case 3: sendMidi(core, 0x80, static_cast<uint8_t>(core.getLastNote() & 0x7F), 0, 0); break;
    case 4: sendMidi(core, 0xB0, 126, 0, 0); break;
    default: {
      const VstInt32 index = stream.below(SynthCore::kParameterCount);
      if (index == parameters::kTestNote) break;  // its note start is covered by MIDI
      const float value = stream.below(12) == 0 ? stream.unit() * 4.0f - 2.0f : stream.unit();
      core.setParameter(index, value);
      break;
    }
  }
}

std::vector<float> renderCore(RenderPath path, uint32_t seed, int64_t frames) {
  auto core = std::make_unique<SynthPlugin>(&quietHost);
  // The core offers its engine read-only; the engine itself is not const.
  EXPECT_TRUE(const_cast<SynthEngine&>(core->getEngine()).setRenderPath(path));
  Stream stream(seed);
  soundingSetUp(*core, stream);
  sendMidi(*core, 0x90, 45, 100, 0);
  std::vector<float> out(static_cast<std::size_t>(frames), 0.0f);
  for (int64_t done = 0; done < frames;) {
    const auto block =
        static_cast<int32_t>(std::min<int64_t>(1 + stream.below(3000), frames - done));
    for (int32_t n = stream.below(5); n > 0; --n) randomEvent(*core, stream, block);
    float* channel = out.data() + done;
    if (stream.below(4) == 0) {
      std::fill_n(channel, block, 0.125f);  // process leaves what it does not render
      core->process(nullptr, &channel, block);
    } else {
      core->processReplacing(nullptr, &channel, block);
    }
    done += block;
  }
  return out;
}

TEST(CoreRenderPaths, EveryPathFollowsProgramsParametersAndMidiLikeTheReference) {
  constexpr int64_t kFrames = 4 * 44100;
  for (uint32_t seed : {11u, 12u}) {
    const std::vector<float> reference = renderCore(RenderPath::reference, seed, kFrames);
    float peak = 0.0f;
    for (float sample : reference) peak = std::max(peak, std::fabs(sample));
    ASSERT_GT(peak, 0.01f) << "seed " << seed << " must be heard";
    for (RenderPath path : kFastRenderPaths) {
      if (!renderPathSupported(path)) continue;
      const std::vector<float> actual = renderCore(path, seed, kFrames);
      ASSERT_EQ(actual.size(), reference.size());
      for (std::size_t k = 0; k < reference.size(); ++k) {
        if (std::memcmp(&reference[k], &actual[k], sizeof(float)) != 0) {
          ADD_FAILURE() << "seed " << seed << ", path " << renderPathName(path) << ": frame " << k
                        << " differs: reference " << reference[k] << ", got " << actual[k];
          break;
        }
      }
    }
  }
}

}  // namespace
