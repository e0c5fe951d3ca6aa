#include "imaging/win32/bitmap32.h"

#include <optional>

#include "imaging/win32/picture_loader.h"
#include "platform/win32/dib.h"

namespace movarin::imaging::win32 {
namespace {

class DibSurface final : public PixelSurface {
 public:
  DibSurface(int width, int height) {
    BITMAPINFO info = movarin::win32::TopDown32BitInfo(width, height);
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap_) bits_ = static_cast<std::uint8_t*>(bits);
  }
  std::uint8_t* Bits() override { return bits_; }
  HBITMAP Handle() const { return static_cast<HBITMAP>(bitmap_.get()); }

 private:
  movarin::win32::UniqueGdiObject bitmap_;
  std::uint8_t* bits_ = nullptr;
};

RenderMethod MethodOfThisSystem() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExW(&version)) return RenderMethod::kHalftoneAlphaBlend;
#pragma GCC diagnostic pop
  return ChooseRenderMethod(version.dwPlatformId, version.dwMinorVersion, version.dwBuildNumber);
}

}  // namespace

Bitmap32::Bitmap32()
    : imaging::Bitmap32([](int w, int h) -> std::unique_ptr<PixelSurface> {
        return std::make_unique<DibSurface>(w, h);
      }),
      method_(MethodOfThisSystem()) {}

Bitmap32::~Bitmap32() { Destroy(); }

HBITMAP Bitmap32::Handle() {
  auto* surface = dynamic_cast<DibSurface*>(Surface());
  return surface ? surface->Handle() : nullptr;
}

void Bitmap32::BeforeDestroy() { SelectIntoDC(false); }

bool Bitmap32::SelectIntoDC(bool select) {
  if (!select) {
    if (own_dc_ && own_dc_previous_) SelectObject(own_dc_.get(), own_dc_previous_);
    own_dc_previous_ = nullptr;
    own_dc_.reset();
    return true;
  }
  if (own_dc_) return true;
  if (!HasImage()) return false;
  own_dc_.reset(CreateCompatibleDC(nullptr));
  if (!own_dc_) return false;
  own_dc_previous_ = SelectObject(own_dc_.get(), Handle());
  return own_dc_previous_ != nullptr && own_dc_previous_ != HGDI_ERROR;
}

bool Bitmap32::Render(HDC dest, int x, int y, int width, int height, int opacity) {
  const RenderPlan plan = PlanRender(HasImage(), dest != nullptr, Width(), Height(), width, height, opacity, Alpha());
  if (!plan.draw) return plan.result;
  GdiFlush();
  HDC source = own_dc_.get();
  movarin::win32::UniqueMemoryDc temporary;
  std::optional<movarin::win32::SelectObjectScope> selected;
  if (!source) {
    temporary.reset(CreateCompatibleDC(dest));
    if (!temporary) return false;
    selected.emplace(temporary.get(), Handle());
    source = temporary.get();
  }
  if (method_ == RenderMethod::kStretchCopy) {
    return StretchBlt(dest, x, y, plan.width, plan.height, source, 0, 0, Width(), Height(), SRCCOPY) != FALSE;
  }
  int previous_mode = 0;
  POINT previous_origin{};
  if (method_ == RenderMethod::kHalftoneAlphaBlend) {
    previous_mode = SetStretchBltMode(dest, HALFTONE);
    SetBrushOrgEx(dest, 0, 0, &previous_origin);
  }
  BLENDFUNCTION blend{};
  blend.BlendOp = AC_SRC_OVER;
  blend.SourceConstantAlpha = plan.constant_alpha;
  blend.AlphaFormat = plan.per_pixel_alpha ? AC_SRC_ALPHA : 0;
  const BOOL ok = AlphaBlend(dest, x, y, plan.width, plan.height, source, 0, 0, Width(), Height(), blend);
  if (previous_mode) {
    SetStretchBltMode(dest, previous_mode);
    SetBrushOrgEx(dest, previous_origin.x, previous_origin.y, nullptr);
  }
  return ok != FALSE;
}

Bitmap32::Status Bitmap32::LoadFromHandle(HGDIOBJ handle) {
  Destroy();
  if (!handle) return Fail(ImageError::kNoImage);
  if (GetObjectType(handle) == OBJ_BITMAP) return Adopt(BitmapToImage(static_cast<HBITMAP>(handle)));
  return Adopt(IconToImage(static_cast<HICON>(handle)));
}

Bitmap32::Status Bitmap32::LoadFromPicture(IPicture* picture) {
  Destroy();
  return Adopt(PictureToImage(picture));
}

Bitmap32::Status Bitmap32::LoadFromResource(HMODULE module, const wchar_t* name, const wchar_t* type, int wanted_icon_width,
                                            int wanted_icon_height, bool keep_source_bytes) {
  Destroy();
  if (type == RT_BITMAP || type == RT_GROUP_ICON || type == RT_GROUP_CURSOR) {
    const UINT kind = type == RT_BITMAP ? IMAGE_BITMAP : type == RT_GROUP_ICON ? IMAGE_ICON : IMAGE_CURSOR;
    const UINT flags = type == RT_BITMAP ? LR_CREATEDIBSECTION : 0;
    HANDLE h = LoadImageW(module, name, kind, std::max(wanted_icon_width, 0), std::max(wanted_icon_height, 0), flags);
    if (!h) return Fail(ImageError::kSystemLoaderFailed);
    Status loaded = LoadFromHandle(h);
    if (kind == IMAGE_BITMAP) DeleteObject(h);
    if (kind == IMAGE_ICON) DestroyIcon(static_cast<HICON>(h));
    if (kind == IMAGE_CURSOR) DestroyCursor(static_cast<HCURSOR>(h));
    return loaded;
  }
  HRSRC found = FindResourceW(module, name, type);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  const DWORD size = found ? SizeofResource(module, found) : 0;
  if (!data || size == 0) return Fail(ImageError::kFileNotFound);
  return LoadFromBytes(std::span(static_cast<const std::uint8_t*>(data), size), wanted_icon_width,
                       wanted_icon_height, 0, 0, keep_source_bytes);
}

bool Bitmap32::ConfirmOverwrite(const std::string& file_name) {
  return MessageBoxW(GetActiveWindow(), L"Overwrite current file?", L"Overwrite Confirmation",
                     MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

base::Result<DecodedImage, ImageError> Bitmap32::DecodeOther(std::span<const std::uint8_t> bytes) {
  return LoadWithSystemPictureLoader(bytes);
}

}  // namespace movarin::imaging::win32
