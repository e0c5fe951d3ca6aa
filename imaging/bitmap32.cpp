#include "imaging/bitmap32.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>

#include "base/files.h"
#include "imaging/bmp_parser.h"
#include "imaging/bmp_writer.h"
#include "imaging/gif_parser.h"
#include "imaging/ico_parser.h"
#include "imaging/image_limits.h"
#include "imaging/png_parser.h"

namespace movarin::imaging {
namespace {

class HeapSurface final : public PixelSurface {
 public:
  explicit HeapSurface(std::size_t bytes) : bits_(bytes, 0) {}
  std::uint8_t* Bits() override { return bits_.data(); }

 private:
  std::vector<std::uint8_t> bits_;
};

}  // namespace

Bitmap32::Bitmap32(SurfaceFactory factory) : factory_(std::move(factory)) {
  if (!factory_) {
    factory_ = [](int w, int h) { return std::make_unique<HeapSurface>(std::size_t(w) * h * 4); };
  }
}

Bitmap32::~Bitmap32() = default;

int Bitmap32::ScanWidth() const {
  // Rows of 32-bit pixels padded to 4 bytes: always width * 4.
  return ((width_ * 32 + 31) & ~31) / 8;
}

Bitmap32::Status Bitmap32::Fail(ImageError error) {
  Destroy();
  return error;
}

void Bitmap32::Destroy() {
  if (surface_) BeforeDestroy();
  surface_.reset();
  width_ = height_ = 0;
  alpha_ = false;
  image_type_ = 0;
  source_bytes_.clear();
}

Bitmap32::Status Bitmap32::Create(int width, int height) {
  Destroy();
  if (width < 1 || height < 1 || std::uint64_t(width) > kMaxImageSide ||
      std::uint64_t(height) > kMaxImageSide || std::uint64_t(width) * height > kMaxImagePixels) {
    return ImageError::kImageTooLarge;
  }
  surface_ = factory_(width, height);
  if (!surface_ || !surface_->Bits()) {
    surface_.reset();
    return ImageError::kNoImage;
  }
  width_ = width;
  height_ = height;
  return {};
}

Bitmap32::Status Bitmap32::Adopt(const base::Result<DecodedImage, ImageError>& decoded) {
  if (!decoded) return Fail(decoded.error());
  if (auto created = Create(decoded->width, decoded->height); !created) return Fail(created.error());
  std::memcpy(BitsPointer(), decoded->pixels.data(), decoded->pixels.size());
  alpha_ = decoded->alpha;
  image_type_ = decoded->image_type;
  return {};
}

Bitmap32::Status Bitmap32::RunPipeline(std::span<const std::uint8_t> bytes, int wanted_width,
                                       int wanted_height) {
  wanted_width = std::max(wanted_width, 0);
  wanted_height = std::max(wanted_height, 0);
  if (PngParser::IsPng(bytes)) return Adopt(PngParser().Decode(bytes));
  // Only a PNG's verdict is final. Data that starts like a GIF but does not decode as
  // one goes on to the other readers; if none of them knows it, the GIF reader's reason
  // is the one given.
  std::optional<ImageError> gif_error;
  if (GifParser::IsGif(bytes)) {
    auto gif = GifParser().Decode(bytes);
    if (gif) return Adopt(gif);
    gif_error = gif.error();
  }
  if (IcoParser::IsIcon(bytes)) return Adopt(IcoParser().Decode(bytes, wanted_width, wanted_height));
  auto bitmap = BmpParser::IsBmp(bytes) ? BmpParser().Decode(bytes)
                                         : base::Result<DecodedImage, ImageError>(ImageError::kUnrecognised);
  if (!bitmap) {
    // What our bitmap reader cannot convert goes to the platform's picture loader; when
    // that fails too, our reader's reason stands unless it did not recognise the data.
    auto other = DecodeOther(bytes);
    if (other) return Adopt(other);
    if (bitmap.error() == ImageError::kUnrecognised) {
      return gif_error ? Fail(*gif_error) : Adopt(other);
    }
  }
  return Adopt(bitmap);
}

Bitmap32::Status Bitmap32::LoadFromFile(const std::string& file_name, int wanted_icon_width,
                                        int wanted_icon_height, bool keep_source_bytes) {
  Destroy();
  auto bytes = base::ReadWholeFile(file_name, kMaxFileBytes);
  if (!bytes) {
    switch (bytes.error()) {
      case base::FileReadError::kNotFound: return Fail(ImageError::kFileNotFound);
      case base::FileReadError::kTooLarge: return Fail(ImageError::kFileTooLarge);
      case base::FileReadError::kUnreadable: return Fail(ImageError::kFileReadFailed);
    }
  }
  if (bytes->size() <= kMinPictureBytes) return Fail(ImageError::kFileTooShort);
  if (auto loaded = RunPipeline(*bytes, wanted_icon_width, wanted_icon_height); !loaded) return loaded;
  if (keep_source_bytes) source_bytes_ = std::move(*bytes);
  return {};
}

Bitmap32::Status Bitmap32::LoadFromBytes(std::span<const std::uint8_t> bytes, int wanted_icon_width,
                                         int wanted_icon_height, std::int64_t start, std::int64_t length,
                                         bool keep_source_bytes) {
  Destroy();
  if (bytes.empty()) return Fail(ImageError::kDataTooShort);
  if (start < 0) start = 0;
  if (length < 0 || static_cast<std::uint64_t>(start) >= bytes.size()) return Fail(ImageError::kBadRange);
  const std::size_t available = bytes.size() - static_cast<std::size_t>(start);
  const std::size_t n = length == 0 ? available
                                    : std::min<std::size_t>(available, static_cast<std::uint64_t>(length));
  const auto range = bytes.subspan(static_cast<std::size_t>(start), n);
  if (range.size() <= kMinPictureBytes) return Fail(ImageError::kFileTooShort);
  if (auto loaded = RunPipeline(range, wanted_icon_width, wanted_icon_height); !loaded) return loaded;
  if (keep_source_bytes) source_bytes_.assign(range.begin(), range.end());
  return {};
}

Bitmap32::Status Bitmap32::CopyTo(Bitmap32& other, bool copy_source_bytes) const {
  if (&other == this) return HasImage() ? Status() : Status(ImageError::kNoImage);
  if (!HasImage()) return other.Fail(ImageError::kNoImage);
  if (auto created = other.Create(width_, height_); !created) return created;
  std::memcpy(other.BitsPointer(), BitsPointer(), std::size_t(ScanWidth()) * height_);
  other.alpha_ = alpha_;
  other.image_type_ = image_type_;
  if (copy_source_bytes) other.source_bytes_ = source_bytes_;
  return {};
}

void Bitmap32::ScaleImage(int dest_width, int dest_height, int& new_width, int& new_height,
                          int mode) const {
  if (!HasImage()) return;
  if (mode == 0 || mode == 1) {
    const float rx = static_cast<float>(dest_width) / static_cast<float>(width_);
    const float ry = static_cast<float>(dest_height) / static_cast<float>(height_);
    float ratio = std::min(rx, ry);
    if (mode == 1 && rx > 1.0f && ry > 1.0f) ratio = 1.0f;
    new_width = static_cast<int>(std::floor(static_cast<float>(width_) * ratio));
    new_height = static_cast<int>(std::floor(static_cast<float>(height_) * ratio));
  } else if (mode == 2) {
    new_width = dest_width;
    new_height = dest_height;
  } else {
    new_width = width_;
    new_height = height_;
  }
}

std::vector<std::uint8_t> Bitmap32::SaveToStream() const {
  if (!HasImage()) return {};
  return EncodeBmp32(BitsPointer(), width_, height_);
}

Bitmap32::Status Bitmap32::SaveToFile(const std::string& file_name, bool prompt_before_overwriting) {
  if (!HasImage()) return ImageError::kNoImage;
  std::error_code ec;
  const auto path = base::PathFromUtf8(file_name);
  const bool exists = std::filesystem::exists(path, ec);
  if (prompt_before_overwriting && exists && !ConfirmOverwrite(file_name)) return ImageError::kSaveDeclined;
  base::ReplacingFile file(path);
  if (!file.Open() || !file.Write(SaveToStream())) return ImageError::kFileWriteFailed;
  // A read-only file is replaced as well.
  if (exists) {
    std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add, ec);
  }
  if (!file.Commit()) return ImageError::kFileWriteFailed;
  return {};
}

}  // namespace movarin::imaging
