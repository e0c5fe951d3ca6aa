#pragma once
// The segmented progress bar: green blocks 8 pixels wide with 2-pixel gaps, each shaded
// lighter along both edges, inside a light two-colour frame. Portable state and drawing;
// skin/win32/block_progress_bar_control.h makes it a child window.
#include <string>

#include "skin/canvas.h"
#include "skin/colour.h"

namespace movarin::skin {

struct BlockProgressBarProperties {
  int value = 0;
  int min = 0;
  int max = 100;
  int orientation = 0;  // 0 horizontal; otherwise vertical, filling from the bottom
  int scrolling = 0;    // 0 draws block separators; 2 shows "Searching.." as its text
  bool show_text = false;
  bool show_in_task = false;  // accepted and ignored
  Colour colour = 0x0000C000;
  Font font{"Tahoma", 800, false, false};
};

// Geometry every bar shares.
inline constexpr int kBlockWidth = 8;
inline constexpr int kBlockGap = 2;
inline constexpr int kBlockStep = kBlockWidth + kBlockGap;
inline constexpr int kEdgeBand = 6;
inline constexpr Colour kFrameColour = 0x00BEBEBE;
inline constexpr Colour kInnerFrameColour = 0x00EFEFEF;
inline constexpr Colour kOuterFrameColour = 0x00D9D9D9;

// Each channel mapped to 150 + 105 * channel / 255: the colour of the blocks' edges.
Colour LightBlockColour(Colour c);

// The filled part of a bar of the given client rectangle: [left, right) horizontally or
// [top, bottom) vertically, snapped to whole 10-pixel steps. Empty when nothing is filled.
Rect FilledPart(const BlockProgressBarProperties& p, const Rect& client);

// The text the bar shows when ShowText is set.
std::string ProgressText(const BlockProgressBarProperties& p);

// The whole bar onto the canvas.
void DrawBlockProgressBar(Canvas& canvas, const BlockProgressBarProperties& p);

}  // namespace movarin::skin
