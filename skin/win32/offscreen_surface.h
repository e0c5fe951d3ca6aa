#pragma once
// A control's off-screen image: a 32-bit DIB section in a memory DC of the control's
// size. The control draws into it and copies it onto the screen in one step, so nothing
// flickers; it keeps its image between paints.
#include <windows.h>

#include <cstdint>

#include "platform/win32/handles.h"

namespace movarin::skin::win32 {

class OffscreenSurface {
 public:
  OffscreenSurface() = default;
  OffscreenSurface(const OffscreenSurface&) = delete;
  OffscreenSurface& operator=(const OffscreenSurface&) = delete;
  ~OffscreenSurface();

  // (Re)creates the image for a new size; false when it could not be made.
  bool Resize(int width, int height);
  bool Ready() const { return dc_ && bitmap_; }
  HDC dc() const { return dc_.get(); }
  HBITMAP bitmap() const { return static_cast<HBITMAP>(bitmap_.get()); }
  int Width() const { return width_; }
  int Height() const { return height_; }
  const std::uint8_t* Bits() const { return bits_; }
  // Copies the image (or the given part of it) onto a device context at (0, 0).
  void CopyTo(HDC target) const;
  void CopyTo(HDC target, const RECT& part) const;

 private:
  void Release();

  movarin::win32::UniqueMemoryDc dc_;
  movarin::win32::UniqueGdiObject bitmap_;
  HGDIOBJ previous_ = nullptr;
  std::uint8_t* bits_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace movarin::skin::win32
