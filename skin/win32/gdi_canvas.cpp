#include "skin/win32/gdi_canvas.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "imaging/win32/bitmap32.h"
#include "platform/win32/text.h"
#include "platform/win32/window.h"
#include "skin/picture_scaling.h"

namespace movarin::skin::win32 {
namespace {

COLORREF Ref(Colour c) { return static_cast<COLORREF>(c & 0x00FFFFFF); }

TRIVERTEX Vertex(int x, int y, Colour c) {
  TRIVERTEX v{};
  v.x = x;
  v.y = y;
  v.Red = static_cast<COLOR16>(Red(c) << 8);
  v.Green = static_cast<COLOR16>(Green(c) << 8);
  v.Blue = static_cast<COLOR16>(Blue(c) << 8);
  v.Alpha = 0xFF00;
  return v;
}

class GdiPicture final : public Picture {
 public:
  int Width() const override { return image.Width(); }
  int Height() const override { return image.Height(); }
  mutable imaging::win32::Bitmap32 image;
};

struct IconTraits {
  static HICON Invalid() { return nullptr; }
  static void Close(HICON h) { DestroyIcon(h); }
};

}  // namespace

HFONT CreateSkinFont(const Font& font, int dpi) {
  const std::wstring name = movarin::win32::Widen(font.name);
  return CreateFontW(-MulDiv(font.hundredths_of_point, dpi, 7200), 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL,
                     font.italic, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, name.c_str());
}

Font FontFromHandle(HFONT handle, int dpi) {
  LOGFONTW lf{};
  Font font;
  if (!handle || !GetObjectW(handle, sizeof lf, &lf)) return font;
  font.name = movarin::win32::Narrow(lf.lfFaceName);
  const int height = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
  if (height > 0 && dpi > 0) font.hundredths_of_point = MulDiv(height, 7200, dpi);
  font.bold = lf.lfWeight >= FW_BOLD;
  font.italic = lf.lfItalic != 0;
  return font;
}

HRGN CreateRegion(const Region& r) {
  if (r.corner_width <= 0 || r.corner_height <= 0)
    return CreateRectRgn(r.bounds.left, r.bounds.top, r.bounds.right, r.bounds.bottom);
  return CreateRoundRectRgn(r.bounds.left, r.bounds.top, r.bounds.right, r.bounds.bottom, r.corner_width,
                            r.corner_height);
}

GdiCanvas::GdiCanvas(HDC dc, int width, int height, int dpi)
    : dc_(dc), width_(width), height_(height), dpi_(dpi > 0 ? dpi : movarin::win32::ScreenDpi()) {
  SetBkMode(dc_, TRANSPARENT);
}

GdiCanvas::~GdiCanvas() {
  if (previous_font_) SelectObject(dc_, previous_font_);
}

void GdiCanvas::FillRect(const Rect& r, Colour colour) {
  if (r.Empty()) return;
  SetDCBrushColor(dc_, Ref(colour));
  const RECT rect{r.left, r.top, r.right, r.bottom};
  ::FillRect(dc_, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void GdiCanvas::Line(Point from, Point to, Colour colour) {
  // Straight lines are one-pixel rectangles (the same pixels a pen draws, end excluded).
  if (from.y == to.y) {
    if (from.x == to.x) return;
    const int left = from.x < to.x ? from.x : to.x + 1;
    const int right = from.x < to.x ? to.x : from.x + 1;
    FillRect({left, from.y, right, from.y + 1}, colour);
    return;
  }
  if (from.x == to.x) {
    const int top = from.y < to.y ? from.y : to.y + 1;
    const int bottom = from.y < to.y ? to.y : from.y + 1;
    FillRect({from.x, top, from.x + 1, bottom}, colour);
    return;
  }
  HGDIOBJ old_pen = SelectObject(dc_, GetStockObject(DC_PEN));
  SetDCPenColor(dc_, Ref(colour));
  MoveToEx(dc_, from.x, from.y, nullptr);
  LineTo(dc_, to.x, to.y);
  SelectObject(dc_, old_pen);
}

void GdiCanvas::SetPixel(Point at, Colour colour) { SetPixelV(dc_, at.x, at.y, Ref(colour)); }

void GdiCanvas::VerticalGradient(const Rect& r, Colour top, Colour bottom) {
  if (r.Empty()) return;
  TRIVERTEX v[2] = {Vertex(r.left, r.top, top), Vertex(r.right, r.bottom, bottom)};
  GRADIENT_RECT g{0, 1};
  GradientFill(dc_, v, 2, &g, 1, GRADIENT_FILL_RECT_V);
}

void GdiCanvas::FourColourGradient(const Rect& r, Colour tl, Colour tr, Colour bl, Colour br) {
  if (r.Empty()) return;
  // Row by row: each row a horizontal gradient between its edges' colours.
  const int height = r.Height();
  for (int y = r.top; y < r.bottom; ++y) {
    const Colour left = InterpolateDown(tl, bl, y - r.top, height);
    const Colour right = InterpolateDown(tr, br, y - r.top, height);
    TRIVERTEX v[2] = {Vertex(r.left, y, left), Vertex(r.right, y + 1, right)};
    GRADIENT_RECT g{0, 1};
    GradientFill(dc_, v, 2, &g, 1, GRADIENT_FILL_RECT_H);
  }
}

void GdiCanvas::RoundRectFrame(const Rect& r, int corner, Colour colour) {
  HGDIOBJ old_pen = SelectObject(dc_, GetStockObject(DC_PEN));
  HGDIOBJ old_brush = SelectObject(dc_, GetStockObject(NULL_BRUSH));
  SetDCPenColor(dc_, Ref(colour));
  RoundRect(dc_, r.left, r.top, r.right, r.bottom, corner, corner);
  SelectObject(dc_, old_brush);
  SelectObject(dc_, old_pen);
}

void GdiCanvas::SetFont(const Font& font) {
  if (font_handle_ && font == font_) return;
  HFONT made = CreateSkinFont(font, dpi_);
  if (!made) return;
  HGDIOBJ old = SelectObject(dc_, made);
  if (!previous_font_) previous_font_ = old;
  font_handle_.reset(made);  // the one selected before is released only after it left the DC
  font_ = font;
}

Size GdiCanvas::MeasureText(std::string_view utf8) {
  TEXTMETRICW tm{};
  GetTextMetricsW(dc_, &tm);
  SIZE size{};
  const std::wstring text = movarin::win32::Widen(utf8);
  if (!text.empty()) GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &size);
  return {static_cast<int>(size.cx), static_cast<int>(tm.tmHeight)};
}

void GdiCanvas::DrawText(std::string_view utf8, const Rect& r, unsigned flags, Colour colour) {
  std::wstring text = movarin::win32::Widen(utf8);
  if (text.empty()) return;
  UINT format = 0;
  if (flags & kTextCentre) format |= DT_CENTER;
  if (flags & kTextVerticalCentre) format |= DT_VCENTER;
  if (flags & kTextSingleLine) format |= DT_SINGLELINE;
  if (flags & kTextWordBreak) format |= DT_WORDBREAK;
  if (flags & kTextNoPrefix) format |= DT_NOPREFIX;
  if (flags & kTextNoClip) format |= DT_NOCLIP;
  SetTextColor(dc_, Ref(colour));
  SetBkMode(dc_, TRANSPARENT);
  RECT rect{r.left, r.top, r.right, r.bottom};
  ::DrawTextW(dc_, text.c_str(), static_cast<int>(text.size()), &rect, format);
}

std::unique_ptr<Picture> GdiCanvas::LoadPicture(const std::string& source, int wanted_icon_size) {
  auto picture = std::make_unique<GdiPicture>();
  if (source.size() > 1 && source[0] == '#') {
    // An icon of the program itself, by resource number.
    const int id = std::atoi(source.c_str() + 1);
    const int size = wanted_icon_size > 0 ? wanted_icon_size : 32;
    movarin::win32::UniqueHandle<HICON, IconTraits> icon(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    if (!icon || !picture->image.LoadFromHandle(icon.get())) return nullptr;
    return picture;
  }
  if (!picture->image.LoadFromFile(source, wanted_icon_size, wanted_icon_size)) return nullptr;
  return picture;
}

void GdiCanvas::DrawPicture(const Picture& picture, const Rect& dest, int opacity_percent) {
  auto& image = static_cast<const GdiPicture&>(picture).image;
  if (!image.HasImage() || dest.Empty()) return;
  if (dest.Width() == image.Width() && dest.Height() == image.Height()) {
    image.Render(dc_, dest.left, dest.top, dest.Width(), dest.Height(), opacity_percent);
    return;
  }
  // Scaled by area averaging first: a stretching blend would drop most of a large
  // picture's pixels and leave it ragged.
  const std::vector<std::uint8_t> scaled = ScalePicture(
      {image.BitsPointer(), image.Width(), image.Height(), image.ScanWidth()}, dest.Width(), dest.Height());
  imaging::win32::Bitmap32 small;
  if (scaled.empty() || !small.Create(dest.Width(), dest.Height())) return;
  std::memcpy(small.BitsPointer(), scaled.data(), scaled.size());
  small.SetAlpha(image.Alpha());
  small.Render(dc_, dest.left, dest.top, dest.Width(), dest.Height(), opacity_percent);
}

}  // namespace movarin::skin::win32
