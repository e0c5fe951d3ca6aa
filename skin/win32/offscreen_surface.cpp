#include "skin/win32/offscreen_surface.h"

#include "platform/win32/dib.h"

namespace movarin::skin::win32 {

OffscreenSurface::~OffscreenSurface() { Release(); }

void OffscreenSurface::Release() {
  if (dc_ && previous_) SelectObject(dc_.get(), previous_);
  previous_ = nullptr;
  bitmap_.reset();
  dc_.reset();
  bits_ = nullptr;
  width_ = height_ = 0;
}

bool OffscreenSurface::Resize(int width, int height) {
  if (Ready() && width == width_ && height == height_) return true;
  Release();
  if (width < 1 || height < 1) return false;
  dc_.reset(CreateCompatibleDC(nullptr));
  BITMAPINFO info = movarin::win32::TopDown32BitInfo(width, height);
  void* bits = nullptr;
  bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dc_ || !bitmap_ || !bits) {
    Release();
    return false;
  }
  previous_ = SelectObject(dc_.get(), bitmap_.get());
  bits_ = static_cast<std::uint8_t*>(bits);
  width_ = width;
  height_ = height;
  return true;
}

void OffscreenSurface::CopyTo(HDC target) const { CopyTo(target, RECT{0, 0, width_, height_}); }

void OffscreenSurface::CopyTo(HDC target, const RECT& part) const {
  if (!Ready() || !target) return;
  BitBlt(target, part.left, part.top, part.right - part.left, part.bottom - part.top, dc_.get(), part.left,
         part.top, SRCCOPY);
}

}  // namespace movarin::skin::win32
