// Bringing the instrument's editor panel into a state with the pointer, as a user would: which
// bar layer is shown, which oscillator or group and which curve kind are selected, and curves
// painted freehand. What to do is parsed from words ("odd", "detune", "0,0.8,0.3") and planned
// as pointer gestures in window pixels on the panel's layout; PanelPointer plays them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "gui/GuiTypes.h"
#include "overtonic-host/lib/Result.h"

namespace hostapp {

// One press of the left button: at the first point, dragged through the others, released at the
// last. A single point is a click.
struct PointerGesture {
  std::vector<GuiPoint> path;
};

// A curve painted on the curve editor of (target, kind): `values` in curve units (what the
// instrument stores), spread evenly from the curve's start to its end and joined by straight
// lines. Volume curves rise from the bottom of the plot (0 to about 0.95); detune and phase
// curves lie around its middle (about -0.47 to 0.47).
struct PanelPaint {
  std::int32_t target = 0;
  std::int32_t kind = 0;
  std::vector<float> values;
};

// What the panel should show at the end. The panel opens with the volume kind on, nothing
// selected and no layer shown.
struct PanelRequest {
  std::vector<PanelPaint> paints;      // in the order given
  std::optional<std::int32_t> target;  // selected at the end (default: the last painted)
  std::optional<std::int32_t> kind;    // curve kind at the end (default: the last painted)
  std::optional<std::int32_t> layer;   // bar layer shown
  bool empty() const { return paints.empty() && !target && !kind && !layer; }
};

// "volume", "detune" or "phase".
hostlib::Result<std::int32_t> parseCurveKind(const std::string& text);
// An oscillator "1" to "32", or a group: "lower", "upper", "odd", "even", "octave", "first",
// "second", "third", "fourth" (the quarters).
hostlib::Result<std::int32_t> parseTarget(const std::string& text);
// "TARGET:KIND:V,V,..." with at least two values, each finite and within the kind's range.
hostlib::Result<PanelPaint> parsePaint(const std::string& text);

// The gestures that bring a freshly opened panel into the request's state: a click on each
// button whose state must change, and a drag through every column of each painted curve.
std::vector<PointerGesture> planPanel(const PanelRequest& request);

// The drag that paints `values` on the curve editor of a kind (see PanelPaint).
PointerGesture paintGesture(std::int32_t kind, const std::vector<float>& values);
// A click in the middle of the control with `tag`; nullopt for a tag with no control.
std::optional<PointerGesture> clickOn(std::int32_t tag);
// A drag on the bar slider with `tag` from its bottom (or left) edge to the place of `value`
// (0 to 1); nullopt for a tag that is no bar.
std::optional<PointerGesture> barGesture(std::int32_t tag, float value);

}  // namespace hostapp
