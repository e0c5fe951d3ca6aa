#include "tests/e2e/driver/skin_probe.h"

#include <algorithm>

#include "platform/win32/handles.h"

namespace movarin::e2e {

int HalfToEven(int twice) { return (twice / 2) + ((twice % 2) && ((twice / 2) % 2) ? 1 : 0); }

SkinCaption MeasureSkinCaption(HWND skin, bool with_icon) {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  win32::UniqueMemoryDc dc(CreateCompatibleDC(screen));
  ReleaseDC(nullptr, screen);
  win32::UniqueGdiObject font(CreateFontW(-MulDiv(1200, dpi, 7200), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                                          DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                          DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Tahoma"));
  win32::SelectObjectScope select(dc.get(), font.get());
  TEXTMETRICW tm{};
  GetTextMetricsW(dc.get(), &tm);
  SkinCaption caption;
  caption.height = tm.tmHeight + 10;
  if (with_icon) caption.height = std::max<int>(caption.height, 16 + 10);
  caption.button_top = HalfToEven(caption.height - 16);
  RECT r{};
  GetClientRect(skin, &r);
  caption.close_left = r.right - 21;
  return caption;
}

}  // namespace movarin::e2e
