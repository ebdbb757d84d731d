// The panel's lines and points (bar segments, curve columns and tips) are written straight into
// the back buffer's pixels; drawn through cairo's fills instead, every state of the panel must
// come out pixel for pixel the same: as opened, each layer of bars at values in and out of their
// range, curves of every kind for oscillators and groups (beyond the plot too), effect bars,
// routing, and after a stroke painted with the pointer.
#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "gui/DrawContext.h"
#include "gui/DrawSurface.h"
#include "tests/editor/PanelTestRig.h"

namespace {

using paneltest::PanelTest;

constexpr std::int32_t kPanelSide = 600;

// A wave of `cycles` periods with values from `low` to `high` (curve units; the plot shows
// about 1.6).
EnvelopeCurve waveOf(float low, float high, float cycles) {
  EnvelopeCurve curve{};
  for (std::size_t i = 0; i < curve.size(); ++i) {
    const float t = static_cast<float>(i) / static_cast<float>(curve.size() - 1);
    const float wave = 0.5f + 0.5f * std::sin(6.2831853f * cycles * t);
    curve[i] = low + (high - low) * wave;
  }
  return curve;
}

class PanelDrawing : public PanelTest {
 protected:
  // The whole panel drawn as the frame draws it on a paint, on a surface of its own.
  std::unique_ptr<DrawSurface> drawn(bool direct) {
    auto surface = std::make_unique<DrawSurface>(kPanelSide, kPanelSide);
    DrawContext context(&frame(), surface.get(), nullptr, frame().getSize());
    context.setDirectPixels(direct);
    frame().draw(&context);
    return surface;
  }

  // Both ways agree, and the state shows something of its own (the test is no comparison of one
  // picture with itself across states).
  void expectTheSamePixels(const std::string& state) {
    const auto direct = drawn(true);
    const auto general = drawn(false);
    std::int32_t differing = 0;
    std::string first;
    for (std::int32_t y = 0; y < kPanelSide; ++y) {
      for (std::int32_t x = 0; x < kPanelSide; ++x) {
        if (direct->pixel(x, y) == general->pixel(x, y)) continue;
        if (differing++ == 0) first = std::to_string(x) + "," + std::to_string(y);
      }
    }
    EXPECT_EQ(differing, 0) << state << ": pixels that differ, the first at " << first;
    const std::vector<std::uint8_t> picture = direct->encodePng();
    EXPECT_TRUE(std::find(pictures.begin(), pictures.end(), picture) == pictures.end())
        << state << " looks like an earlier state";
    pictures.push_back(picture);
  }

  void setBars(std::int32_t kind, const std::vector<float>& values) {
    for (std::size_t k = 0; k < values.size(); ++k) {
      plugin->setParameter(
          panel::kLayerFirstTags[static_cast<std::size_t>(kind)] + static_cast<std::int32_t>(k),
          values[k]);
    }
    editor->idle();
  }

  std::vector<std::vector<std::uint8_t>> pictures;
};

TEST_F(PanelDrawing, EveryStateLooksTheSameWhetherLinesAreWrittenDirectlyOrFilledByCairo) {
  // Curves in every kind of slot, some reaching far beyond the plot.
  const std::pair<std::int32_t, EnvelopeCurve> curves[] = {
      {0, waveOf(0.0f, 1.0f, 2.0f)},
      {1, waveOf(-0.5f, 4.0f, 5.0f)},
      {32, waveOf(-0.7f, 0.7f, 3.0f)},
      {33, waveOf(-9.0f, 9.0f, 1.5f)},
      {64, waveOf(0.1f, 0.6f, 7.0f)},
      {panel::kFirstGroupSlot, waveOf(0.2f, 1.2f, 1.0f)},
      {panel::kFirstGroupSlot + 1, waveOf(-1.0f, 0.3f, 4.0f)},
      {panel::kFirstGroupSlot + 26, waveOf(-0.4f, 0.9f, 9.0f)},
  };
  for (const auto& [slot, curve] : curves) plugin->applyEnvelope(slot, curve.data());
  openPanel();
  expectTheSamePixels("as opened");

  setBars(panel::kVolumeCurve, {0.0f, 1.0f, 0.5f, 0.33f, 0.999f, 0.02f, 1.7f, -0.4f, 0.75f});
  click(panel::kLayerButtonTags[panel::kVolumeCurve]);
  expectTheSamePixels("volume bars");
  setBars(panel::kDetuneCurve, {0.0f, 1.0f, 0.5f, 0.49f, 0.51f, 0.25f, 0.75f, 2.0f, -1.0f});
  click(panel::kLayerButtonTags[panel::kDetuneCurve]);
  expectTheSamePixels("detune bars (centred)");
  setBars(panel::kPhaseCurve, {0.1f, 0.9f, 0.62f, 0.0f, 1.0f});
  click(panel::kLayerButtonTags[panel::kPhaseCurve]);
  expectTheSamePixels("phase bars");

  click(panel::selectionTagOfTarget(0));
  expectTheSamePixels("volume curve of oscillator 1");
  click(panel::selectionTagOfTarget(1));
  expectTheSamePixels("volume curve of oscillator 2, above the plot");
  click(panel::kKindButtonTags[panel::kDetuneCurve]);
  expectTheSamePixels("detune curve of oscillator 2, beyond both edges");
  click(panel::selectionTagOfTarget(0));
  expectTheSamePixels("detune curve of oscillator 1");
  click(panel::kKindButtonTags[panel::kPhaseCurve]);
  expectTheSamePixels("phase curve of oscillator 1");
  click(panel::selectionTagOfTarget(panel::kGroupTarget));
  expectTheSamePixels("phase curve of the first group");
  click(panel::kKindButtonTags[panel::kVolumeCurve]);
  expectTheSamePixels("volume curve of the first group");
  click(panel::selectionTagOfTarget(panel::kGroupTarget + 8));
  click(panel::kKindButtonTags[panel::kPhaseCurve]);
  expectTheSamePixels("phase curve of the last group");

  float setting = 0.0f;
  for (const parameters::IndexRange effect :
       {parameters::kDelaySettings, parameters::kFlangerSettings, parameters::kPhaserSettings,
        parameters::kReverbSettings}) {
    for (VstInt32 i = 0; i < effect.count; ++i)
      plugin->setParameter(effect.at(i), setting += 0.07f);
  }
  for (std::int32_t k = 0; k < panel::kOscillators; ++k) {
    plugin->setParameter(parameters::kRoutingSwitches.first + k, static_cast<float>(k % 5) / 4.0f);
  }
  editor->idle();
  expectTheSamePixels("effect bars and routing");

  GuiCurveEditor* shown = editor->getCurveEditor(panel::kFirstGroupSlot + 26);
  ASSERT_TRUE(onShow(shown));
  const GuiRect plot = shown->getPlotArea();
  paintLine({plot.left + 20, plot.top + 10}, {plot.left + 200, plot.bottom - 5});
  expectTheSamePixels("after a painted stroke");
}

}  // namespace
