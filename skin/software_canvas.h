#pragma once
// A canvas that draws into the image loader's 32-bit bitmap, without any platform: the
// native pixel tests and the benchmarks draw the skinned controls through it. Its type
// face is a plain stand-in (every character a solid box in a fixed-width cell; prefix
// marks underline), so text lands where the layout puts it without a font engine.
#include <cstdint>
#include <memory>
#include <string>

#include "imaging/bitmap32.h"
#include "skin/canvas.h"

namespace movarin::skin {

class SoftwareCanvas final : public Canvas {
 public:
  // Draws into `target`, which must hold an image (Bitmap32::Create).
  explicit SoftwareCanvas(imaging::Bitmap32& target, int dpi = 96);

  Size Extent() const override;
  int Dpi() const override { return dpi_; }
  void FillRect(const Rect& rect, Colour colour) override;
  void Line(Point from, Point to, Colour colour) override;
  void SetPixel(Point at, Colour colour) override;
  void VerticalGradient(const Rect& rect, Colour top, Colour bottom) override;
  void FourColourGradient(const Rect& rect, Colour top_left, Colour top_right, Colour bottom_left,
                          Colour bottom_right) override;
  void RoundRectFrame(const Rect& rect, int corner, Colour colour) override;
  void SetFont(const Font& font) override { font_ = font; }
  Size MeasureText(std::string_view utf8) override;
  void DrawText(std::string_view utf8, const Rect& rect, unsigned flags, Colour colour) override;
  std::unique_ptr<Picture> LoadPicture(const std::string& source, int wanted_icon_size) override;
  void DrawPicture(const Picture& picture, const Rect& dest, int opacity_percent) override;

  // Makes every pixel outside the region fully transparent (alpha 0, colour 0).
  void ApplyRegion(const Region& region);

  // The stand-in type face's cell: line height and character advance in pixels.
  int LineHeight() const;
  int Advance() const;

 private:
  void Put(int x, int y, Colour colour);
  void PutClipped(int x, int y, Colour colour, const Rect& clip);

  imaging::Bitmap32& target_;
  int dpi_;
  Font font_;
};

// The colour of a pixel of a 32-bit bitmap (ignoring alpha); 0 outside it.
Colour PixelAt(const imaging::Bitmap32& bitmap, int x, int y);
// Its alpha.
int AlphaAt(const imaging::Bitmap32& bitmap, int x, int y);

// Inside a rounded-rectangle region (as GDI's CreateRoundRectRgn shapes it, to within
// the corner ellipse's own rounding).
bool RegionContains(const Region& region, int x, int y);

}  // namespace movarin::skin
