#pragma once
// The image object: loads PNG, GIF, ICO/CUR and BMP data (recognised by content, never
// by file name) into one 32-bit premultiplied BGRA bitmap and saves it as a 32-bit BMP.
// This is the portable side; imaging/win32/bitmap32.h adds the DIB section and
// drawing.
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "base/result.h"
#include "imaging/decoded_image.h"
#include "imaging/image_error.h"

namespace movarin::imaging {

// Where the pixels live: heap memory here, a DIB section on Windows. Rows top-down,
// ScanWidth bytes each.
class PixelSurface {
 public:
  virtual ~PixelSurface() = default;
  virtual std::uint8_t* Bits() = 0;
};
using SurfaceFactory = std::function<std::unique_ptr<PixelSurface>(int width, int height)>;

class Bitmap32 {
 public:
  using Status = base::Result<void, ImageError>;

  explicit Bitmap32(SurfaceFactory factory = nullptr);
  virtual ~Bitmap32();
  Bitmap32(const Bitmap32&) = delete;
  Bitmap32& operator=(const Bitmap32&) = delete;

  // Each load first destroys the previous image; on failure there is no image, and the
  // error says why.
  Status LoadFromFile(const std::string& file_name, int wanted_icon_width = 0,
                      int wanted_icon_height = 0, bool keep_source_bytes = false);
  // `start` below 0 is raised to 0; `length` 0 means up to the end, and a length
  // reaching past the end is cut there.
  Status LoadFromBytes(std::span<const std::uint8_t> bytes, int wanted_icon_width = 0,
                       int wanted_icon_height = 0, std::int64_t start = 0, std::int64_t length = 0,
                       bool keep_source_bytes = false);

  // A new transparent image (all bytes 0).
  Status Create(int width, int height);
  void Destroy();
  // Without an image of its own, `other` loses its image too (kNoImage).
  Status CopyTo(Bitmap32& other, bool copy_source_bytes) const;

  // Computes a drawing size, leaves the pixels alone; nothing without an image.
  // Mode 0 fits inside the destination, 1 fits without enlarging, 2 is the destination
  // size, anything else the image's own size.
  void ScaleImage(int dest_width, int dest_height, int& new_width, int& new_height, int mode) const;

  // The image as a 32-bit BMP file; empty without an image.
  std::vector<std::uint8_t> SaveToStream() const;
  // Replaces the file (read-only or not) only once the new one is completely written.
  Status SaveToFile(const std::string& file_name, bool prompt_before_overwriting);

  bool HasImage() const { return surface_ != nullptr; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  int ScanWidth() const;
  bool Alpha() const { return alpha_; }
  void SetAlpha(bool alpha) { alpha_ = alpha; }
  std::int32_t ImageType() const { return image_type_; }
  void SetImageType(std::int32_t type) { image_type_ = type; }
  std::uint8_t* BitsPointer() { return surface_ ? surface_->Bits() : nullptr; }
  const std::uint8_t* BitsPointer() const { return surface_ ? surface_->Bits() : nullptr; }
  const std::vector<std::uint8_t>& SourceBytes() const { return source_bytes_; }

 protected:
  // Asked before an existing file is replaced; here the answer is always yes.
  virtual bool ConfirmOverwrite(const std::string& file_name) { return true; }
  // Decodes what none of our parsers handles (the system picture loader on Windows).
  virtual base::Result<DecodedImage, ImageError> DecodeOther(std::span<const std::uint8_t> bytes) {
    return ImageError::kUnrecognised;
  }
  // Called before the pixels are released (the Windows side deselects its DC).
  virtual void BeforeDestroy() {}
  PixelSurface* Surface() { return surface_.get(); }
  // Takes over a decoded image, or destroys the image and passes the error on.
  Status Adopt(const base::Result<DecodedImage, ImageError>& decoded);
  // Destroys the image and returns the error.
  Status Fail(ImageError error);

 private:
  Status RunPipeline(std::span<const std::uint8_t> bytes, int wanted_width, int wanted_height);

  SurfaceFactory factory_;
  std::unique_ptr<PixelSurface> surface_;
  int width_ = 0;
  int height_ = 0;
  bool alpha_ = false;
  std::int32_t image_type_ = 0;
  std::vector<std::uint8_t> source_bytes_;
};

}  // namespace movarin::imaging
