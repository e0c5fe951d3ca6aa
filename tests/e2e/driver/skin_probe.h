#pragma once
// Where a skinned window draws its caption bar and caption buttons, worked out from the
// rules the skin follows rather than asked of its code: the caption is the title font's
// line height (Tahoma 12 pt bold at the screen's DPI, measured here with GDI) plus 10, at
// least 26 with the 16-pixel icon; the 17-pixel buttons stand 21 pixels apart from the
// right edge, the close button rightmost, their top centred in the caption.
#include <windows.h>

namespace movarin::e2e {

// The glyph colours every window's skin uses: navy, and red under the pointer.
inline constexpr COLORREF kSkinGlyphColour = 0x00800000;
inline constexpr COLORREF kSkinLitGlyphColour = RGB(255, 0, 0);

struct SkinCaption {
  int height = 0;      // the caption bar's height
  int button_top = 0;  // the caption buttons' top
  int close_left = 0;  // the close button's left edge
  // In the skin's client coordinates: the first pixel of the close glyph's first stroke,
  // and the middle of the close button.
  POINT CloseGlyph() const { return {close_left + 4, button_top + 4}; }
  POINT CloseMiddle() const { return {close_left + 8, button_top + 8}; }
};

// The caption of the skin window `skin` (class MovarinWindowSkin); `with_icon` for the
// main program's windows, which show the program's icon.
SkinCaption MeasureSkinCaption(HWND skin, bool with_icon = true);

// twice / 2 rounded half to even, as the skin rounds its divisions.
int HalfToEven(int twice);

}  // namespace movarin::e2e
