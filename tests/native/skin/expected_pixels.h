#pragma once
// Pixels whose colours the skinned controls' rules fix, worked out by hand from those
// rules, for the pictures both canvases draw: the native tests through the software
// canvas, the Wine tests through GDI. Either must match them exactly.
//
// The skin: 200 x 95 with the shared look and a caption font whose line is 19 pixels,
// so CH = 29, half = 14.5 -> 14 and BT = (29 - 16) / 2 = 6.5 -> 6 (halves to even);
// close at x 179, minimise at 158 (no maximise: no gap). Rules used:
//   avg(c) = (channel + 255) / 2 per channel, rounded half to even;
//   line i of G(x1, y0, x2, n, A, B) = A + i * ((B - A) / n) in single precision,
//   rounded half to even, on row y0 + i from x1 up to (not including) x2.
#include "skin/colour.h"

namespace movarin::skin::testing {

struct ExpectedPixel {
  const char* what;
  int x, y;
  Colour colour;
};

inline constexpr int kSkinWidth = 200, kSkinHeight = 95, kSkinLineHeight = 19;
inline constexpr int kCloseX = 179, kMinX = 158, kButtonTop = 6;
inline constexpr Colour kNavy = 0x00800000;
inline constexpr Colour kSkinSurface = Rgb(212, 208, 200);

inline constexpr ExpectedPixel kSkinBorder[] = {
    {"top-left corner", 0, 0, kNavy},
    {"top edge", 100, 0, kNavy},
    {"top-right corner at W - 2", 198, 0, kNavy},
    {"right edge", 198, 60, kNavy},
    {"bottom-right corner", 198, 93, kNavy},
    {"bottom edge at H - 2", 100, 93, kNavy},
    {"left edge", 0, 60, kNavy},
    {"caption's bottom line at CH", 100, 29, kNavy},
    {"right column outside the outline", 199, 40, kSkinSurface},
    {"bottom row outside the outline", 40, 94, kSkinSurface},
};

// avg(CaptionColorTo 0) = (128, 128, 128), avg(CaptionColorFrom 0x00FF8080) =
// (191.5 -> 192, 192, 255). Upper half G over 15 lines: red step 64/15, blue 127/15;
// lower half G over 29 - 14 = 15 lines back again.
inline constexpr ExpectedPixel kSkinCaption[] = {
    {"first row: 128 + 4.27, 128 + 8.47", 120, 1, Rgb(132, 132, 136)},
    {"middle row (half): 128 + 14 * 4.27 = 187.7, 128 + 14 * 8.47 = 246.5", 120, 14, Rgb(188, 188, 247)},
    {"first row below the middle: 192 - 4.27, 255 - 8.47", 120, 15, Rgb(188, 188, 247)},
    {"last row: 192 - 14 * 4.27, 255 - 14 * 8.47", 120, 28, Rgb(132, 132, 136)},
    {"the fill stops before the right border", 197, 1, Rgb(132, 132, 136)},
    {"the fill starts after the left border", 1, 28, Rgb(132, 132, 136)},
};

// avg(ColorFrom 0x00FFC0C0) = (224, 224, 255), avg(ColorTo navy) = (128, 128, 192);
// H - CH - 2 = 64 lines: red step -1.5 exactly, blue step -0.984375.
inline constexpr ExpectedPixel kSkinBody[] = {
    {"first body row: 222.5 -> 222, 254.02 -> 254", 60, 30, Rgb(222, 222, 254)},
    {"third body row: 219.5 -> 220, 252.05 -> 252", 60, 32, Rgb(220, 220, 252)},
    {"middle body row: 176, 223.5 -> 224", 60, 61, Rgb(176, 176, 224)},
    {"last body row (H - 3): 129.5 -> 130, 192.98 -> 193", 60, 92, Rgb(130, 130, 193)},
};

// Button fill G over 16 lines from avg(navy) (128, 128, 192) to avg(0x00FF8080)
// (192, 192, 255): red step 4, blue step 3.9375.
inline constexpr ExpectedPixel kSkinButtonsNormal[] = {
    {"close frame: white top", kCloseX + 8, kButtonTop, kWhite},
    {"close frame: white left", kCloseX, kButtonTop + 8, kWhite},
    {"close frame: black right", kCloseX + 16, kButtonTop + 8, kBlack},
    {"close frame: black bottom, one past the right", kCloseX + 16, kButtonTop + 16, kBlack},
    {"close fill line 1: 132, 195.94 -> 196", kCloseX + 8, kButtonTop + 1, Rgb(132, 132, 196)},
    {"close fill line 4: 144, 207.75 -> 208", kCloseX + 8, kButtonTop + 4, Rgb(144, 144, 208)},
    {"close fill line 8: 160, 223.5 -> 224", kCloseX + 1, kButtonTop + 8, Rgb(160, 160, 224)},
    {"close fill line 15: 188, 251.06 -> 251", kCloseX + 8, kButtonTop + 15, Rgb(188, 188, 251)},
    {"close glyph, first stroke start", kCloseX + 4, kButtonTop + 4, kNavy},
    {"close glyph, first stroke end", kCloseX + 12, kButtonTop + 12, kNavy},
    {"close glyph, second stroke", kCloseX + 4, kButtonTop + 5, kNavy},
    {"close glyph, backward stroke start", kCloseX + 12, kButtonTop + 4, kNavy},
    {"close glyph, backward stroke end", kCloseX + 4, kButtonTop + 12, kNavy},
    {"close glyph, last pixel of the last stroke", kCloseX + 4, kButtonTop + 13, kNavy},
    {"close glyph leaves its end point: line 13 is 180, 243.19 -> 243", kCloseX + 13, kButtonTop + 13,
     Rgb(180, 180, 243)},
    {"minimise glyph, upper row start", kMinX + 3, kButtonTop + 12, kNavy},
    {"minimise glyph, lower row end", kMinX + 13, kButtonTop + 13, kNavy},
    {"minimise glyph leaves its end point: line 12 is 176, 239.25 -> 239", kMinX + 14, kButtonTop + 12,
     Rgb(176, 176, 239)},
    {"minimise frame: white left", kMinX, kButtonTop + 8, kWhite},
    {"left of the minimise button: the caption's middle row", kMinX - 1, kButtonTop + 8, Rgb(188, 188, 247)},
};

// Close lit: the glyph in CloseOverColor (255, red), the fill from avg(To) to avg(From):
// red step -4, blue step -3.9375.
inline constexpr ExpectedPixel kSkinCloseLit[] = {
    {"lit close glyph", kCloseX + 4, kButtonTop + 4, Rgb(255, 0, 0)},
    {"lit close glyph, backward stroke", kCloseX + 12, kButtonTop + 5, Rgb(255, 0, 0)},
    {"lit fill line 1: 188, 251.06 -> 251", kCloseX + 8, kButtonTop + 1, Rgb(188, 188, 251)},
    {"lit fill line 4: 176, 239.25 -> 239", kCloseX + 8, kButtonTop + 4, Rgb(176, 176, 239)},
    {"lit fill line 8: 160, 223.5 -> 224", kCloseX + 1, kButtonTop + 8, Rgb(160, 160, 224)},
    {"minimise stays normal", kMinX + 3, kButtonTop + 12, kNavy},
};

// The styled button, theme 4, 100 x 32 with corner 5: T = 32/2 - 32/6 = 10.67 -> 11,
// W/2 = 50, H/3 = 10.67 -> 11. Two-colour fills run linearly down (left, top, right,
// bottom); four-colour fills (left, top, width, height) down each edge, then across each
// row; at 16 bits a channel, rounded down as GDI's gradient fill rounds.
inline constexpr int kButtonWidth = 100, kButtonHeight = 32;

inline constexpr ExpectedPixel kButtonBase[] = {
    {"upper fill row 2: 1/10 of (207,211,218) -> (193,198,207)", 50, 2, Rgb(205, 209, 216)},
    {"upper fill row 5: 4/10 of the way", 50, 5, Rgb(201, 205, 213)},
    {"lower fill starts at T with its first colour", 50, 11, Rgb(180, 187, 197)},
    {"lower fill row 20: 9/19 of (180,187,197) -> (231,240,241)", 50, 20, Rgb(204, 212, 217)},
    {"outer border top", 50, 0, Rgb(174, 176, 180)},
    {"outer border right at W - 2", 98, 16, Rgb(174, 176, 180)},
    {"outer border bottom at H - 2", 50, 30, Rgb(174, 176, 180)},
    {"inner border top", 50, 1, Rgb(232, 234, 237)},
    {"inner border left", 1, 16, Rgb(232, 234, 237)},
    {"inner border right at W - 3", 97, 16, Rgb(232, 234, 237)},
    {"inner border bottom at H - 3", 50, 29, Rgb(232, 234, 237)},
};

inline constexpr ExpectedPixel kButtonHovered[] = {
    {"upper-left highlight, row 4 of 11, column 9 of 50", 10, 5, Rgb(254, 245, 199)},
    {"upper-right mirror, row 1 of 11, first column", 50, 2, Rgb(255, 251, 222)},
    {"upper-right mirror covers the inner border", 50, 1, Rgb(255, 253, 228)},
    {"lower-left highlight at its top, column 1: blue 69.5 -> 69", 2, 11, Rgb(255, 213, 69)},
    {"lower-right mirror at its top-left corner", 50, 11, Rgb(255, 213, 94)},
    {"hover border", 50, 0, Rgb(216, 201, 149)},
};

// The progress bar, 20 pixels high: blocks on rows 3..16 (bands 3..8 and 11..16), in
// 0x0000C000 = (0, 192, 0) with edges in 150 + 105 * channel / 255 = (150, 229, 150).
inline constexpr int kBarHeight = 20;
inline constexpr Colour kBarGreen = Rgb(0, 192, 0);

struct BarCase {
  int width, value;
  ExpectedPixel pixels[6];
};

inline constexpr BarCase kBarEdges[] = {
    {100, 0, {{"nothing filled", 5, 10, kWhite}, {"middle", 50, 10, kWhite}, {"top band's place", 5, 3, kWhite},
              {"outer frame", 50, 0, 0x00D9D9D9}, {"grey frame", 50, 1, 0x00BEBEBE}, {"light frame", 50, 2, 0x00EFEFEF}}},
    {100, 5, {{"5 snaps down to 0: nothing filled", 5, 10, kWhite}, {"first gap's place", 8, 10, kWhite},
              {"top band's place", 5, 3, kWhite}, {"grey frame left", 1, 10, 0x00BEBEBE},
              {"light frame left", 2, 10, 0x00EFEFEF}, {"rounded corner", 1, 1, 0x00D9D9D9}}},
    {100, 100, {{"last block", 96, 10, kBarGreen}, {"light frame over its gap", 97, 10, 0x00EFEFEF},
                {"a gap", 88, 10, kWhite}, {"a block's first column", 90, 10, kBarGreen},
                {"grey frame at the bottom", 50, 18, 0x00BEBEBE}, {"white below the blocks", 50, 17, kWhite}}},
    {204, 0, {{"nothing filled", 5, 10, kWhite}, {"middle", 100, 10, kWhite}, {"light frame right", 201, 10, 0x00EFEFEF},
              {"grey frame right", 202, 10, 0x00BEBEBE}, {"outer frame right", 203, 10, 0x00D9D9D9},
              {"rounded corner", 202, 18, 0x00D9D9D9}}},
    {204, 5, {{"10.2 -> 10: one block", 5, 10, kBarGreen}, {"its last green column", 7, 10, kBarGreen},
              {"the gap after it", 8, 10, kWhite}, {"nothing beyond", 10, 10, kWhite},
              {"top band starts light", 5, 3, Rgb(150, 229, 150)}, {"top band's last row: (L + 5 C) / 6", 5, 8, Rgb(25, 198, 25)}}},
    {204, 100, {{"204 -> 200: last block", 197, 10, kBarGreen}, {"its gap", 198, 10, kWhite},
                {"past the fill", 200, 10, kWhite}, {"the gap before", 188, 10, kWhite},
                {"bottom band's last row: (C + 5 L) / 6", 195, 16, Rgb(125, 222, 125)},
                {"a block's first column", 190, 10, kBarGreen}}},
};

}  // namespace movarin::skin::testing
