#include "imaging/bitmap32.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

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

std::filesystem::path PathFromUtf8(const std::string& name) {
  return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

}  // namespace

ImageError ReadWholeFile(const std::string& file_name, std::size_t max_bytes,
                         std::vector<std::uint8_t>& bytes) {
  bytes.clear();
  std::error_code ec;
  const auto path = PathFromUtf8(file_name);
  if (!std::filesystem::is_regular_file(path, ec)) return ImageError::FileNotFound;
  const auto size = std::filesystem::file_size(path, ec);
  if (ec) return ImageError::FileReadFailed;
  if (size > max_bytes) return ImageError::FileTooLarge;
  std::ifstream in(path, std::ios::binary);
  if (!in) return ImageError::FileReadFailed;
  bytes.resize(static_cast<std::size_t>(size));
  if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size)) ||
      in.peek() != std::ifstream::traits_type::eof()) {
    bytes.clear();
    return ImageError::FileReadFailed;  // changed while being read
  }
  return ImageError::None;
}

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

bool Bitmap32::Fail(ImageError error) {
  Destroy();
  last_error_ = error;
  return false;
}

void Bitmap32::Destroy() {
  if (surface_) BeforeDestroy();
  surface_.reset();
  width_ = height_ = 0;
  alpha_ = false;
  image_type_ = 0;
  source_bytes_.clear();
}

bool Bitmap32::Create(int width, int height) {
  Destroy();
  if (width < 1 || height < 1 || std::uint64_t(width) > kMaxImageSide ||
      std::uint64_t(height) > kMaxImageSide || std::uint64_t(width) * height > kMaxImagePixels) {
    last_error_ = ImageError::ImageTooLarge;
    return false;
  }
  surface_ = factory_(width, height);
  if (!surface_ || !surface_->Bits()) {
    surface_.reset();
    last_error_ = ImageError::NoImage;
    return false;
  }
  width_ = width;
  height_ = height;
  last_error_ = ImageError::None;
  return true;
}

bool Bitmap32::Adopt(const DecodedImage& image) {
  if (!Create(image.width, image.height)) return false;
  std::memcpy(BitsPointer(), image.pixels.data(), image.pixels.size());
  alpha_ = image.alpha;
  image_type_ = image.image_type;
  return true;
}

bool Bitmap32::RunPipeline(std::span<const std::uint8_t> bytes, int wanted_width, int wanted_height) {
  wanted_width = std::max(wanted_width, 0);
  wanted_height = std::max(wanted_height, 0);
  DecodedImage image;
  ImageError e;
  if (PngParser::IsPng(bytes)) {
    e = PngParser().Decode(bytes, image);
  } else if (GifParser::IsGif(bytes)) {
    e = GifParser().Decode(bytes, image);
  } else if (IcoParser::IsIcon(bytes)) {
    e = IcoParser().Decode(bytes, wanted_width, wanted_height, image);
  } else {
    e = BmpParser::IsBmp(bytes) ? BmpParser().Decode(bytes, image) : ImageError::Unrecognised;
    if (e != ImageError::None) {
      // What our bitmap reader cannot convert goes to the platform's picture loader.
      const ImageError other = DecodeOther(bytes, image);
      if (other == ImageError::None || e == ImageError::Unrecognised) e = other;
    }
  }
  if (e != ImageError::None) return Fail(e);
  return Adopt(image) || Fail(last_error_);
}

bool Bitmap32::LoadFromFile(const std::string& file_name, int wanted_icon_width,
                            int wanted_icon_height, bool keep_source_bytes) {
  Destroy();
  std::vector<std::uint8_t> bytes;
  if (const ImageError e = ReadWholeFile(file_name, kMaxFileBytes, bytes); e != ImageError::None) {
    return Fail(e);
  }
  if (bytes.size() <= kMinPictureBytes) return Fail(ImageError::FileTooShort);
  if (!RunPipeline(bytes, wanted_icon_width, wanted_icon_height)) return false;
  if (keep_source_bytes) source_bytes_ = std::move(bytes);
  return true;
}

bool Bitmap32::LoadFromBytes(std::span<const std::uint8_t> bytes, int wanted_icon_width,
                             int wanted_icon_height, std::int64_t start, std::int64_t length,
                             bool keep_source_bytes) {
  Destroy();
  if (bytes.empty()) return Fail(ImageError::DataTooShort);
  if (start < 0) start = 0;
  if (length < 0 || static_cast<std::uint64_t>(start) >= bytes.size()) return Fail(ImageError::BadRange);
  const std::size_t available = bytes.size() - static_cast<std::size_t>(start);
  const std::size_t n = length == 0 ? available
                                    : std::min<std::size_t>(available, static_cast<std::uint64_t>(length));
  const auto range = bytes.subspan(static_cast<std::size_t>(start), n);
  if (range.size() <= kMinPictureBytes) return Fail(ImageError::FileTooShort);
  if (!RunPipeline(range, wanted_icon_width, wanted_icon_height)) return false;
  if (keep_source_bytes) source_bytes_.assign(range.begin(), range.end());
  return true;
}

bool Bitmap32::CopyTo(Bitmap32& other, bool copy_source_bytes) const {
  if (&other == this) return HasImage();
  if (!HasImage()) {
    other.Destroy();
    return false;
  }
  if (!other.Create(width_, height_)) return false;
  std::memcpy(other.BitsPointer(), BitsPointer(), std::size_t(ScanWidth()) * height_);
  other.alpha_ = alpha_;
  other.image_type_ = image_type_;
  if (copy_source_bytes) other.source_bytes_ = source_bytes_;
  return true;
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

bool Bitmap32::ReplaceFile(const std::string& temporary, const std::string& target) {
  std::error_code ec;
  const auto to = PathFromUtf8(target);
  if (std::filesystem::exists(to, ec)) {
    // A read-only file is replaced as well.
    std::filesystem::permissions(to, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add, ec);
  }
  std::filesystem::rename(PathFromUtf8(temporary), to, ec);
  return !ec;
}

bool Bitmap32::SaveToFile(const std::string& file_name, bool prompt_before_overwriting) {
  if (!HasImage()) {
    last_error_ = ImageError::NoImage;
    return false;
  }
  std::error_code ec;
  const auto path = PathFromUtf8(file_name);
  if (prompt_before_overwriting && std::filesystem::exists(path, ec) && !ConfirmOverwrite(file_name)) {
    last_error_ = ImageError::SaveDeclined;
    return false;
  }
  const std::vector<std::uint8_t> bytes = SaveToStream();
  const std::string temporary = file_name + ".saving";
  const auto temp_path = PathFromUtf8(temporary);
  bool written = false;
  {
    std::ofstream out(temp_path, std::ios::binary | std::ios::trunc);
    if (out) {
      out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
      out.close();
      written = !out.fail();
    }
  }
  if (!written || !ReplaceFile(temporary, file_name)) {
    std::filesystem::remove(temp_path, ec);
    last_error_ = ImageError::FileWriteFailed;
    return false;
  }
  last_error_ = ImageError::None;
  return true;
}

}  // namespace movarin::imaging
