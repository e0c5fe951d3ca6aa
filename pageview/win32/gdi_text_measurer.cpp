#include "pageview/win32/gdi_text_measurer.h"

#include "platform/win32/text.h"

namespace movarin::pageview::win32 {

namespace {

// Heading sizes in percent of body text, h1 to h6.
constexpr int kHeadingPercent[] = {200, 150, 117, 100, 83, 67};

}  // namespace

PageFonts::PageFonts(int dpi) : dpi_(dpi > 0 ? dpi : 96) {}

HFONT PageFonts::Font(const TextStyle& style) {
  for (const auto& [cached, font] : fonts_) {
    if (cached == style) return static_cast<HFONT>(font.get());
  }
  const int percent = style.heading >= 1 && style.heading <= 6 ? kHeadingPercent[style.heading - 1] : 100;
  LOGFONTW font{};
  font.lfHeight = -MulDiv(kBodyPoints * percent, dpi_, 72 * 100);
  font.lfWeight = style.bold ? FW_BOLD : FW_NORMAL;
  font.lfItalic = style.italic ? TRUE : FALSE;
  font.lfUnderline = style.underline ? TRUE : FALSE;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = CLEARTYPE_QUALITY;
  wcscpy_s(font.lfFaceName, L"Tahoma");
  fonts_.emplace_back(style, movarin::win32::UniqueGdiObject(CreateFontIndirectW(&font)));
  return static_cast<HFONT>(fonts_.back().second.get());
}

GdiTextMeasurer::GdiTextMeasurer(PageFonts& fonts) : fonts_(fonts), dc_(CreateCompatibleDC(nullptr)) {}

GdiTextMeasurer::~GdiTextMeasurer() {
  // The fonts belong to PageFonts: none stays selected into this DC.
  if (dc_ && original_font_) SelectObject(dc_.get(), original_font_);
}

void GdiTextMeasurer::Select(const TextStyle& style) {
  if (!dc_) return;
  const HGDIOBJ previous = SelectObject(dc_.get(), fonts_.Font(style));
  if (!original_font_) original_font_ = previous;
}

FontMetrics GdiTextMeasurer::Metrics(const TextStyle& style) {
  Select(style);
  TEXTMETRICW metrics{};
  if (!dc_ || !GetTextMetricsW(dc_.get(), &metrics)) return {16, 12};
  return {static_cast<int>(metrics.tmHeight), static_cast<int>(metrics.tmAscent)};
}

int GdiTextMeasurer::Width(std::string_view utf8, const TextStyle& style) {
  Select(style);
  const std::wstring text = movarin::win32::Widen(utf8);
  SIZE size{};
  if (!dc_ || text.empty() ||
      !GetTextExtentPoint32W(dc_.get(), text.c_str(), static_cast<int>(text.size()), &size)) {
    return 0;
  }
  return static_cast<int>(size.cx);
}

}  // namespace movarin::pageview::win32
