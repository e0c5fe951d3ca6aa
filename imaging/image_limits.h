#pragma once
// What the loader accepts at most. Button pictures are small; these limits only keep a
// hostile file from making the program allocate without bound.
#include <cstddef>
#include <cstdint>

namespace movarin::imaging {

inline constexpr std::uint32_t kMaxImageSide = 32768;
// 4096 x 4096 pixels, 64 MiB of BGRA.
inline constexpr std::size_t kMaxImagePixels = std::size_t(1) << 24;
// Larger files are refused before they are read.
inline constexpr std::size_t kMaxFileBytes = std::size_t(256) << 20;
// Files of this size or smaller are never pictures.
inline constexpr std::size_t kMinPictureBytes = 56;

}  // namespace movarin::imaging
