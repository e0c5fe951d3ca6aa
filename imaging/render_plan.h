#pragma once
// The drawing decisions of Bitmap32::Render and the rendering method chosen from the
// operating system version; the Windows side only carries them out.
#include <cstdint>

namespace movarin::imaging {

struct RenderPlan {
  bool draw = false;    // false: nothing is drawn
  bool result = false;  // what Render returns
  int width = 0;        // destination size
  int height = 0;
  std::uint8_t constant_alpha = 255;
  bool per_pixel_alpha = false;
};

// opacity 0 draws nothing and succeeds; otherwise |opacity| mod 100 percent, where 0
// counts as 100; a width or height below 1 means the image's own.
RenderPlan PlanRender(bool has_image, bool has_destination, int image_width, int image_height,
                      int width, int height, int opacity, bool alpha);

enum class RenderMethod {
  kStretchCopy,         // the oldest 9x systems: no blending at all
  kAlphaBlend,          // later 9x systems
  kHalftoneAlphaBlend,  // NT family
};

RenderMethod ChooseRenderMethod(std::uint32_t platform_id, std::uint32_t minor_version,
                                std::uint32_t build_number);

}  // namespace movarin::imaging
