#pragma once
// Bitmap32 on Windows: the pixels live in a 32-bit top-down DIB section, and the image
// draws itself with alpha blending. Pictures, GDI handles and resources load through
// the same portable pipeline; what our parsers cannot read (JPEG, WMF, EMF) goes to the
// system picture loader.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <string>

#include "imaging/bitmap32.h"
#include "imaging/render_plan.h"
#include "platform/win32/handles.h"

namespace movarin::imaging::win32 {

class Bitmap32 : public imaging::Bitmap32 {
 public:
  Bitmap32();
  ~Bitmap32() override;

  // The DIB section, or nullptr without an image.
  HBITMAP Handle();
  // Draws onto `dest` at (x, y), stretched to width x height (below 1: the image's own),
  // at `opacity` percent; per-pixel alpha when Alpha() is set.
  bool Render(HDC dest, int x, int y, int width = 0, int height = 0, int opacity = 100);
  // Keeps the bitmap selected into a memory DC of its own (true) or releases it (false).
  bool SelectIntoDC(bool select);
  HDC OwnDC() const { return own_dc_.get(); }

  // Raw resource data goes through LoadFromBytes; bitmap and icon resources through
  // LoadFromHandle.
  Status LoadFromResource(HMODULE module, const wchar_t* name, const wchar_t* type,
                          int wanted_icon_width = 0, int wanted_icon_height = 0,
                          bool keep_source_bytes = false);
  Status LoadFromPicture(IPicture* picture);
  Status LoadFromHandle(HGDIOBJ handle);

  RenderMethod Method() const { return method_; }
  void SetMethod(RenderMethod method) { method_ = method; }

 protected:
  bool ConfirmOverwrite(const std::string& file_name) override;
  base::Result<DecodedImage, ImageError> DecodeOther(std::span<const std::uint8_t> bytes) override;
  void BeforeDestroy() override;

 private:
  RenderMethod method_;
  movarin::win32::UniqueMemoryDc own_dc_;
  HGDIOBJ own_dc_previous_ = nullptr;
};

}  // namespace movarin::imaging::win32
