#include "imaging/win32/picture_loader.h"

#include <cstring>
#include <utility>

#include "imaging/dib.h"
#include "imaging/image_type.h"
#include "platform/win32/dib.h"
#include "platform/win32/handles.h"

namespace movarin::imaging::win32 {
namespace {

using movarin::win32::UniqueGdiObject;
using movarin::win32::UniqueMemoryDc;

// Releases a COM interface exactly once.
template <typename T>
class ComRef {
 public:
  ComRef() = default;
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() {
    if (p_) p_->Release();
  }
  T* get() const { return p_; }
  T** put() { return &p_; }
  T* operator->() const { return p_; }

 private:
  T* p_ = nullptr;
};

class ScreenDc {
 public:
  ScreenDc() : dc_(GetDC(nullptr)) {}
  ~ScreenDc() {
    if (dc_) ReleaseDC(nullptr, dc_);
  }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// Reads `height` rows of a bitmap as 32-bit top-down BGRA.
bool ReadBits32(HBITMAP bitmap, int width, int height, std::uint8_t* out) {
  ScreenDc screen;
  BITMAPINFO info = movarin::win32::TopDown32BitInfo(width, height);
  return screen.get() &&
         GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(height), out, &info, DIB_RGB_COLORS) == height;
}

// Owns the two bitmaps GetIconInfo hands out.
struct IconBitmaps {
  ICONINFO info{};
  bool ok = false;
  explicit IconBitmaps(HICON icon) : ok(GetIconInfo(icon, &info) != FALSE) {}
  ~IconBitmaps() {
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
  }
  IconBitmaps(const IconBitmaps&) = delete;
  IconBitmaps& operator=(const IconBitmaps&) = delete;
};

}  // namespace

base::Result<DecodedImage, ImageError> BitmapToImage(HBITMAP bitmap) {
  BITMAP bm{};
  if (!bitmap || GetObjectW(bitmap, sizeof bm, &bm) != sizeof bm) return ImageError::kSystemLoaderFailed;
  const int height = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
  auto allocated = AllocateImage(static_cast<std::uint64_t>(std::max(0L, bm.bmWidth)),
                                         static_cast<std::uint64_t>(height));
  if (!allocated) return allocated.error();
  DecodedImage image = std::move(*allocated);
  if (!ReadBits32(bitmap, image.width, image.height, image.pixels.data())) {
    return ImageError::kSystemLoaderFailed;
  }
  image.image_type = kImageBitmap;
  if (bm.bmBitsPixel == 32) {
    const AlphaKind kind = AnalyseAlpha(image);
    ApplyAlpha(image, kind);
    image.alpha = kind != AlphaKind::kNone;
    if (kind == AlphaKind::kStraight) image.image_type = kImageBitmapArgb;
    if (kind == AlphaKind::kPremultiplied) image.image_type = kImageBitmapPargb;
  } else {
    ApplyAlpha(image, AlphaKind::kNone);
  }
  return image;
}

base::Result<DecodedImage, ImageError> IconToImage(HICON icon) {
  IconBitmaps parts(icon);
  if (!parts.ok || !parts.info.hbmMask) return ImageError::kSystemLoaderFailed;
  const bool cursor = !parts.info.fIcon;
  BITMAP mask_bm{};
  if (GetObjectW(parts.info.hbmMask, sizeof mask_bm, &mask_bm) != sizeof mask_bm) {
    return ImageError::kSystemLoaderFailed;
  }
  const int width = mask_bm.bmWidth;
  // Without a colour bitmap the mask is twice as high: AND rows above, XOR rows below.
  const bool monochrome = parts.info.hbmColor == nullptr;
  const int height = monochrome ? mask_bm.bmHeight / 2 : mask_bm.bmHeight;
  auto allocated = AllocateImage(static_cast<std::uint64_t>(std::max(0, width)),
                                         static_cast<std::uint64_t>(std::max(0, height)));
  if (!allocated) return allocated.error();
  DecodedImage image = std::move(*allocated);
  std::vector<std::uint8_t> mask(std::size_t(width) * mask_bm.bmHeight * 4);
  if (!ReadBits32(parts.info.hbmMask, width, mask_bm.bmHeight, mask.data())) {
    return ImageError::kSystemLoaderFailed;
  }
  bool colour_has_alpha = false;
  if (monochrome) {
    std::memcpy(image.pixels.data(), mask.data() + image.pixels.size(), image.pixels.size());
  } else {
    BITMAP colour_bm{};
    GetObjectW(parts.info.hbmColor, sizeof colour_bm, &colour_bm);
    if (!ReadBits32(parts.info.hbmColor, width, height, image.pixels.data())) {
      return ImageError::kSystemLoaderFailed;
    }
    if (colour_bm.bmBitsPixel == 32) {
      for (std::size_t i = 3; i < image.pixels.size() && !colour_has_alpha; i += 4) {
        colour_has_alpha = image.pixels[i] != 0;
      }
    }
  }
  if (colour_has_alpha) {
    ApplyAlpha(image, AlphaKind::kStraight);
    image.alpha = true;
    image.image_type = cursor ? kImageCursorArgb : kImageIconArgb;
    return image;
  }
  bool any_clear = false;
  for (std::size_t i = 0; i < image.pixels.size(); i += 4) {
    if (mask[i] != 0) {  // a set mask bit reads back white: transparent
      std::memset(&image.pixels[i], 0, 4);
      any_clear = true;
    } else {
      image.pixels[i + 3] = 255;
    }
  }
  image.alpha = any_clear;
  image.image_type = cursor ? kImageCursor : kImageIcon;
  return image;
}

base::Result<DecodedImage, ImageError> PictureToImage(IPicture* picture) {
  SHORT type = PICTYPE_UNINITIALIZED;
  OLE_HANDLE handle = 0;
  if (!picture || FAILED(picture->get_Type(&type)) || FAILED(picture->get_Handle(&handle))) {
    return ImageError::kSystemLoaderFailed;
  }
  const auto raw = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(handle));
  if (type == PICTYPE_BITMAP) return BitmapToImage(static_cast<HBITMAP>(raw));
  if (type == PICTYPE_ICON) return IconToImage(static_cast<HICON>(raw));
  if (type != PICTYPE_METAFILE && type != PICTYPE_ENHMETAFILE) return ImageError::kSystemLoaderFailed;

  // Metafiles have no pixels of their own: draw them at screen resolution onto white.
  OLE_XSIZE_HIMETRIC hm_width = 0;
  OLE_YSIZE_HIMETRIC hm_height = 0;
  picture->get_Width(&hm_width);
  picture->get_Height(&hm_height);
  ScreenDc screen;
  if (!screen.get()) return ImageError::kSystemLoaderFailed;
  constexpr int kHimetricPerInch = 2540;
  const int width = MulDiv(hm_width, GetDeviceCaps(screen.get(), LOGPIXELSX), kHimetricPerInch);
  const int height = MulDiv(hm_height, GetDeviceCaps(screen.get(), LOGPIXELSY), kHimetricPerInch);
  auto allocated = AllocateImage(static_cast<std::uint64_t>(std::max(0, width)),
                                         static_cast<std::uint64_t>(std::max(0, height)));
  if (!allocated) return allocated.error();
  DecodedImage image = std::move(*allocated);
  BITMAPINFO info = movarin::win32::TopDown32BitInfo(width, height);
  void* bits = nullptr;
  UniqueGdiObject dib(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  UniqueMemoryDc dc(CreateCompatibleDC(screen.get()));
  if (!dib || !dc || !bits) {
    return ImageError::kSystemLoaderFailed;
  }
  {
    movarin::win32::SelectObjectScope select(dc.get(), dib.get());
    RECT all{0, 0, width, height};
    FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (FAILED(picture->Render(dc.get(), 0, 0, width, height, 0, hm_height, hm_width, -hm_height, &all))) {
      return ImageError::kSystemLoaderFailed;
    }
    GdiFlush();
  }
  std::memcpy(image.pixels.data(), bits, image.pixels.size());
  ApplyAlpha(image, AlphaKind::kNone);
  image.image_type = type == PICTYPE_METAFILE ? kImageMetafile : kImageEnhMetafile;
  return image;
}

base::Result<DecodedImage, ImageError> LoadWithSystemPictureLoader(std::span<const std::uint8_t> bytes) {
  if (bytes.empty() || bytes.size() > 0x7FFFFFFF) return ImageError::kSystemLoaderFailed;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (!block) return ImageError::kSystemLoaderFailed;
  void* p = GlobalLock(block);
  if (!p) {
    GlobalFree(block);
    return ImageError::kSystemLoaderFailed;
  }
  std::memcpy(p, bytes.data(), bytes.size());
  GlobalUnlock(block);
  ComRef<IStream> stream;
  if (FAILED(CreateStreamOnHGlobal(block, TRUE, stream.put()))) {
    GlobalFree(block);
    return ImageError::kSystemLoaderFailed;
  }
  ComRef<IPicture> picture;
  if (FAILED(OleLoadPicture(stream.get(), static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                            reinterpret_cast<void**>(picture.put()))) ||
      !picture.get()) {
    return ImageError::kSystemLoaderFailed;
  }
  return PictureToImage(picture.get());
}

}  // namespace movarin::imaging::win32
