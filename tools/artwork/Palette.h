// The panel's colours. The ground, the outlines, the title and footer red and the inner LFO box
// outline are fixed by the panel layout; the button and caption colours are chosen to read well
// on that ground. No control colour is pure white: the toolkit's keyed draw treats pure white as
// transparent.
#pragma once

#include "Canvas.h"

namespace artwork::palette {

// Fixed by the layout.
inline constexpr Rgb kGround{27, 65, 94};
inline constexpr Rgb kOutline{255, 255, 255};
inline constexpr Rgb kStrip{69, 21, 21};
inline constexpr Rgb kInnerOutline{155, 175, 189};

// Background decoration.
inline constexpr Rgb kCaption{232, 238, 243};         // box captions
inline constexpr Rgb kSettingCaption{186, 205, 220};  // setting captions over the effect bars
inline constexpr Rgb kWatermark{36, 79, 112};         // large faint zone names
inline constexpr Rgb kTile{16, 42, 62};               // number tiles under the harmonic bars
inline constexpr Rgb kTileText{176, 198, 214};
inline constexpr Rgb kWell{12, 30, 45};  // recess behind the effect switches
inline constexpr Rgb kWellRim{80, 117, 147};
inline constexpr Rgb kTitleText{244, 228, 212};
inline constexpr Rgb kTitleSubtext{206, 150, 128};
inline constexpr Rgb kLogoGround{44, 12, 12};
inline constexpr Rgb kLogoBar{242, 150, 52};
inline constexpr Rgb kFooterText{214, 176, 160};

// Button faces: the off face is blue (grey for the small square), the on face orange.
struct FaceColours {
  Rgb rim;        // one-pixel border
  Rgb highlight;  // first row inside the border
  Rgb top;        // blend from here ...
  Rgb bottom;     // ... to here
  Rgb ink;        // caption and symbol
};

inline constexpr FaceColours kBlueFace{
    {10, 27, 42}, {104, 154, 196}, {72, 122, 166}, {42, 86, 126}, {230, 238, 245}};
inline constexpr FaceColours kOrangeFace{
    {98, 44, 4}, {255, 204, 128}, {250, 166, 66}, {220, 116, 22}, {46, 20, 2}};
inline constexpr FaceColours kGreyFace{
    {36, 38, 40}, {196, 198, 200}, {164, 167, 170}, {128, 131, 134}, {48, 50, 53}};

}  // namespace artwork::palette
