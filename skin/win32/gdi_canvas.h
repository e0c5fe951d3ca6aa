#pragma once
// The skinned controls' canvas on GDI: fills and gradients with msimg32's GradientFill,
// pictures through the image loader with AlphaBlend, text with DrawText. It draws onto
// any device context (the controls give it their off-screen image).
#include <windows.h>

#include <memory>
#include <string>

#include "platform/win32/handles.h"
#include "skin/canvas.h"

namespace movarin::skin::win32 {

class GdiCanvas final : public Canvas {
 public:
  // Draws onto `dc`, whose drawable area is width x height pixels; fonts are made for
  // `dpi` (the screen's when 0).
  GdiCanvas(HDC dc, int width, int height, int dpi = 0);
  ~GdiCanvas() override;
  GdiCanvas(const GdiCanvas&) = delete;
  GdiCanvas& operator=(const GdiCanvas&) = delete;

  Size Extent() const override { return {width_, height_}; }
  int Dpi() const override { return dpi_; }
  void FillRect(const Rect& rect, Colour colour) override;
  void Line(Point from, Point to, Colour colour) override;
  void SetPixel(Point at, Colour colour) override;
  void VerticalGradient(const Rect& rect, Colour top, Colour bottom) override;
  void FourColourGradient(const Rect& rect, Colour top_left, Colour top_right, Colour bottom_left,
                          Colour bottom_right) override;
  void RoundRectFrame(const Rect& rect, int corner, Colour colour) override;
  void SetFont(const Font& font) override;
  Size MeasureText(std::string_view utf8) override;
  void DrawText(std::string_view utf8, const Rect& rect, unsigned flags, Colour colour) override;
  std::unique_ptr<Picture> LoadPicture(const std::string& source, int wanted_icon_size) override;
  void DrawPicture(const Picture& picture, const Rect& dest, int opacity_percent) override;

 private:
  HDC dc_;
  int width_, height_, dpi_;
  Font font_;
  movarin::win32::UniqueGdiObject font_handle_;
  HGDIOBJ previous_font_ = nullptr;
};

// A GDI font for a skin font at a DPI.
HFONT CreateSkinFont(const Font& font, int dpi);
// A skin font from a GDI font (for WM_SETFONT).
Font FontFromHandle(HFONT font, int dpi);
// The window region of a Region, or nullptr.
HRGN CreateRegion(const Region& region);

}  // namespace movarin::skin::win32
