#include "skin/button_themes.h"

#include "skin/colour.h"

namespace movarin::skin {
namespace {

constexpr Quad Mirror(Quad q) { return {q.tr, q.tl, q.br, q.bl}; }

// A banded palette whose right halves mirror the left ones.
constexpr BandedPalette Banded(Colour uf, Colour ut, Colour lf, Colour lt, Colour outer, Colour inner,
                               Quad hu, Quad hl, Colour hb, Quad pu, Quad pl, Colour pob, Colour pib,
                               Colour flt, Colour fb, Colour duf, Colour dut, Colour dlf, Colour dlt,
                               Colour db) {
  return {uf, ut, lf, lt, outer, inner, hu, Mirror(hu), hl, Mirror(hl), hb, pu, Mirror(pu), pl,
          Mirror(pl), pob, pib, flt, fb, duf, dut, dlf, dlt, db};
}

// Theme 4, the look of every button of the program.
constexpr BandedPalette kTheme4{
    Rgb(207, 211, 218), Rgb(193, 198, 207), Rgb(180, 187, 197), Rgb(231, 240, 241),
    Rgb(174, 176, 180), Rgb(232, 234, 237),
    {Rgb(255, 253, 228), Rgb(254, 253, 232), Rgb(255, 231, 145), Rgb(255, 233, 169)},
    {Rgb(255, 253, 228), Rgb(255, 253, 228), Rgb(255, 233, 169), Rgb(255, 231, 145)},
    {Rgb(255, 213, 69), Rgb(255, 213, 94), Rgb(255, 230, 148), Rgb(255, 241, 199)},
    {Rgb(255, 213, 94), Rgb(255, 213, 69), Rgb(255, 241, 199), Rgb(255, 230, 148)},
    Rgb(216, 201, 149),
    {Rgb(243, 175, 105), Rgb(254, 192, 107), Rgb(247, 161, 101), Rgb(255, 181, 102)},
    {Rgb(254, 192, 107), Rgb(243, 175, 105), Rgb(255, 181, 102), Rgb(247, 161, 101)},
    {Rgb(253, 151, 62), Rgb(255, 169, 78), Rgb(254, 196, 114), Rgb(255, 209, 137)},
    {Rgb(255, 169, 78), Rgb(253, 151, 62), Rgb(255, 209, 137), Rgb(254, 196, 114)},
    Rgb(197, 155, 96), Rgb(232, 183, 114),
    Rgb(255, 241, 199), Rgb(216, 201, 149),
    Rgb(240, 240, 240), Rgb(230, 230, 230), Rgb(225, 225, 225), Rgb(240, 240, 240),
    Rgb(198, 197, 201)};

// Our own palettes for the themes no window uses: the same plan in other colours.
// 1 silver with a blue highlight.
constexpr BandedPalette kTheme1 = Banded(
    Rgb(248, 248, 250), Rgb(232, 233, 237), Rgb(218, 220, 226), Rgb(244, 245, 248),
    Rgb(150, 152, 160), Rgb(255, 255, 255),
    {Rgb(236, 244, 253), Rgb(230, 240, 252), Rgb(196, 222, 250), Rgb(206, 228, 251)},
    {Rgb(170, 208, 246), Rgb(180, 214, 248), Rgb(206, 228, 251), Rgb(224, 238, 253)},
    Rgb(60, 127, 177),
    {Rgb(196, 222, 246), Rgb(204, 226, 248), Rgb(170, 204, 238), Rgb(180, 210, 240)},
    {Rgb(130, 180, 230), Rgb(142, 188, 234), Rgb(170, 206, 240), Rgb(190, 218, 244)},
    Rgb(44, 98, 139), Rgb(158, 196, 232),
    Rgb(206, 228, 251), Rgb(60, 127, 177),
    Rgb(244, 244, 244), Rgb(236, 236, 236), Rgb(230, 230, 230), Rgb(244, 244, 244),
    Rgb(198, 197, 201));
// 2 office blue.
constexpr BandedPalette kTheme2 = Banded(
    Rgb(227, 239, 255), Rgb(196, 221, 255), Rgb(173, 209, 255), Rgb(192, 219, 255),
    Rgb(101, 147, 207), Rgb(240, 246, 255),
    {Rgb(255, 252, 222), Rgb(255, 250, 214), Rgb(255, 231, 150), Rgb(255, 236, 170)},
    {Rgb(255, 215, 76), Rgb(255, 220, 100), Rgb(255, 231, 150), Rgb(255, 240, 190)},
    Rgb(194, 169, 112),
    {Rgb(252, 181, 118), Rgb(254, 192, 128), Rgb(250, 164, 96), Rgb(253, 176, 108)},
    {Rgb(250, 142, 56), Rgb(252, 158, 70), Rgb(253, 190, 110), Rgb(254, 206, 134)},
    Rgb(142, 129, 101), Rgb(255, 214, 154),
    Rgb(255, 240, 190), Rgb(194, 169, 112),
    Rgb(238, 242, 248), Rgb(226, 232, 242), Rgb(220, 226, 236), Rgb(236, 240, 246),
    Rgb(183, 182, 186));
// 3 steel blue.
constexpr BandedPalette kTheme3 = Banded(
    Rgb(224, 233, 241), Rgb(200, 214, 228), Rgb(182, 200, 218), Rgb(214, 226, 238),
    Rgb(96, 124, 150), Rgb(236, 242, 248),
    {Rgb(232, 246, 255), Rgb(226, 242, 255), Rgb(170, 216, 250), Rgb(184, 222, 252)},
    {Rgb(140, 198, 244), Rgb(152, 204, 246), Rgb(186, 222, 250), Rgb(208, 234, 252)},
    Rgb(70, 130, 180),
    {Rgb(170, 196, 222), Rgb(178, 202, 226), Rgb(150, 180, 210), Rgb(160, 188, 216)},
    {Rgb(116, 154, 192), Rgb(126, 162, 198), Rgb(156, 186, 214), Rgb(176, 202, 226)},
    Rgb(52, 86, 120), Rgb(150, 180, 210),
    Rgb(186, 222, 250), Rgb(70, 130, 180),
    Rgb(226, 234, 240), Rgb(214, 224, 232), Rgb(206, 216, 226), Rgb(224, 232, 240),
    Rgb(161, 189, 207));
// 5 green.
constexpr BandedPalette kTheme5 = Banded(
    Rgb(236, 246, 230), Rgb(212, 234, 200), Rgb(190, 222, 174), Rgb(226, 242, 216),
    Rgb(96, 140, 80), Rgb(246, 252, 242),
    {Rgb(246, 255, 236), Rgb(240, 252, 228), Rgb(196, 238, 160), Rgb(208, 242, 178)},
    {Rgb(160, 224, 110), Rgb(172, 228, 126), Rgb(204, 240, 170), Rgb(226, 248, 204)},
    Rgb(90, 150, 60),
    {Rgb(178, 216, 150), Rgb(188, 222, 160), Rgb(156, 204, 124), Rgb(166, 210, 136)},
    {Rgb(120, 182, 80), Rgb(132, 190, 92), Rgb(164, 208, 130), Rgb(186, 220, 156)},
    Rgb(60, 110, 40), Rgb(150, 200, 120),
    Rgb(204, 240, 170), Rgb(90, 150, 60),
    Rgb(238, 240, 236), Rgb(228, 230, 226), Rgb(222, 224, 220), Rgb(238, 240, 236),
    Rgb(178, 178, 178));
// 6 graphite.
constexpr BandedPalette kTheme6 = Banded(
    Rgb(132, 136, 144), Rgb(96, 100, 108), Rgb(72, 76, 84), Rgb(104, 108, 116),
    Rgb(40, 42, 46), Rgb(156, 160, 168),
    {Rgb(170, 176, 186), Rgb(160, 166, 176), Rgb(110, 118, 130), Rgb(120, 128, 140)},
    {Rgb(80, 90, 104), Rgb(88, 98, 112), Rgb(112, 122, 136), Rgb(136, 146, 160)},
    Rgb(20, 22, 26),
    {Rgb(70, 74, 80), Rgb(76, 80, 86), Rgb(56, 60, 66), Rgb(62, 66, 72)},
    {Rgb(40, 44, 50), Rgb(46, 50, 56), Rgb(64, 68, 74), Rgb(80, 84, 90)},
    Rgb(10, 10, 12), Rgb(100, 104, 110),
    Rgb(136, 146, 160), Rgb(20, 22, 26),
    Rgb(210, 210, 210), Rgb(196, 196, 196), Rgb(188, 188, 188), Rgb(204, 204, 204),
    Rgb(178, 178, 178));

constexpr FlatPalette kTheme7{0x00FBFCFC, 0x00EAF0F0, 0x00DDE4E5, 0x00DAE2E2, 0x00743C00,
                              Rgb(255, 200, 90), 0x00EAF4F5, 0x00BAC7C9};
constexpr FlatPalette kTheme8{0x00F2FFFE, 0x00DBEEF3, 0x00D2E6EE, 0x00CEE4EC, 0x00066237,
                              Rgb(80, 200, 120), 0x00EAF4F5, 0x00BAC7C9};
constexpr FlatPalette kTheme9{kWhite, 0x00D7C5C6, 0x00BDABAC, kWhite, 0x00743C00,
                              Rgb(255, 200, 90), 0x00EAF4F5, 0x00BAC7C9};

int Round(double v) { return RoundHalfEven(v); }

// A four-colour fill over left, top, width, height.
void Fill4(Canvas& c, int left, int top, int width, int height, const Quad& q) {
  c.FourColourGradient({left, top, left + width, top + height}, q.tl, q.tr, q.bl, q.br);
}

void DrawBanded(Canvas& c, const BandedPalette& p, const ButtonState& s, int w, int h, int r) {
  const int t = Round(h / 2.0 - h / 6.0);
  if (!s.enabled) {
    c.VerticalGradient({1, 1, w - 2, t}, p.disabled_upper_from, p.disabled_upper_to);
    c.VerticalGradient({1, t, w - 1, h - 2}, p.disabled_lower_from, p.disabled_lower_to);
    c.RoundRectFrame({0, 0, w - 1, h - 1}, r, p.disabled_border);
    return;
  }
  c.VerticalGradient({1, 1, w - 2, t}, p.upper_from, p.upper_to);
  c.VerticalGradient({1, t, w - 1, h - 2}, p.lower_from, p.lower_to);
  c.RoundRectFrame({0, 0, w - 1, h - 1}, r, p.outer_border);
  c.RoundRectFrame({1, 1, w - 2, h - 2}, r, p.inner_border);

  const int half = Round(w / 2.0);
  const int half_less_one = Round(w / 2.0 - 1);
  if (s.pressed) {
    Fill4(c, 1, 1, half, t, p.pressed_upper_left);
    Fill4(c, half, 1, half_less_one, t, p.pressed_upper_right);
    Fill4(c, 1, t, half, h - t, p.pressed_lower_left);
    Fill4(c, half, t, half_less_one, h - t, p.pressed_lower_right);
    c.RoundRectFrame({0, 0, w - 1, h - 1}, r, p.pressed_outer_border);
    c.RoundRectFrame({1, 1, w - 2, h - 2}, r, p.pressed_inner_border);
    if (s.focused && s.focus_dotted_rect) DrawFocusDots(c, w, h);
  } else if (s.hovered) {
    const int third = Round(h / 3.0);
    const int rest = Round(h - h / 3.0);
    Fill4(c, 1, 1, half, third, p.hover_upper_left);
    Fill4(c, half, 1, half_less_one, third, p.hover_upper_right);
    Fill4(c, 1, third, half, rest, p.hover_lower_left);
    Fill4(c, half, third, half_less_one, rest, p.hover_lower_right);
    c.RoundRectFrame({0, 0, w - 1, h - 1}, r, p.hover_border);
  } else if (s.focused) {
    c.VerticalGradient({1, 1, w - 2, t}, p.upper_from, p.upper_to);
    c.VerticalGradient({1, t, w - 1, h - 2}, p.lower_from, p.focus_lower_to);
    c.RoundRectFrame({0, 0, w - 1, h - 1}, r, p.focus_border);
    if (s.focus_dotted_rect) DrawFocusDots(c, w, h);
  }
}

void DrawFlat(Canvas& c, const FlatPalette& p, const ButtonState& s, int w, int h, int r) {
  if (!s.enabled) {
    c.FillRect({0, 0, w, h}, p.disabled_fill);
    c.RoundRectFrame({0, 0, w - 1, h - 1}, r, p.disabled_border);
    return;
  }
  if (s.pressed)
    c.VerticalGradient({0, 0, w, h}, p.pressed_from, p.pressed_to);
  else
    c.VerticalGradient({0, 0, w, h}, p.from, p.to);
  c.RoundRectFrame({0, 0, w - 1, h - 1}, r, p.border);
  if (s.hovered && !s.pressed) c.RoundRectFrame({1, 1, w - 2, h - 2}, r, p.hover_border);
  if (s.focused && s.focus_dotted_rect && (s.pressed || !s.hovered)) DrawFocusDots(c, w, h);
}

}  // namespace

const BandedPalette* BandedTheme(int theme) {
  switch (theme) {
    case 1: return &kTheme1;
    case 2: return &kTheme2;
    case 3: return &kTheme3;
    case 4: return &kTheme4;
    case 5: return &kTheme5;
    case 6: return &kTheme6;
    default: return nullptr;
  }
}

const FlatPalette* FlatTheme(int theme) {
  switch (theme) {
    case 7: return &kTheme7;
    case 8: return &kTheme8;
    case 9: return &kTheme9;
    default: return nullptr;
  }
}

std::optional<DisabledColours> ThemeDisabledColours(int theme) {
  switch (theme) {
    case 1:
    case 4: return DisabledColours{Rgb(183, 182, 186), Rgb(198, 197, 201)};
    case 2: return DisabledColours{Rgb(183, 182, 186), Rgb(183, 182, 186)};
    case 3: return DisabledColours{Rgb(154, 182, 200), Rgb(161, 189, 207)};
    case 5:
    case 6: return DisabledColours{Rgb(183, 182, 186), Rgb(178, 178, 178)};
    case 7:
    case 8:
    case 9: return DisabledColours{0x00BAC7C9, 0x00BAC7C9};
    default: return std::nullopt;
  }
}

void DrawFocusDots(Canvas& c, int w, int h) {
  const Colour dot = kBlack;
  for (int x = 3; x <= w - 4; x += 2) {
    c.SetPixel({x, 3}, dot);
    c.SetPixel({x, h - 4}, dot);
  }
  for (int y = 5; y <= h - 6; y += 2) {
    c.SetPixel({3, y}, dot);
    c.SetPixel({w - 4, y}, dot);
  }
}

void DrawButtonTheme(Canvas& canvas, int theme, const ButtonState& state, int w, int h, int r) {
  if (const BandedPalette* p = BandedTheme(theme)) {
    DrawBanded(canvas, *p, state, w, h, r);
  } else if (const FlatPalette* p = FlatTheme(theme)) {
    DrawFlat(canvas, *p, state, w, h, r);
  } else if (state.enabled && state.hovered && state.focus_dotted_rect) {
    DrawFocusDots(canvas, w, h);
  }
}

}  // namespace movarin::skin
