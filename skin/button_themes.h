#pragma once
// The looks of the styled button's nine themes, as data, and the two plans that draw
// them: banded themes (two-colour bands, four-colour highlights, double borders; theme 4
// is the one every window uses) and flat themes 7 to 9 (one gradient, one border).
#include <optional>

#include "skin/canvas.h"

namespace movarin::skin {

struct ButtonState {
  bool enabled = true;
  bool hovered = false;
  bool pressed = false;
  bool focused = false;
  bool focus_dotted_rect = true;
};

// Four corner colours of a bilinear fill: top-left, top-right, bottom-left, bottom-right.
struct Quad {
  Colour tl, tr, bl, br;
};

struct BandedPalette {
  Colour upper_from, upper_to, lower_from, lower_to, outer_border, inner_border;
  // Left and right halves of the hovered and pressed highlights, upper and lower parts.
  Quad hover_upper_left, hover_upper_right, hover_lower_left, hover_lower_right;
  Colour hover_border;
  Quad pressed_upper_left, pressed_upper_right, pressed_lower_left, pressed_lower_right;
  Colour pressed_outer_border, pressed_inner_border;
  Colour focus_lower_to, focus_border;
  Colour disabled_upper_from, disabled_upper_to, disabled_lower_from, disabled_lower_to,
      disabled_border;
};

struct FlatPalette {
  Colour from, to, pressed_from, pressed_to, border;
  Colour hover_border, disabled_fill, disabled_border;
};

// The colours a theme gives the caption and border when it is set on a disabled button.
struct DisabledColours {
  Colour caption;
  Colour border;
};

const BandedPalette* BandedTheme(int theme);  // themes 1 to 6
const FlatPalette* FlatTheme(int theme);      // themes 7 to 9
std::optional<DisabledColours> ThemeDisabledColours(int theme);

// Draws theme `theme`'s look for `state` on a w x h surface with corner size `r`. A
// theme outside 1..9 draws only the focus dots, while hovered.
void DrawButtonTheme(Canvas& canvas, int theme, const ButtonState& state, int w, int h, int r);

// Single pixels two apart, 3 to 4 pixels inside the edges.
void DrawFocusDots(Canvas& canvas, int w, int h);

}  // namespace movarin::skin
