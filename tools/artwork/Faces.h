// Button faces: one frame of a control bitmap, off (blue or grey) or on (orange), with a caption
// or a small symbol. Every control bitmap is a vertical stack of such frames.
#pragma once

#include "Canvas.h"
#include "Fonts.h"

#include <string>

namespace artwork {

enum class Tone { blue, orange, grey };
enum class Symbol { caption, triangleWave, cross, none };

struct FaceRecipe {
  Tone tone;
  Symbol symbol;
  std::string caption;  // used with Symbol::caption
};

struct CaptionFont {
  bool bold;
  double size;
};

// Where a face is painted: its top row in the bitmap and its size. `rounded` leaves the four
// corner pixels in the ground colour so that the button looks rounded on the panel.
struct FaceFrame {
  int top;
  int width;
  int height;
  bool rounded;
};

void paintFace(Canvas& canvas, const Fonts& fonts, const FaceFrame& frame, const FaceRecipe& face,
               CaptionFont font);

}  // namespace artwork
