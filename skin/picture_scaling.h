#pragma once
// Scaling a premultiplied BGRA picture to a drawing size: an area average when it
// shrinks (so a large picture stays clean at button size), the nearest pixel when it
// grows.
#include <cstdint>
#include <vector>

namespace movarin::skin {

struct PixelView {
  const std::uint8_t* bits = nullptr;  // rows top-down, 4 bytes a pixel
  int width = 0;
  int height = 0;
  int stride = 0;  // bytes a row
};

// Returns width * height * 4 bytes, rows top-down; empty when a size is below 1.
std::vector<std::uint8_t> ScalePicture(const PixelView& source, int width, int height);

}  // namespace movarin::skin
