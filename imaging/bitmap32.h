#pragma once
// The image object: loads PNG, GIF, ICO/CUR and BMP data (recognised by content, never
// by file name) into one 32-bit premultiplied BGRA bitmap and saves it as a 32-bit BMP.
// This is the portable side; imaging/win32/gdi_bitmap32.h adds the DIB section and
// drawing.
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

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
  explicit Bitmap32(SurfaceFactory factory = nullptr);
  virtual ~Bitmap32();
  Bitmap32(const Bitmap32&) = delete;
  Bitmap32& operator=(const Bitmap32&) = delete;

  // Each load first destroys the previous image; on failure there is no image.
  bool LoadFromFile(const std::string& file_name, int wanted_icon_width = 0,
                    int wanted_icon_height = 0, bool keep_source_bytes = false);
  // `start` below 0 is raised to 0; `length` 0 means up to the end, and a length
  // reaching past the end is cut there.
  bool LoadFromBytes(std::span<const std::uint8_t> bytes, int wanted_icon_width = 0,
                     int wanted_icon_height = 0, std::int64_t start = 0, std::int64_t length = 0,
                     bool keep_source_bytes = false);

  // A new transparent image (all bytes 0).
  bool Create(int width, int height);
  void Destroy();
  bool CopyTo(Bitmap32& other, bool copy_source_bytes) const;

  // Computes a drawing size, leaves the pixels alone; nothing without an image.
  // Mode 0 fits inside the destination, 1 fits without enlarging, 2 is the destination
  // size, anything else the image's own size.
  void ScaleImage(int dest_width, int dest_height, int& new_width, int& new_height, int mode) const;

  // The image as a 32-bit BMP file; empty without an image.
  std::vector<std::uint8_t> SaveToStream() const;
  // Replaces the file only once the new one is completely written.
  bool SaveToFile(const std::string& file_name, bool prompt_before_overwriting);

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
  // Why the last load or save failed.
  ImageError LastError() const { return last_error_; }

 protected:
  // Asked before an existing file is replaced; here the answer is always yes.
  virtual bool ConfirmOverwrite(const std::string& file_name) { return true; }
  // Moves the finished temporary file over the target.
  virtual bool ReplaceFile(const std::string& temporary, const std::string& target);
  // Decodes what none of our parsers handles (the system picture loader on Windows).
  virtual ImageError DecodeOther(std::span<const std::uint8_t> bytes, DecodedImage& image) {
    return ImageError::Unrecognised;
  }
  // Called before the pixels are released (the Windows side deselects its DC).
  virtual void BeforeDestroy() {}
  PixelSurface* Surface() { return surface_.get(); }
  bool Adopt(const DecodedImage& image);
  bool Fail(ImageError error);

 private:
  bool RunPipeline(std::span<const std::uint8_t> bytes, int wanted_width, int wanted_height);

  SurfaceFactory factory_;
  std::unique_ptr<PixelSurface> surface_;
  int width_ = 0;
  int height_ = 0;
  bool alpha_ = false;
  std::int32_t image_type_ = 0;
  std::vector<std::uint8_t> source_bytes_;
  ImageError last_error_ = ImageError::None;
};

// Reads a whole file of at most `max_bytes` (UTF-8 name).
ImageError ReadWholeFile(const std::string& file_name, std::size_t max_bytes,
                         std::vector<std::uint8_t>& bytes);

}  // namespace movarin::imaging
