#include "tests/e2e/driver/screenshot.h"

#include <cstdint>
#include <vector>

#include "platform/win32/dib.h"
#include "platform/win32/handles.h"
#include "platform/win32/text.h"
#include "tests/e2e/driver/input.h"
#include "tests/e2e/driver/png_writer.h"
#include "tests/support/environment.h"
#include "tests/support/files.h"

namespace movarin::e2e {
namespace {

bool Fail(std::string* error, const std::string& why) {
  if (error) *error = why;
  return false;
}

// Copies the screen rectangle into top-down RGB bytes.
bool CaptureScreen(const RECT& r, std::vector<std::uint8_t>& rgb, std::string* error) {
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return Fail(error, "empty rectangle");
  HDC screen = GetDC(nullptr);
  if (!screen) return Fail(error, "no screen DC");
  win32::UniqueMemoryDc memory(CreateCompatibleDC(screen));
  BITMAPINFO info = movarin::win32::TopDown32BitInfo(width, height);
  void* bits = nullptr;
  win32::UniqueGdiObject bitmap(CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  bool copied = false;
  if (memory && bitmap && bits) {
    win32::SelectObjectScope select(memory.get(), bitmap.get());
    copied = BitBlt(memory.get(), 0, 0, width, height, screen, r.left, r.top, SRCCOPY) != 0;
    GdiFlush();
  }
  ReleaseDC(nullptr, screen);
  if (!copied) return Fail(error, "BitBlt from the screen failed");
  const auto* bgra = static_cast<const std::uint8_t*>(bits);
  const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  rgb.resize(pixels * 3);
  for (std::size_t i = 0; i < pixels; ++i) {
    rgb[i * 3] = bgra[i * 4 + 2];
    rgb[i * 3 + 1] = bgra[i * 4 + 1];
    rgb[i * 3 + 2] = bgra[i * 4];
  }
  return true;
}

// Names become file names: anything but letters, digits, '-', '_' and '.' becomes '_'.
std::string SafeName(const std::string& name) {
  std::string out;
  for (unsigned char c : name) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                       (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
    out.push_back(plain ? static_cast<char>(c) : '_');
  }
  return out.empty() ? "screenshot" : out;
}

}  // namespace

std::string OutputFolder() {
  const auto source = test::SourceDir();
  const std::string folder = (source ? *source : std::string(".")) + "\\out";
  CreateDirectoryW(win32::Widen(folder).c_str(), nullptr);
  return folder;
}

COLORREF ScreenPixel(POINT at) {
  HDC screen = GetDC(nullptr);
  if (!screen) return CLR_INVALID;
  const COLORREF colour = GetPixel(screen, at.x, at.y);
  ReleaseDC(nullptr, screen);
  return colour;
}

std::optional<std::string> SaveScreenRegion(const RECT& screen_rect, const std::string& name,
                                            std::string* error) {
  // Only what lies on the screen can be copied.
  RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  RECT r{};
  if (!IntersectRect(&r, &screen_rect, &screen)) {
    Fail(error, "the rectangle lies off the screen");
    return std::nullopt;
  }
  std::vector<std::uint8_t> rgb;
  if (!CaptureScreen(r, rgb, error)) return std::nullopt;
  const std::string png = EncodePng(static_cast<std::uint32_t>(r.right - r.left),
                                    static_cast<std::uint32_t>(r.bottom - r.top), rgb, error);
  if (png.empty()) return std::nullopt;
  const std::string path = OutputFolder() + "\\" + SafeName(name) + ".png";
  if (!test::WriteWholeFile(path, png)) {
    Fail(error, "cannot write " + path);
    return std::nullopt;
  }
  return path;
}

std::optional<std::string> SaveWindowScreenshot(HWND window, const std::string& name,
                                                std::string* error) {
  RECT r{};
  if (!IsWindow(window) || !GetWindowRect(window, &r)) {
    Fail(error, "no such window");
    return std::nullopt;
  }
  // A popped-up menu is already on top, and activating anything would close it.
  wchar_t cls[16] = {};
  GetClassNameW(window, cls, 16);
  if (lstrcmpW(cls, L"#32768") != 0) {
    BringToFront(window);
    // Give the program a moment to repaint what was covered.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Sleep(150);
  }
  return SaveScreenRegion(r, name, error);
}

}  // namespace movarin::e2e
