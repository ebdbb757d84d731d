// What a control tells its owner: the user changed its value. The editor implements it.
#pragma once

class DrawContext;
class GuiControl;

class ControlListener {
 public:
  ControlListener() = default;
  ControlListener(const ControlListener&) = delete;
  ControlListener& operator=(const ControlListener&) = delete;
  virtual ~ControlListener() = default;

  virtual void valueChanged(DrawContext* context, GuiControl* control) = 0;
};
