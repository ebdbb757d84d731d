// The control gallery: the artwork (painted with the toolkit's own drawing context), the place
// of every control, and what the gallery does when one changes.
#include "overtonic-host/app/Gallery.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <functional>

#include "gui/DrawContext.h"
#include "gui/DrawSurface.h"
#include "gui/GuiAnimation.h"
#include "gui/GuiBitmap.h"
#include "gui/GuiChoiceMenu.h"
#include "gui/GuiDigitDisplay.h"
#include "gui/GuiFrame.h"
#include "gui/GuiFrameStrip.h"
#include "gui/GuiHorizontalSlider.h"
#include "gui/GuiHorizontalStepSwitch.h"
#include "gui/GuiKnob.h"
#include "gui/GuiLevelMeter.h"
#include "gui/GuiMomentaryButton.h"
#include "gui/GuiOnOffButton.h"
#include "gui/GuiPopupImage.h"
#include "gui/GuiTextEdit.h"
#include "gui/GuiThreeWaySwitch.h"
#include "gui/GuiTwoFrameButton.h"
#include "gui/GuiValueDisplay.h"
#include "gui/GuiVerticalSlider.h"
#include "gui/GuiVerticalStepSwitch.h"

namespace hostapp {
namespace {

constexpr GuiColor kPanel{38, 42, 50, 0};
constexpr GuiColor kWell{24, 27, 33, 0};
constexpr GuiColor kRim{110, 116, 128, 0};
constexpr GuiColor kInk{220, 224, 232, 0};
constexpr GuiColor kDim{120, 126, 138, 0};
constexpr GuiColor kAccent{255, 160, 40, 0};
constexpr GuiColor kGreen{60, 190, 90, 0};
// Width of the class name under each control.
constexpr std::int32_t kCaptionWidth = 110;

using Painter = std::function<void(DrawContext&, std::int32_t frame, const GuiRect& box)>;

// A bitmap of `frames` frames of width x frameHeight stacked vertically, each painted by
// `paint` with its box (right and bottom excluded).
GuiBitmap* strip(std::int32_t width, std::int32_t frameHeight, std::int32_t frames,
                 const Painter& paint) {
  auto surface = std::make_unique<DrawSurface>(width, frameHeight * frames);
  {
    DrawContext ctx(nullptr, surface.get(), nullptr);
    for (std::int32_t i = 0; i < frames; ++i) {
      paint(ctx, i, {0, i * frameHeight, width, (i + 1) * frameHeight});
    }
  }
  return new GuiBitmap(std::move(surface));
}

void fill(DrawContext& ctx, const GuiRect& box, GuiColor colour) {
  ctx.setFillColor(colour);
  ctx.fillRect({box.left - 1, box.top - 1, box.right, box.bottom});
}

void label(DrawContext& ctx, const GuiRect& box, const char* text, GuiColor colour,
           FontId font = FontId::small) {
  ctx.setFont(font);
  ctx.setFontColor(colour);
  ctx.drawString(text, box);
}

// A button face: a filled box with a one-pixel rim and a caption.
void face(DrawContext& ctx, const GuiRect& box, GuiColor colour, const char* text, GuiColor ink) {
  fill(ctx, box, colour);
  ctx.setFrameColor(kRim);
  ctx.drawRect({box.left, box.top, box.right - 1, box.bottom - 1});
  label(ctx, box, text, ink);
}

// The caption text of a display: its user data is the text.
void captionText(float, char* text, void* caption) {
  std::snprintf(text, GuiValueDisplay::kMaxText + 1, "%s",
                static_cast<std::string*>(caption)->c_str());
}

void percentText(float value, char* text) {
  std::snprintf(text, GuiValueDisplay::kMaxText + 1, "%3.0f %%",
                static_cast<double>(value * 100.0f));
}

}  // namespace

Gallery::Gallery(GuiFrame& frame) : frame_(frame) {
  GuiBitmap* panel = keep(
      strip(kSize.width(), kSize.height(), 1, [](DrawContext& c, std::int32_t, const GuiRect& box) {
        fill(c, box, kPanel);
        label(c, {0, 8, box.right, 30}, "Overtonic GUI toolkit: the standard controls", kInk,
              FontId::big);
      }));
  frame_.setBackground(panel);
  buildKnobsAndButtons();
  buildSwitchesAndStrips();
  buildSlidersAndDisplays();
  status_ = "Click, drag, wheel, type: every change shows here.";
  statusLine = new GuiValueDisplay({0, 444, kSize.right, kSize.bottom}, nullptr);
  statusLine->setValueFormatterEx(captionText, &status_);
  statusLine->setBackColor(kWell);
  statusLine->setFontColor(kInk);
  statusLine->setTextAlign(TextAlign::left);
  frame_.addView(statusLine);
}

Gallery::~Gallery() {
  for (GuiBitmap* bitmap : bitmaps) bitmap->release();
}

GuiBitmap* Gallery::keep(GuiBitmap* bitmap) {
  bitmaps.push_back(bitmap);
  return bitmap;
}

void Gallery::place(GuiControl* control, const char* name, const GuiRect& area) {
  control->setListener(this);
  frame_.addView(control);
  shown_.emplace_back(name);
  named.emplace_back(control, name);
  captions.push_back(std::make_unique<std::string>(name));
  const std::int32_t centre = (area.left + area.right) / 2;
  const GuiRect under{centre - kCaptionWidth / 2, area.bottom + 4, centre + kCaptionWidth / 2,
                      area.bottom + 16};
  auto* caption = new GuiValueDisplay(under, nullptr);
  caption->setValueFormatterEx(captionText, captions.back().get());
  caption->setTransparent(true);
  caption->setFont(FontId::verySmall);
  caption->setFontColor(kDim);
  caption->setMouseEnabled(false);
  frame_.addView(caption);
}

void Gallery::buildKnobsAndButtons() {
  GuiBitmap* dial = keep(strip(48, 48, 1, [](DrawContext& c, std::int32_t, const GuiRect& box) {
    fill(c, box, kPanel);
    c.setFillColor(kWell);
    c.fillEllipse({2, 2, 45, 45});
    c.setFrameColor(kRim);
    c.drawEllipse({2, 2, 45, 45});
  }));
  GuiBitmap* dot = keep(strip(10, 10, 1, [](DrawContext& c, std::int32_t, const GuiRect& box) {
    fill(c, box, kColorWhite);  // white is knocked out around the dot
    c.setFillColor(kAccent);
    c.fillEllipse({-1, -1, 9, 9});
  }));
  const GuiRect knobArea{36, 50, 84, 98};
  knob = new GuiKnob(knobArea, nullptr, 1, dial, nullptr, {0, 0});
  knob->setValue(0.3f);
  place(knob, "GuiKnob", knobArea);
  const GuiRect handleKnobArea{141, 50, 189, 98};
  auto* handleKnob = new GuiKnob(handleKnobArea, nullptr, 2, dial, dot, {0, 0});
  handleKnob->setValue(0.7f);
  place(handleKnob, "GuiKnob (handle)", handleKnobArea);

  GuiBitmap* onOff = keep(strip(40, 40, 2, [](DrawContext& c, std::int32_t i, const GuiRect& box) {
    face(c, box, i == 0 ? GuiColor{70, 30, 30, 0} : kGreen, i == 0 ? "OFF" : "ON", kInk);
  }));
  const GuiRect onOffArea{250, 54, 290, 94};
  place(new GuiOnOffButton(onOffArea, nullptr, 3, onOff), "GuiOnOffButton", onOffArea);

  GuiBitmap* push = keep(strip(70, 24, 2, [](DrawContext& c, std::int32_t i, const GuiRect& box) {
    face(c, box, i == 0 ? GuiColor{80, 86, 100, 0} : kAccent, "PUSH", i == 0 ? kInk : kWell);
  }));
  const GuiRect pushArea{340, 62, 410, 86};
  place(new GuiMomentaryButton(pushArea, nullptr, 4, 24, push, {0, 0}), "GuiMomentaryButton",
        pushArea);
  GuiBitmap* mute = keep(strip(70, 24, 2, [](DrawContext& c, std::int32_t i, const GuiRect& box) {
    face(c, box, i == 0 ? GuiColor{80, 86, 100, 0} : GuiColor{200, 60, 60, 0}, "MUTE", kInk);
  }));
  const GuiRect muteArea{445, 62, 515, 86};
  place(new GuiTwoFrameButton(muteArea, nullptr, 5, 24, mute, {0, 0}), "GuiTwoFrameButton",
        muteArea);

  const GuiRect editArea{535, 65, 635, 83};
  auto* edit = new GuiTextEdit(editArea, nullptr, 6, "Edit me", nullptr, kStyleSunkenFrame);
  edit->setBackColor(kWell);
  edit->setFrameColor(kRim);
  edit->setFontColor(kInk);
  place(edit, "GuiTextEdit", editArea);
}

void Gallery::buildSwitchesAndStrips() {
  GuiBitmap* slots = keep(strip(40, 60, 3, [](DrawContext& c, std::int32_t i, const GuiRect& box) {
    fill(c, box, kWell);
    for (std::int32_t k = 0; k < 3; ++k) {
      const GuiRect cell{4, box.top + 3 + 19 * k, 36, box.top + 19 + 19 * k};
      face(c, cell, k == i ? kAccent : GuiColor{60, 64, 74, 0}, std::array{"A", "B", "C"}[k],
           k == i ? kWell : kDim);
    }
  }));
  const GuiRect verticalArea{40, 150, 80, 210};
  place(new GuiVerticalStepSwitch(verticalArea, nullptr, 7, 3, 60, 3, slots, {0, 0}),
        "GuiVerticalStepSwitch", verticalArea);

  GuiBitmap* cells = keep(strip(96, 24, 4, [](DrawContext& c, std::int32_t i, const GuiRect& box) {
    for (std::int32_t k = 0; k < 4; ++k) {
      const GuiRect cell{24 * k, box.top, 24 * k + 24, box.bottom};
      const std::array<const char*, 4> names{"1", "2", "3", "4"};
      face(c, cell, k == i ? kAccent : GuiColor{60, 64, 74, 0}, names[static_cast<std::size_t>(k)],
           k == i ? kWell : kDim);
    }
  }));
  const GuiRect horizontalArea{117, 168, 213, 192};
  place(new GuiHorizontalStepSwitch(horizontalArea, nullptr, 8, 4, 24, 4, cells, {0, 0}),
        "GuiHorizontalStepSwitch", horizontalArea);

  GuiBitmap* rocker = keep(strip(32, 32, 3, [](DrawContext& c, std::int32_t i, const GuiRect& box) {
    const std::array<const char*, 3> names{"-1", "0", "+1"};
    face(c, box, i == 1 ? GuiColor{60, 64, 74, 0} : kAccent, names[static_cast<std::size_t>(i)],
         i == 1 ? kInk : kWell);
  }));
  const GuiRect rockerArea{254, 164, 286, 196};
  place(new GuiThreeWaySwitch(rockerArea, nullptr, 9, 32, rocker, {0, 0}), "GuiThreeWaySwitch",
        rockerArea);

  GuiBitmap* bars = keep(strip(40, 40, 8, [](DrawContext& c, std::int32_t i, const GuiRect& box) {
    fill(c, box, kWell);
    fill(c, {8, box.bottom - 4 - 4 * (i + 1), 32, box.bottom - 4}, kGreen);
  }));
  const GuiRect stripArea{355, 160, 395, 200};
  auto* frames = new GuiFrameStrip(stripArea, nullptr, 10, 8, 40, bars, {0, 0});
  frames->setValue(0.6f);
  place(frames, "GuiFrameStrip", stripArea);

  GuiBitmap* spinner =
      keep(strip(40, 40, 8, [](DrawContext& c, std::int32_t i, const GuiRect& box) {
        fill(c, box, kWell);
        const double angle = i * 3.14159265358979 / 4.0;
        const auto x = static_cast<std::int32_t>(20 + 12 * std::cos(angle));
        const auto y = static_cast<std::int32_t>(box.top + 20 - 12 * std::sin(angle));
        c.setFillColor(kAccent);
        c.fillEllipse({x - 5, y - 5, x + 4, y + 4});
      }));
  const GuiRect spinnerArea{460, 160, 500, 200};
  animation = new GuiAnimation(spinnerArea, nullptr, 11, 8, 40, spinner, {0, 0});
  animation->start();
  place(animation, "GuiAnimation (click)", spinnerArea);

  const GuiRect menuArea{550, 170, 690, 190};
  auto* menu = new GuiChoiceMenu(menuArea, nullptr, 12, nullptr, nullptr,
                                 kStyleCheckCurrent | kStyleSunkenFrame);
  for (const char* entry : {"-TWaveform", "Sine", "Triangle", "Square", "-", "-GNoise", "Saw"}) {
    menu->addEntry(entry);
  }
  menu->setCurrent(1);
  menu->setBackColor(kWell);
  menu->setFrameColor(kRim);
  menu->setFontColor(kInk);
  place(menu, "GuiChoiceMenu", menuArea);
}

void Gallery::buildSlidersAndDisplays() {
  GuiBitmap* track = keep(strip(24, 120, 1, [](DrawContext& c, std::int32_t, const GuiRect& box) {
    fill(c, box, kPanel);
    fill(c, {10, 4, 14, box.bottom - 4}, kWell);
  }));
  GuiBitmap* cap = keep(strip(24, 12, 1, [](DrawContext& c, std::int32_t, const GuiRect& box) {
    face(c, box, GuiColor{170, 176, 188, 0}, "", kInk);
    fill(c, {2, 5, 22, 7}, kAccent);
  }));
  const GuiRect verticalArea{48, 260, 72, 380};
  auto* vertical = new GuiVerticalSlider(verticalArea, nullptr, 13, 0, 108, cap, track, {0, 0},
                                         kStyleInvertedDrag);
  vertical->setValue(0.25f);
  place(vertical, "GuiVerticalSlider", verticalArea);

  GuiBitmap* rail = keep(strip(140, 24, 1, [](DrawContext& c, std::int32_t, const GuiRect& box) {
    fill(c, box, kPanel);
    fill(c, {4, 10, box.right - 4, 14}, kWell);
  }));
  GuiBitmap* knobCap = keep(strip(12, 24, 1, [](DrawContext& c, std::int32_t, const GuiRect& box) {
    face(c, box, GuiColor{170, 176, 188, 0}, "", kInk);
    fill(c, {5, 2, 7, 22}, kAccent);
  }));
  const GuiRect horizontalArea{130, 308, 270, 332};
  auto* horizontal = new GuiHorizontalSlider(horizontalArea, nullptr, 14, 0, 128, knobCap, rail,
                                             {0, 0}, kStyleHandleFollowsValue);
  horizontal->setValue(0.6f);
  place(horizontal, "GuiHorizontalSlider", horizontalArea);

  GuiBitmap* digits =
      keep(strip(18, 26, 10, [](DrawContext& c, std::int32_t i, const GuiRect& box) {
        fill(c, box, GuiColor{8, 20, 10, 0});
        const char text[2] = {static_cast<char>('0' + i), '\0'};
        label(c, box, text, GuiColor{90, 255, 120, 0}, FontId::veryBig);
      }));
  const std::array<std::int32_t, 4> xs{0, 18, 36, 54};
  const std::array<std::int32_t, 4> ys{0, 0, 0, 0};
  const GuiRect digitArea{304, 307, 376, 333};
  place(new GuiDigitDisplay(digitArea, nullptr, 15, 2024.0f, 4, xs, ys, 18, 26, digits),
        "GuiDigitDisplay", digitArea);

  GuiBitmap* picture =
      keep(strip(280, 180, 1, [](DrawContext& c, std::int32_t, const GuiRect& box) {
        fill(c, box, kWell);
        c.setFrameColor(kAccent);
        c.drawRect({0, 0, box.right - 1, box.bottom - 1});
        for (std::int32_t x = 20; x < box.right; x += 20) {
          c.setFrameColor(GuiColor{50, 56, 66, 0});
          c.moveTo({x, 1});
          c.lineTo({x, box.bottom - 1});
        }
        label(c, {0, 60, box.right, 90}, "GuiPopupImage", kInk, FontId::veryBig);
        label(c, {0, 100, box.right, 120}, "click anywhere on it to close", kDim);
      }));
  GuiBitmap* thumb = keep(strip(40, 30, 1, [](DrawContext& c, std::int32_t, const GuiRect& box) {
    face(c, box, GuiColor{60, 64, 74, 0}, "info", kInk);
  }));
  const GuiRect popupArea{430, 305, 470, 335};
  // Its own spot shows nothing while closed: a button picture lies beneath it.
  auto* under = new GuiFrameStrip(popupArea, nullptr, 0, 1, 30, thumb, {0, 0});
  under->setMouseEnabled(false);
  frame_.addView(under);
  place(new GuiPopupImage(popupArea, nullptr, 16, picture, {240, 130, 520, 310}, {0, 0}),
        "GuiPopupImage", popupArea);

  GuiBitmap* lit = keep(strip(16, 120, 1, [](DrawContext& c, std::int32_t, const GuiRect& box) {
    fill(c, box, kWell);
    for (std::int32_t s = 0; s < 12; ++s) {
      const GuiColor colour = s >= 10  ? GuiColor{230, 60, 50, 0}
                              : s >= 8 ? GuiColor{240, 200, 40, 0}
                                       : kGreen;
      fill(c, {2, box.bottom - 10 * (s + 1) + 1, 14, box.bottom - 10 * s - 1}, colour);
    }
  }));
  GuiBitmap* unlit = keep(strip(16, 120, 1, [](DrawContext& c, std::int32_t, const GuiRect& box) {
    fill(c, box, kWell);
    for (std::int32_t s = 0; s < 12; ++s) {
      fill(c, {2, box.bottom - 10 * (s + 1) + 1, 14, box.bottom - 10 * s - 1},
           GuiColor{44, 50, 58, 0});
    }
  }));
  GuiBitmap* litRow = keep(strip(150, 16, 1, [](DrawContext& c, std::int32_t, const GuiRect& box) {
    fill(c, box, kWell);
    for (std::int32_t s = 0; s < 15; ++s) fill(c, {10 * s + 1, 2, 10 * s + 9, 14}, kGreen);
  }));
  GuiBitmap* unlitRow =
      keep(strip(150, 16, 1, [](DrawContext& c, std::int32_t, const GuiRect& box) {
        fill(c, box, kWell);
        for (std::int32_t s = 0; s < 15; ++s)
          fill(c, {10 * s + 1, 2, 10 * s + 9, 14}, GuiColor{44, 50, 58, 0});
      }));
  const GuiRect meterArea{552, 260, 568, 380};
  meters[0] = new GuiLevelMeter(meterArea, lit, unlit, 12);
  meters[0]->setDecay(0.04f);
  meters[0]->setValue(0.7f);
  place(meters[0], "GuiLevelMeter", meterArea);
  const GuiRect rowArea{595, 312, 745, 328};
  meters[1] = new GuiLevelMeter(rowArea, litRow, unlitRow, 15, GuiLevelMeter::kHorizontal);
  meters[1]->setDecay(0.04f);
  meters[1]->setValue(0.45f);
  place(meters[1], "GuiLevelMeter (row)", rowArea);

  const GuiRect displayArea{645, 63, 735, 85};
  knobDisplay = new GuiValueDisplay(displayArea, nullptr, kStyleSunkenFrame | kStyleShadowText);
  knobDisplay->setValueFormatter(percentText);
  knobDisplay->setBackColor(kWell);
  knobDisplay->setFrameColor(kRim);
  knobDisplay->setShadowColor(GuiColor{0, 0, 0, 0});
  knobDisplay->setFontColor(kAccent);
  knobDisplay->setFont(FontId::big);
  knobDisplay->setValue(knob ? knob->getValue() : 0.0f);
  place(knobDisplay, "GuiValueDisplay (knob)", displayArea);
}

void Gallery::valueChanged(DrawContext*, GuiControl* control) {
  if (control == knob && knobDisplay) knobDisplay->setValue(control->getValue());
  std::string name = "control";
  for (const auto& [shown, shownName] : named) {
    if (shown == control) name = shownName;
  }
  char text[160];
  if (auto* edit = dynamic_cast<GuiTextEdit*>(control)) {
    std::snprintf(text, sizeof text, "%s: \"%s\"", name.c_str(), edit->getText());
  } else if (auto* menu = dynamic_cast<GuiChoiceMenu*>(control)) {
    std::snprintf(text, sizeof text, "%s: entry %d (%s)", name.c_str(), menu->getCurrent(),
                  menu->getEntry(menu->getCurrent()));
  } else {
    std::snprintf(text, sizeof text, "%s: %.3f", name.c_str(),
                  static_cast<double>(control->getValue()));
  }
  status_ = text;
  if (statusLine) statusLine->setDirty(true);
}

void Gallery::tick() {
  ++ticks;
  if (animation && animation->isRunning() && ticks % 3 == 0) {
    animation->nextFrame();
  }
  const double t = ticks * 0.09;
  const std::array<double, 2> levels{0.55 + 0.4 * std::sin(t) * std::sin(t * 0.37),
                                     0.5 + 0.45 * std::sin(t * 1.3 + 1.0)};
  for (std::size_t i = 0; i < 2; ++i) {
    if (meters[i]) meters[i]->setValue(static_cast<float>(std::fabs(levels[i])));
  }
}

GalleryEditor::GalleryEditor(FrameBackend* frameBackend) : EditorBase(nullptr, *frameBackend) {
  rect = {0, 0, static_cast<VstInt16>(Gallery::kSize.height()),
          static_cast<VstInt16>(Gallery::kSize.width())};
}

GalleryEditor::~GalleryEditor() { GalleryEditor::close(); }

VstIntPtr GalleryEditor::open(void* window) {
  close();
  EditorBase::open(window);
  frame = new GuiFrame(Gallery::kSize, window, this, getBackend());
  if (!frame->isWindowOpen()) {
    close();
    return 0;
  }
  gallery_ = std::make_unique<Gallery>(*frame);
  return 1;
}

void GalleryEditor::close() {
  delete frame;  // the views first: the gallery is their listener
  frame = nullptr;
  gallery_.reset();
}

}  // namespace hostapp
