// Panel words to pointer gestures, on the panel's own layout table.
#include "overtonic-host/app/PanelScript.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "editor/PanelLayout.h"

namespace hostapp {
namespace {

constexpr std::array<std::string_view, panel::kCurveKinds> kKindNames{"volume", "detune", "phase"};
constexpr std::array<std::string_view, panel::kGroups> kGroupNames{
    "lower", "upper", "odd", "even", "octave", "first", "second", "third", "fourth"};

GuiPoint centreOf(const GuiRect& rect) {
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// The values a curve of `kind` can show: from the plot's bottom row to its top row.
std::pair<float, float> valueRange(std::int32_t kind) {
  const panel::CurvePlot plot = panel::curvePlotOf(panel::kCurveEditorRect);
  const std::int32_t baseline = plot.baseline(panel::baselineModeOfSlot(panel::slotOf(kind, 0)));
  return {static_cast<float>(baseline - plot.bottom) / panel::kCurvePixelsPerUnit,
          static_cast<float>(baseline - plot.top) / panel::kCurvePixelsPerUnit};
}

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

std::string twoDecimals(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", static_cast<double>(value));
  return text;
}

hostlib::Result<float> parseValue(const std::string& text) {
  char* end = nullptr;
  const float value = std::strtof(text.c_str(), &end);
  if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(value)) {
    return hostlib::fail("'" + text + "' is not a number");
  }
  return value;
}

}  // namespace

hostlib::Result<std::int32_t> parseCurveKind(const std::string& text) {
  for (std::size_t k = 0; k < kKindNames.size(); ++k) {
    if (text == kKindNames[k]) return static_cast<std::int32_t>(k);
  }
  return hostlib::fail("'" + text + "' is no curve kind (volume, detune or phase)");
}

hostlib::Result<std::int32_t> parseTarget(const std::string& text) {
  for (std::size_t g = 0; g < kGroupNames.size(); ++g) {
    if (text == kGroupNames[g]) return panel::kGroupTarget + static_cast<std::int32_t>(g);
  }
  char* end = nullptr;
  const long number = std::strtol(text.c_str(), &end, 10);
  if (!text.empty() && end == text.c_str() + text.size() && number >= 1 &&
      number <= panel::kOscillators) {
    return static_cast<std::int32_t>(number - 1);
  }
  return hostlib::fail("'" + text +
                       "' is no oscillator (1-32) or group (lower, upper, odd, even, octave, "
                       "first, second, third, fourth)");
}

hostlib::Result<PanelPaint> parsePaint(const std::string& text) {
  const std::vector<std::string> parts = split(text, ':');
  if (parts.size() != 3) return hostlib::fail("'" + text + "' is not TARGET:KIND:V,V,...");
  auto target = parseTarget(parts[0]);
  if (!target.ok()) return hostlib::fail(target.error());
  auto kind = parseCurveKind(parts[1]);
  if (!kind.ok()) return hostlib::fail(kind.error());
  PanelPaint paint{target.value(), kind.value(), {}};
  const auto [lowest, highest] = valueRange(paint.kind);
  for (const std::string& word : split(parts[2], ',')) {
    auto value = parseValue(word);
    if (!value.ok()) return hostlib::fail(value.error());
    if (value.value() < lowest || value.value() > highest) {
      return hostlib::fail("a " + parts[1] + " curve value lies between " + twoDecimals(lowest) +
                           " and " + twoDecimals(highest) + ", not " + word);
    }
    paint.values.push_back(value.value());
  }
  if (paint.values.size() < 2) return hostlib::fail("'" + text + "' needs at least two values");
  return paint;
}

// One point per column from point 1 (point 0 is never painted) to one column past point 384, so
// that the last point is written too; each at the row of the curve's value there.
PointerGesture paintGesture(std::int32_t kind, const std::vector<float>& values) {
  const panel::CurvePlot plot = panel::curvePlotOf(panel::kCurveEditorRect);
  const std::int32_t baseline = plot.baseline(panel::baselineModeOfSlot(panel::slotOf(kind, 0)));
  PointerGesture gesture;
  if (values.empty()) return gesture;
  const std::int32_t lastPoint = kEnvelopePointCount - 1;
  for (std::int32_t i = 1; i <= lastPoint + 1; ++i) {
    const float position = static_cast<float>(std::min(i, lastPoint) - 1) /
                           static_cast<float>(lastPoint - 1) *
                           static_cast<float>(values.size() - 1);
    const auto below = std::min(static_cast<std::size_t>(position), values.size() - 1);
    const std::size_t above = std::min(below + 1, values.size() - 1);
    const float fraction = position - static_cast<float>(below);
    const float value = values[below] + (values[above] - values[below]) * fraction;
    const auto row = static_cast<std::int32_t>(
        std::lround(static_cast<float>(baseline) - value * panel::kCurvePixelsPerUnit));
    gesture.path.push_back({plot.left + i, std::clamp(row, plot.top, plot.bottom)});
  }
  return gesture;
}

std::optional<PointerGesture> clickOn(std::int32_t tag) {
  const panel::ControlSpec* spec = panel::findByTag(tag);
  if (!spec || spec->kind == panel::ControlKind::curveEditor) return std::nullopt;
  return PointerGesture{{centreOf(spec->rect)}};
}

// Bars take their value from the pointer's distance to the bottom edge (vertical bars, 100
// pixels for 1) or to the left edge (horizontal bars, 50 pixels for 1).
std::optional<PointerGesture> barGesture(std::int32_t tag, float value) {
  const panel::ControlSpec* spec = panel::findByTag(tag);
  if (!spec || !std::isfinite(value)) return std::nullopt;
  const GuiRect& r = spec->rect;
  const GuiPoint middle = centreOf(r);
  PointerGesture gesture;
  switch (spec->kind) {
    case panel::ControlKind::barSlider:
    case panel::ControlKind::bipolarBarSlider: {
      const auto top = r.bottom - static_cast<std::int32_t>(std::lround(value * 100.0f));
      const std::int32_t end = std::clamp(top, r.top, r.bottom);
      for (std::int32_t y = r.bottom; y >= end; y -= 4) gesture.path.push_back({middle.h, y});
      gesture.path.push_back({middle.h, end});
      return gesture;
    }
    case panel::ControlKind::horizontalBarSlider: {
      const auto right = r.left + static_cast<std::int32_t>(std::lround(value * 50.0f));
      const std::int32_t end = std::clamp(right, r.left, r.right);
      for (std::int32_t x = r.left; x <= end; x += 4) gesture.path.push_back({x, middle.v});
      gesture.path.push_back({end, middle.v});
      return gesture;
    }
    default: return std::nullopt;
  }
}

// Mirrors the panel's own state from the moment it opens: the volume kind on, nothing selected.
std::vector<PointerGesture> planPanel(const PanelRequest& request) {
  std::vector<PointerGesture> gestures;
  std::int32_t kind = panel::kVolumeCurve;
  std::optional<std::int32_t> target;
  auto press = [&](std::int32_t tag) {
    if (auto click = clickOn(tag)) gestures.push_back(*click);
  };
  auto select = [&](std::int32_t wanted) {
    if (target == wanted) return;
    press(panel::selectionTagOfTarget(wanted));
    target = wanted;
  };
  auto chooseKind = [&](std::int32_t wanted) {
    if (kind == wanted) return;
    press(panel::kKindButtonTags[static_cast<std::size_t>(wanted)]);
    kind = wanted;
  };
  for (const PanelPaint& paint : request.paints) {
    select(paint.target);
    chooseKind(paint.kind);
    gestures.push_back(paintGesture(paint.kind, paint.values));
  }
  if (request.target) select(*request.target);
  if (request.kind) chooseKind(*request.kind);
  if (request.layer) press(panel::kLayerButtonTags[static_cast<std::size_t>(*request.layer)]);
  return gestures;
}

}  // namespace hostapp
