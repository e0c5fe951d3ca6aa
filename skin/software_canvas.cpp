#include "skin/software_canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "imaging/render_plan.h"
#include "skin/picture_scaling.h"

namespace movarin::skin {
namespace {

class SoftwarePicture final : public Picture {
 public:
  int Width() const override { return image.Width(); }
  int Height() const override { return image.Height(); }
  imaging::Bitmap32 image;
};

// UTF-8 code points: the stand-in face gives each the same cell.
int CodePoints(std::string_view s) {
  return static_cast<int>(
      std::count_if(s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

}  // namespace

SoftwareCanvas::SoftwareCanvas(imaging::Bitmap32& target, int dpi) : target_(target), dpi_(dpi) {}

Size SoftwareCanvas::Extent() const { return {target_.Width(), target_.Height()}; }

void SoftwareCanvas::Put(int x, int y, Colour colour) {
  if (x < 0 || y < 0 || x >= target_.Width() || y >= target_.Height()) return;
  std::uint8_t* px = target_.BitsPointer() + static_cast<std::size_t>(y) * target_.ScanWidth() + x * 4;
  px[0] = static_cast<std::uint8_t>(Blue(colour));
  px[1] = static_cast<std::uint8_t>(Green(colour));
  px[2] = static_cast<std::uint8_t>(Red(colour));
  px[3] = 255;
}

void SoftwareCanvas::PutClipped(int x, int y, Colour colour, const Rect& clip) {
  if (x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom) Put(x, y, colour);
}

void SoftwareCanvas::FillRect(const Rect& r, Colour colour) {
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) Put(x, y, colour);
}

void SoftwareCanvas::SetPixel(Point at, Colour colour) { Put(at.x, at.y, colour); }

void SoftwareCanvas::Line(Point from, Point to, Colour colour) {
  // Bresenham, the last point left out as GDI's LineTo leaves it.
  const int dx = std::abs(to.x - from.x), dy = -std::abs(to.y - from.y);
  const int sx = from.x < to.x ? 1 : -1, sy = from.y < to.y ? 1 : -1;
  int err = dx + dy;
  int x = from.x, y = from.y;
  while (!(x == to.x && y == to.y)) {
    Put(x, y, colour);
    const int e2 = 2 * err;
    if (e2 >= dy) err += dy, x += sx;
    if (e2 <= dx) err += dx, y += sy;
  }
}

void SoftwareCanvas::VerticalGradient(const Rect& r, Colour top, Colour bottom) {
  const int height = r.Height();
  for (int y = r.top; y < r.bottom; ++y) {
    const Colour c = InterpolateDown(top, bottom, y - r.top, height);
    for (int x = r.left; x < r.right; ++x) Put(x, y, c);
  }
}

void SoftwareCanvas::FourColourGradient(const Rect& r, Colour tl, Colour tr, Colour bl, Colour br) {
  const int height = r.Height(), width = r.Width();
  for (int y = r.top; y < r.bottom; ++y) {
    const Colour left = InterpolateDown(tl, bl, y - r.top, height);
    const Colour right = InterpolateDown(tr, br, y - r.top, height);
    for (int x = r.left; x < r.right; ++x) Put(x, y, InterpolateDown(left, right, x - r.left, width));
  }
}

void SoftwareCanvas::RoundRectFrame(const Rect& r, int corner, Colour colour) {
  // Within [left, right - 1] x [top, bottom - 1], as RoundRect outlines with a 1-pixel pen.
  const int l = r.left, t = r.top, rr = r.right - 1, b = r.bottom - 1;
  if (rr < l || b < t) return;
  const int rad = std::max(0, std::min(corner / 2, std::min((rr - l) / 2, (b - t) / 2)));
  for (int x = l + rad; x <= rr - rad; ++x) Put(x, t, colour), Put(x, b, colour);
  for (int y = t + rad; y <= b - rad; ++y) Put(l, y, colour), Put(rr, y, colour);
  if (rad == 0) return;
  // Quarter circles around the four corner centres.
  const double pi = 3.14159265358979323846;
  const int steps = rad * 8;
  for (int i = 0; i <= steps; ++i) {
    const double a = (pi / 2) * i / steps;
    const int ox = static_cast<int>(std::lround(rad * std::cos(a)));
    const int oy = static_cast<int>(std::lround(rad * std::sin(a)));
    Put(l + rad - ox, t + rad - oy, colour);
    Put(rr - rad + ox, t + rad - oy, colour);
    Put(l + rad - ox, b - rad + oy, colour);
    Put(rr - rad + ox, b - rad + oy, colour);
  }
}

int SoftwareCanvas::LineHeight() const {
  return std::max(1, RoundHalfEven(font_.hundredths_of_point * dpi_ / 7200.0 * 1.2));
}

int SoftwareCanvas::Advance() const { return std::max(2, LineHeight() / 2 + (font_.bold ? 1 : 0)); }

Size SoftwareCanvas::MeasureText(std::string_view utf8) {
  return {CodePoints(utf8) * Advance(), LineHeight()};
}

void SoftwareCanvas::DrawText(std::string_view utf8, const Rect& rect, unsigned flags, Colour colour) {
  PrefixedText text;
  if (flags & kTextNoPrefix)
    text.text = std::string(utf8);
  else
    text = ResolvePrefixes(utf8);
  const int advance = Advance(), height = LineHeight();
  const Rect clip = (flags & kTextNoClip) ? Rect{-100000, -100000, 100000, 100000} : rect;

  // Lines: the whole text, or word-wrapped to the rectangle's width.
  struct LineSpan {
    std::size_t start, end;
  };
  std::vector<LineSpan> lines;
  const int per_line = std::max(1, rect.Width() / advance);
  if ((flags & kTextWordBreak) && !(flags & kTextSingleLine) && CodePoints(text.text) > per_line) {
    std::size_t start = 0;
    while (start < text.text.size()) {
      std::size_t end = start, last_space = std::string::npos;
      int count = 0;
      while (end < text.text.size() && count < per_line) {
        if (text.text[end] == ' ') last_space = end;
        ++end;
        while (end < text.text.size() && (static_cast<unsigned char>(text.text[end]) & 0xC0) == 0x80) ++end;
        ++count;
      }
      if (end < text.text.size() && last_space != std::string::npos && last_space > start) end = last_space + 1;
      lines.push_back({start, end});
      start = end;
    }
  } else {
    lines.push_back({0, text.text.size()});
  }

  int y = rect.top;
  if ((flags & kTextVerticalCentre) && (flags & kTextSingleLine)) y = rect.top + (rect.Height() - height) / 2;
  for (const LineSpan& line : lines) {
    const std::string_view s(text.text.data() + line.start, line.end - line.start);
    int x = rect.left;
    if (flags & kTextCentre) x = rect.left + (rect.Width() - CodePoints(s) * advance) / 2;
    for (std::size_t i = 0; i < s.size();) {
      const bool space = s[i] == ' ';
      if (!space) {
        // The character's box, a pixel short of its cell on each side.
        for (int gy = y + height / 4; gy < y + height - height / 5; ++gy)
          for (int gx = x + 1; gx < x + advance - 1; ++gx) PutClipped(gx, gy, colour, clip);
      }
      if (static_cast<int>(line.start + i) == text.underlined)
        for (int gx = x; gx < x + advance; ++gx) PutClipped(gx, y + height - 1, colour, clip);
      ++i;
      while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
      x += advance;
    }
    y += height;
  }
}

std::unique_ptr<Picture> SoftwareCanvas::LoadPicture(const std::string& source, int wanted_icon_size) {
  auto picture = std::make_unique<SoftwarePicture>();
  if (!picture->image.LoadFromFile(source, wanted_icon_size, wanted_icon_size)) return nullptr;
  return picture;
}

void SoftwareCanvas::DrawPicture(const Picture& picture, const Rect& dest, int opacity_percent) {
  const auto& image = static_cast<const SoftwarePicture&>(picture).image;
  const imaging::RenderPlan plan = imaging::PlanRender(image.HasImage(), true, image.Width(), image.Height(),
                                                       dest.Width(), dest.Height(), opacity_percent,
                                                       image.Alpha());
  if (!plan.draw) return;
  const std::vector<std::uint8_t> scaled =
      ScalePicture({image.BitsPointer(), image.Width(), image.Height(), image.ScanWidth()}, plan.width,
                   plan.height);
  if (scaled.empty()) return;
  const std::uint32_t ca = plan.constant_alpha;
  for (int y = 0; y < plan.height; ++y) {
    for (int x = 0; x < plan.width; ++x) {
      const int tx = dest.left + x, ty = dest.top + y;
      if (tx < 0 || ty < 0 || tx >= target_.Width() || ty >= target_.Height()) continue;
      const std::uint8_t* s = scaled.data() + (static_cast<std::size_t>(y) * plan.width + x) * 4;
      std::uint8_t* d = target_.BitsPointer() + static_cast<std::size_t>(ty) * target_.ScanWidth() + tx * 4;
      // Premultiplied "over", with the constant alpha applied to the source.
      const std::uint32_t sa = plan.per_pixel_alpha ? (s[3] * ca + 127) / 255 : ca;
      for (int c = 0; c < 3; ++c) {
        const std::uint32_t sc = (s[c] * ca + 127) / 255;
        d[c] = static_cast<std::uint8_t>(std::min<std::uint32_t>(255, sc + (d[c] * (255 - sa) + 127) / 255));
      }
      d[3] = static_cast<std::uint8_t>(std::min<std::uint32_t>(255, sa + (d[3] * (255 - sa) + 127) / 255));
    }
  }
}

bool RegionContains(const Region& region, int x, int y) {
  const Rect& b = region.bounds;
  if (x < b.left || y < b.top || x >= b.right || y >= b.bottom) return false;
  const double rx = region.corner_width / 2.0, ry = region.corner_height / 2.0;
  if (rx < 1 || ry < 1) return true;
  // Distance into the nearest corner's ellipse.
  const double cx = x + 0.5 < b.left + rx ? b.left + rx : (x + 0.5 > b.right - rx ? b.right - rx : x + 0.5);
  const double cy = y + 0.5 < b.top + ry ? b.top + ry : (y + 0.5 > b.bottom - ry ? b.bottom - ry : y + 0.5);
  const double nx = (x + 0.5 - cx) / rx, ny = (y + 0.5 - cy) / ry;
  return nx * nx + ny * ny <= 1.0;
}

void SoftwareCanvas::ApplyRegion(const Region& region) {
  for (int y = 0; y < target_.Height(); ++y) {
    for (int x = 0; x < target_.Width(); ++x) {
      if (RegionContains(region, x, y)) continue;
      std::uint8_t* px = target_.BitsPointer() + static_cast<std::size_t>(y) * target_.ScanWidth() + x * 4;
      px[0] = px[1] = px[2] = px[3] = 0;
    }
  }
}

Colour PixelAt(const imaging::Bitmap32& bitmap, int x, int y) {
  if (!bitmap.HasImage() || x < 0 || y < 0 || x >= bitmap.Width() || y >= bitmap.Height()) return 0;
  const std::uint8_t* px = bitmap.BitsPointer() + static_cast<std::size_t>(y) * bitmap.ScanWidth() + x * 4;
  return Rgb(px[2], px[1], px[0]);
}

int AlphaAt(const imaging::Bitmap32& bitmap, int x, int y) {
  if (!bitmap.HasImage() || x < 0 || y < 0 || x >= bitmap.Width() || y >= bitmap.Height()) return 0;
  return bitmap.BitsPointer()[static_cast<std::size_t>(y) * bitmap.ScanWidth() + x * 4 + 3];
}

}  // namespace movarin::skin
