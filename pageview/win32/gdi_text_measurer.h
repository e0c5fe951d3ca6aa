#pragma once
// The page view's fonts and its text measurer on GDI. Body text is 10 point Tahoma;
// headings are larger (h1 twice the size), all sizes scaled by the screen's DPI.
#include <windows.h>

#include <string_view>
#include <utility>
#include <vector>

#include "pageview/page_layout.h"
#include "platform/win32/handles.h"

namespace movarin::pageview::win32 {

class PageFonts {
 public:
  explicit PageFonts(int dpi);
  PageFonts(const PageFonts&) = delete;
  PageFonts& operator=(const PageFonts&) = delete;

  // The font of a style, created on first use and kept.
  HFONT Font(const TextStyle& style);

  static constexpr int kBodyPoints = 10;

 private:
  int dpi_;
  std::vector<std::pair<TextStyle, movarin::win32::UniqueGdiObject>> fonts_;
};

class GdiTextMeasurer final : public TextMeasurer {
 public:
  explicit GdiTextMeasurer(PageFonts& fonts);
  ~GdiTextMeasurer() override;
  GdiTextMeasurer(const GdiTextMeasurer&) = delete;
  GdiTextMeasurer& operator=(const GdiTextMeasurer&) = delete;

  FontMetrics Metrics(const TextStyle& style) override;
  int Width(std::string_view utf8, const TextStyle& style) override;

 private:
  void Select(const TextStyle& style);

  PageFonts& fonts_;
  movarin::win32::UniqueMemoryDc dc_;
  HGDIOBJ original_font_ = nullptr;
};

}  // namespace movarin::pageview::win32
