// What the editor needs of the control that edits one envelope slot's curve: the curve's 385
// points, and the control itself, which the editor attaches, detaches and releases. The panel's
// curve editor control implements it.
#pragma once

class GuiControl;

class CurveSource {
 public:
  CurveSource() = default;
  CurveSource(const CurveSource&) = delete;
  CurveSource& operator=(const CurveSource&) = delete;
  virtual ~CurveSource() = default;

  // Copies the 385 points of the curve into `destination`.
  virtual void getCurve(float* destination) = 0;
  // The control showing the curve.
  virtual GuiControl* curveControl() = 0;
};
