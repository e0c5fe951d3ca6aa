#pragma once
// Where a styled button's picture and caption go. The picture sits 5 pixels in from the
// left (or right) edge, centred vertically; the caption follows its alignment (columns
// left, centre, right; rows top, middle, bottom) and offsets. Pictures ship large for
// sharp screens, so a button that draws one next to a caption could have them overlap:
// the caption then moves into the room beside the picture, and a picture too large to
// leave room for the caption is drawn smaller, or not at all on a button too narrow for
// both. Picture and caption never overlap.
#include "skin/canvas.h"

namespace movarin::skin {

struct ButtonContent {
  Size button;             // the button's surface, pixels
  Size picture;            // the picture's own size; 0 x 0 when none is drawn
  Size caption;            // the caption's text extent; 0 wide when there is none
  int dpi = 96;
  int icon_alignment = 1;  // 2 right, any other value left
  int caption_alignment = 5;
  int caption_offset_x = 0;
  int caption_offset_y = 0;
};

struct ButtonContentPlacement {
  Rect picture;   // empty when no picture is drawn
  Point caption;  // the caption's top-left corner
};

ButtonContentPlacement PlaceButtonContent(const ButtonContent& content);

// The largest picture a button of this height draws at its own size, at `dpi`: pictures
// ship large for sharp screens and are scaled down to fit.
int ButtonPictureLimit(int button_height, int dpi);

// The space kept between a picture and the caption beside it, at `dpi`.
int ButtonPictureGap(int dpi);

}  // namespace movarin::skin
