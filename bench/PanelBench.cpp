// The editor panel's costs on the headless back end (the drawing is the same cairo work as on
// X11, only the copy to the window is left out): opening the panel, a full redraw, an idle with
// nothing to draw, one painted segment of a curve with the envelope command it sends (for an
// oscillator's own slot and for a group slot of sixteen oscillators), and a program selection
// while the panel is open (the panel reads every value and curve again at its next idle).
//
//   overtonic_panel_bench [Google Benchmark options]
// Without --benchmark_repetitions it runs every case 5 times and reports medians.
#include <benchmark/benchmark.h>

#include "MedianRuns.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "editor/GuiCurveEditor.h"
#include "editor/PanelLayout.h"
#include "editor/SynthEditor.h"
#include "gui/DrawContext.h"
#include "gui/GuiFrame.h"
#include "gui/platform/headless/HeadlessFrameWindow.h"
#include "synth/SynthPlugin.h"
#include "tests/support/FullPatch.h"

namespace {

constexpr double kMinSeconds = 0.2;
void* const kParent = reinterpret_cast<void*>(std::uintptr_t{0x600});

VstIntPtr quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? 2400 : 0;
}

// The instrument with its editor on the headless back end, panel open and painted once, the
// volume layer and one curve editor on show (the busiest the panel gets).
class OpenPanel {
 public:
  explicit OpenPanel(VstInt32 slotOnShow = 0) : plugin(std::make_unique<SynthPlugin>(&quietHost)) {
    editor = new SynthEditor(plugin.get(), backend);
    for (VstInt32 slot = 0; slot < kEnvelopeSlotCount; ++slot) {
      const auto curve =
          full_patch::shapedCurve(0.5f, static_cast<float>(slot % 7) / 7.0f, 0.1f, 2.0f);
      plugin->applyEnvelope(slot, curve.data());
    }
    editor->open(kParent);
    backend.lastWindow()->postPaint();
    editor->idle();
    press(panel::kLayerButtonTags[0]);
    const std::int32_t kind = panel::kindOfSlot(slotOnShow);
    if (kind != panel::kVolumeCurve) press(panel::kKindButtonTags[static_cast<std::size_t>(kind)]);
    press(slotOnShow < panel::kFirstGroupSlot
              ? panel::selectionTagOfTarget(slotOnShow % panel::kOscillators)
              : panel::selectionTagOfTarget(panel::kGroupTarget +
                                            (slotOnShow - panel::kFirstGroupSlot) / 3));
    editor->idle();
  }
  ~OpenPanel() { editor->close(); }
  OpenPanel(const OpenPanel&) = delete;
  OpenPanel& operator=(const OpenPanel&) = delete;

  // A click on a button, as the window system and the scripted pointer deliver it.
  void press(std::int32_t tag) {
    const GuiRect r = editor->getControl(tag)->getSize();
    const GuiPoint at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    HeadlessFrameWindow& window = *backend.lastWindow();
    window.pointer().setPointer(at, 1);
    window.pointer().scriptPointer({{at, 1}, {at, 1}, {at, 0}});
    window.postPress(at);
    editor->idle();
  }

  HeadlessFrameBackend backend;
  std::unique_ptr<SynthPlugin> plugin;
  SynthEditor* editor = nullptr;  // owned by the plug-in
};

void editorOpen(benchmark::State& state) {
  OpenPanel panel;
  panel.editor->close();
  for (auto _ : state) {
    panel.editor->open(kParent);
    state.PauseTiming();
    panel.editor->close();
    state.ResumeTiming();
  }
}

// The whole panel drawn at once (a paint of the window): as it opens, and at its busiest.
void fullRedraw(benchmark::State& state, bool busiest) {
  OpenPanel panel;
  if (!busiest) {
    panel.editor->close();
    panel.editor->open(kParent);
  }
  for (auto _ : state) panel.editor->draw(nullptr);
}

void idleNothingDirty(benchmark::State& state) {
  OpenPanel panel;
  panel.editor->idle();
  for (auto _ : state) panel.editor->idle();
}

// What one pass of the curve editor's drag does when the pointer moved a column: the segment is
// painted into the curve, the control draws itself on the tracking context, and its listener (the
// editor) sends the envelope command, which reads the curve back and loads it into the
// oscillators of the slot. The strokes go back and forth across the plot.
void paintedSegment(benchmark::State& state, VstInt32 slot) {
  OpenPanel panel(slot);
  GuiCurveEditor* curve = panel.editor->getCurveEditor(slot);
  GuiFrame* frame = panel.editor->getFrame();
  DrawContext context(frame, frame->getBackBuffer(), frame->getPlatformWindow(), frame->getSize());
  const GuiRect plot = curve->getPlotArea();
  std::int32_t x = plot.left + 1;
  std::int32_t step = 1;
  for (auto _ : state) {
    const std::int32_t next = x + step;
    curve->drawSegment(next, plot.top + (next * 7) % (plot.bottom - plot.top), x,
                       plot.top + (x * 7) % (plot.bottom - plot.top));
    curve->draw(&context);
    panel.editor->valueChanged(&context, curve);
    x = next;
    if (x >= plot.right - 1 || x <= plot.left + 1) step = -step;
  }
}

// The editor's part of a painted segment alone: the envelope command for the curve on show.
void envelopeCommandFromPanel(benchmark::State& state, VstInt32 slot) {
  OpenPanel panel(slot);
  GuiCurveEditor* curve = panel.editor->getCurveEditor(slot);
  for (auto _ : state) panel.editor->valueChanged(nullptr, curve);
}

void programSelection(benchmark::State& state) {
  OpenPanel panel;
  for (VstInt32 slot = 0; slot < kEnvelopeSlotCount; ++slot) {
    panel.plugin->selectProgram(1);
    const auto curve =
        full_patch::shapedCurve(0.3f, static_cast<float>(slot % 5) / 5.0f, 0.2f, 3.0f);
    panel.plugin->applyEnvelope(slot, curve.data());
  }
  VstInt32 next = 0;
  for (auto _ : state) {
    panel.plugin->selectProgram(next);
    panel.editor->idle();
    next ^= 1;
  }
}

void registerAll() {
  benchmark::RegisterBenchmark("panel/editor_open", editorOpen)
      ->MinTime(kMinSeconds)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("panel/full_redraw/as_opened",
                               [](benchmark::State& s) { fullRedraw(s, false); })
      ->MinTime(kMinSeconds)
      ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("panel/full_redraw/bars_and_curve_on_show",
                               [](benchmark::State& s) { fullRedraw(s, true); })
      ->MinTime(kMinSeconds)
      ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("panel/idle_nothing_dirty", idleNothingDirty)
      ->MinTime(kMinSeconds)
      ->Unit(benchmark::kMicrosecond);
  const std::pair<const char*, VstInt32> slots[] = {{"oscillator_slot", 0}, {"group_slot_16", 96}};
  for (const auto& [name, slotOfCase] : slots) {
    const VstInt32 slot = slotOfCase;  // clang before 16 cannot capture a structured binding
    benchmark::RegisterBenchmark((std::string("panel/painted_segment/") + name).c_str(),
                                 [slot](benchmark::State& s) { paintedSegment(s, slot); })
        ->MinTime(kMinSeconds)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark((std::string("panel/envelope_command/") + name).c_str(),
                                 [slot](benchmark::State& s) { envelopeCommandFromPanel(s, slot); })
        ->MinTime(kMinSeconds)
        ->Unit(benchmark::kMicrosecond);
  }
  benchmark::RegisterBenchmark("panel/program_selection_panel_open", programSelection)
      ->MinTime(kMinSeconds)
      ->Unit(benchmark::kMicrosecond);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<char*> args = withMedianRuns(argc, argv);
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
  registerAll();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
