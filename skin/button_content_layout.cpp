#include "skin/button_content_layout.h"

#include <algorithm>

#include "skin/colour.h"

namespace movarin::skin {
namespace {

constexpr int kPictureInset = 5;  // from the button's edge
// The caption's own margins: its left column starts 1 pixel in, its right one ends 3 in.
constexpr int kCaptionLeft = 1;
constexpr int kCaptionRightMargin = 3;

int ScaleByDpi(int pixels_at_96, int dpi) { return (pixels_at_96 * std::max(dpi, 96) + 48) / 96; }

// `size` scaled down, keeping its proportions, until neither side exceeds the limits.
Size FitInside(Size size, int max_width, int max_height) {
  if (size.width <= max_width && size.height <= max_height) return size;
  const float ratio = std::min(static_cast<float>(max_width) / static_cast<float>(size.width),
                               static_cast<float>(max_height) / static_cast<float>(size.height));
  return {std::max(1, static_cast<int>(static_cast<float>(size.width) * ratio)),
          std::max(1, static_cast<int>(static_cast<float>(size.height) * ratio))};
}

// The caption's left edge by its column, in the strip [left, right) of the button: its
// margins are those of the whole button's columns.
int CaptionColumnX(int column, int left, int right, int text_width, int offset_x) {
  switch (column) {
    case 0: return left + kCaptionLeft + offset_x;
    case 1: return RoundHalfEven((left + right) / 2.0 - text_width / 2.0 - 1 + offset_x);
    default: return right - text_width - kCaptionRightMargin + offset_x;
  }
}

}  // namespace

int ButtonPictureLimit(int button_height, int dpi) {
  return std::max(1, std::min(button_height - 8, ScaleByDpi(32, dpi)));
}

int ButtonPictureGap(int dpi) { return ScaleByDpi(4, dpi); }

ButtonContentPlacement PlaceButtonContent(const ButtonContent& c) {
  const int w = c.button.width, h = c.button.height;
  const Size text = c.caption;
  const int ox = c.caption_offset_x, oy = c.caption_offset_y;
  const bool aligned = c.caption_alignment >= 1 && c.caption_alignment <= 9;
  const int column = aligned ? (c.caption_alignment - 1) / 3 : 0;

  ButtonContentPlacement out;
  if (aligned) {
    const int row = (c.caption_alignment - 1) % 3;
    out.caption.x = CaptionColumnX(column, 0, w, text.width, ox);
    out.caption.y = row == 0   ? oy
                    : row == 1 ? RoundHalfEven(h / 2.0 - text.height / 2.0 - 1 + oy)
                               : h - text.height - 1 + oy;
  }
  if (c.picture.width <= 0 || c.picture.height <= 0) return out;

  const bool right = c.icon_alignment == 2;
  const int limit = ButtonPictureLimit(h, c.dpi);
  Size picture = FitInside(c.picture, limit, limit);
  const int gap = ButtonPictureGap(c.dpi);
  if (text.width > 0) {
    // The widest picture that leaves the caption its room beside it.
    const int room = w - kPictureInset - gap - text.width - (right ? kCaptionLeft : kCaptionRightMargin);
    if (room < ScaleByDpi(8, c.dpi)) return out;  // too narrow for both: the caption alone
    picture = FitInside(picture, room, limit);
  }
  const int px = right ? w - picture.width - kPictureInset : kPictureInset;
  const int py = RoundHalfEven(h / 2.0 - picture.height / 2.0);
  out.picture = {px, py, px + picture.width, py + picture.height};
  if (text.width <= 0) return out;

  // The room beside the picture; the caption moves into it only where it would overlap.
  const int free_left = right ? kCaptionLeft : out.picture.right + gap;
  const int free_right = right ? out.picture.left - gap : w - kCaptionRightMargin;
  const int x = out.caption.x;
  if (x >= free_left && x + text.width <= free_right) return out;
  const int x_in_room =
      CaptionColumnX(column, free_left - kCaptionLeft, free_right + kCaptionRightMargin, text.width, ox);
  out.caption.x = std::clamp(x_in_room, free_left, free_right - text.width);
  return out;
}

}  // namespace movarin::skin
