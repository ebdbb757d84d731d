// The engine's cost per second of audio: the default program and the full patch on every render
// path, the oscillator bank and each effect alone, host block sizes, program selection, one
// envelope command, and the memory of one instance. Audio cases report the realtime factor
// ("rtf": seconds of audio per second of CPU, one thread) and "ns/frame".
//
//   overtonic_bench [--iterations=N] [Google Benchmark options]
// Without --benchmark_repetitions it runs every case 5 times and reports medians. --iterations=N
// runs every case once for exactly N iterations, so that an instruction count (valgrind
// --tool=callgrind) repeats exactly from run to run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "MedianRuns.h"
#include "SummaryReporter.h"
#include "engine/Delay.h"
#include "engine/Flanger.h"
#include "engine/Phaser.h"
#include "engine/RenderKernels.h"
#include "engine/RenderPath.h"
#include "engine/Reverb.h"
#include "engine/SynthEngine.h"
#include "synth/SynthPlugin.h"
#include "tests/support/AllocationCounter.h"
#include "tests/support/FullPatch.h"

namespace {

constexpr double kRate = 44100.0;
constexpr int32_t kHostBlock = 512;
constexpr double kMinSeconds = 0.2;
// Iterations per case when fixed on the command line (0: timed for kMinSeconds).
int64_t fixedIterations = 0;

// Registers a case that runs for kMinSeconds, or for the fixed number of iterations.
template <class Function>
void add(const std::string& name, Function function) {
  benchmark::internal::Benchmark* registered =
      benchmark::RegisterBenchmark(name.c_str(), std::move(function));
  if (fixedIterations > 0) {
    registered->Iterations(fixedIterations);
  } else {
    registered->MinTime(kMinSeconds);
  }
}

VstIntPtr quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? 2400 : 0;
}

// CPU time of this thread, in seconds.
double threadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Times the timed loop in thread CPU time and reports, for `frames` frames per iteration, the
// realtime factor and the nanoseconds per frame as plain numbers.
class AudioCounters {
 public:
  explicit AudioCounters(int64_t framesPerIteration)
      : frames(framesPerIteration), started(threadSeconds()) {}

  void report(benchmark::State& state) const {
    const double seconds = threadSeconds() - started;
    const double total = static_cast<double>(frames) * static_cast<double>(state.iterations());
    if (seconds <= 0.0 || total <= 0.0) return;
    state.counters["rtf"] = total / kRate / seconds;
    state.counters["ns/frame"] = seconds * 1e9 / total;
  }

 private:
  int64_t frames;
  double started;
};

std::vector<RenderPath> supportedPaths() {
  std::vector<RenderPath> paths;
  for (RenderPath path : kRenderPaths) {
    if (renderPathSupported(path)) paths.push_back(path);
  }
  return paths;
}

// ---- whole engine --------------------------------------------------------------------------

void fullPatch(benchmark::State& state, RenderPath path, int32_t block, bool effects) {
  auto engine = std::make_unique<SynthEngine>();
  engine->setRenderPath(path);
  full_patch::apply(*engine);
  if (!effects) {
    for (auto off : {&SynthEngine::setDelaySwitch, &SynthEngine::setFlangerSwitch,
                     &SynthEngine::setPhaserSwitch, &SynthEngine::setReverbSwitch}) {
      ((*engine).*off)(0.0f);
    }
  }
  full_patch::Player player(*engine);
  std::vector<float> out(static_cast<std::size_t>(block), 0.0f);
  // Blocks of one frame are timed in bundles, so the timer's own cost stays out of the figure.
  const int32_t blocksPerIteration = std::max(1, kHostBlock / block);
  const AudioCounters counters(static_cast<int64_t>(block) * blocksPerIteration);
  for (auto _ : state) {
    for (int32_t b = 0; b < blocksPerIteration; ++b) player.render(out.data(), block);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  counters.report(state);
}

// Program 0 as constructed (its curves are all zero, so it is silent) with a note held.
void defaultProgram(benchmark::State& state, RenderPath path) {
  auto plugin = std::make_unique<SynthPlugin>(&quietHost);
  const_cast<SynthEngine&>(plugin->getEngine()).setRenderPath(path);
  plugin->noteStart(45, 100, 0);
  std::vector<float> out(kHostBlock, 0.0f);
  float* channel = out.data();
  const AudioCounters counters(kHostBlock);
  for (auto _ : state) {
    plugin->processReplacing(nullptr, &channel, kHostBlock);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  counters.report(state);
}

// ---- effects alone -------------------------------------------------------------------------

std::vector<float> busSignal() {
  std::vector<float> signal(kHostBlock);
  for (std::size_t k = 0; k < signal.size(); ++k) {
    const double t = static_cast<double>(k) / kRate;
    signal[k] = static_cast<float>(0.3 * std::sin(6.283185307179586 * 110.0 * t) +
                                   0.2 * std::sin(6.283185307179586 * 330.0 * t) +
                                   0.1 * std::sin(6.283185307179586 * 1210.0 * t));
  }
  return signal;
}

// One effect on its own, in the form the path's kernels choose (the delay has one form).
template <class Effect>
void effectAlone(benchmark::State& state, RenderPath path, float flangerWaveform = 0.0f) {
  auto effect = std::make_unique<Effect>();
  if constexpr (std::is_same_v<Effect, Flanger>) effect->setWaveform(flangerWaveform);
  const RenderKernels& kernels = renderKernels(path);
  const std::vector<float> in = busSignal();
  std::vector<float> out(in.size(), 0.0f);
  const AudioCounters counters(kHostBlock);
  for (auto _ : state) {
    kernels.effect(*effect, in.data(), out.data(), kHostBlock, kernels);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  counters.report(state);
}

void registerEffects(RenderPath path) {
  const std::string suffix = std::string("/") + renderPathName(path);
  add("effect/reverb" + suffix, [path](benchmark::State& s) { effectAlone<Reverb>(s, path); });
  add("effect/phaser" + suffix, [path](benchmark::State& s) { effectAlone<Phaser>(s, path); });
  for (float waveform : {0.0f, 1.0f}) {
    const std::string name = waveform < 0.5f ? "effect/flanger_sine" : "effect/flanger_triangle";
    add(name + suffix,
        [path, waveform](benchmark::State& s) { effectAlone<Flanger>(s, path, waveform); });
  }
}

// ---- set-up costs --------------------------------------------------------------------------

// Selecting a program loads all 123 curves: 402 layer loads. Two programs with curves alternate.
void programSelection(benchmark::State& state) {
  auto plugin = std::make_unique<SynthPlugin>(&quietHost);
  for (VstInt32 program : {0, 1}) {
    plugin->selectProgram(program);
    for (VstInt32 slot = 0; slot < 123; ++slot) {
      const auto curve =
          full_patch::shapedCurve(0.5f, static_cast<float>(slot % 7) / 7.0f, 0.1f, 2.0f);
      plugin->applyEnvelope(slot, curve.data());
    }
  }
  VstInt32 next = 0;
  for (auto _ : state) {
    plugin->selectProgram(next);
    next ^= 1;
    benchmark::ClobberMemory();
  }
}

// One envelope command as the core carries it out: a single layer (slot 5) or a group slot of
// sixteen oscillators (slot 96).
void envelopeCommand(benchmark::State& state, VstInt32 slot) {
  auto plugin = std::make_unique<SynthPlugin>(&quietHost);
  const auto curve = full_patch::shapedCurve(0.2f, 0.9f, 0.1f, 3.0f);
  for (auto _ : state) {
    plugin->applyEnvelope(slot, curve.data());
    benchmark::ClobberMemory();
  }
}

// Memory of one instance: the object sizes and what construction takes from the heap.
void instanceMemory(benchmark::State& state) {
  allocation_counter::start();
  auto plugin = std::make_unique<SynthPlugin>(&quietHost);
  const allocation_counter::Tally pluginHeap = allocation_counter::stop();
  allocation_counter::start();
  auto engine = std::make_unique<SynthEngine>();
  const allocation_counter::Tally engineHeap = allocation_counter::stop();
  for (auto _ : state) {
    auto instance = std::make_unique<SynthPlugin>(&quietHost);
    benchmark::DoNotOptimize(instance.get());
  }
  state.counters["plugin_sizeof"] = static_cast<double>(sizeof(SynthPlugin));
  state.counters["plugin_heap_bytes"] = static_cast<double>(pluginHeap.bytes);
  state.counters["plugin_heap_blocks"] = static_cast<double>(pluginHeap.blocks);
  state.counters["engine_sizeof"] = static_cast<double>(sizeof(SynthEngine));
  state.counters["engine_heap_bytes"] = static_cast<double>(engineHeap.bytes);
  state.counters["engine_heap_blocks"] = static_cast<double>(engineHeap.blocks);
}

void registerAll() {
  for (RenderPath path : supportedPaths()) {
    const std::string name = renderPathName(path);
    add("full_patch/" + name,
        [path](benchmark::State& s) { fullPatch(s, path, kHostBlock, true); });
    add("default_program/" + name, [path](benchmark::State& s) { defaultProgram(s, path); });
    add("oscillator_bank/" + name,
        [path](benchmark::State& s) { fullPatch(s, path, kHostBlock, false); });
  }
  add("effect/delay", [](benchmark::State& s) { effectAlone<Delay>(s, RenderPath::reference); });
  for (RenderPath path : supportedPaths()) registerEffects(path);
  for (RenderPath path : {RenderPath::reference, fastestRenderPath()}) {
    for (int32_t block : {1, 32, 64, 512, 2000, 4096}) {
      const std::string name =
          std::string("block_size/") + renderPathName(path) + "/" + std::to_string(block);
      add(name, [path, block](benchmark::State& s) { fullPatch(s, path, block, true); });
    }
  }
  add("program_selection", programSelection);
  add("envelope_command/single_layer", [](benchmark::State& s) { envelopeCommand(s, 5); });
  add("envelope_command/group_of_16", [](benchmark::State& s) { envelopeCommand(s, 96); });
  benchmark::RegisterBenchmark("instance_memory", instanceMemory)->Iterations(20);
}

}  // namespace

int main(int argc, char** argv) {
  // --iterations=N (ours, not the library's) runs every case exactly N times, once.
  std::vector<char*> own{argv[0]};
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--iterations=", 0) == 0) {
      fixedIterations = std::max<int64_t>(1, std::atoll(arg.c_str() + 13));
    } else {
      own.push_back(argv[i]);
    }
  }
  std::vector<char*> args =
      withMedianRuns(static_cast<int>(own.size()), own.data(), fixedIterations > 0 ? 1 : 5);
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
  std::printf("render paths on this processor:");
  for (RenderPath path : supportedPaths()) std::printf(" %s", renderPathName(path));
  std::printf(" (fastest: %s)\n", renderPathName(fastestRenderPath()));
  registerAll();
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
