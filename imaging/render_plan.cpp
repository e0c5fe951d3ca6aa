#include "imaging/render_plan.h"

#include <cmath>
#include <cstdlib>

namespace movarin::imaging {
namespace {

constexpr std::uint32_t kPlatformWin9x = 1;
constexpr std::uint32_t kOldest9xMaxMinor = 9;
constexpr std::uint32_t kOldest9xMaxBuild = 2999;

}  // namespace

RenderPlan PlanRender(bool has_image, bool has_destination, int image_width, int image_height,
                      int width, int height, int opacity, bool alpha) {
  RenderPlan plan;
  if (!has_image || !has_destination) return plan;
  plan.result = true;
  if (opacity == 0) return plan;
  const std::int64_t magnitude = std::llabs(static_cast<std::int64_t>(opacity));
  std::int64_t percent = magnitude % 100;
  if (percent == 0) percent = 100;
  plan.draw = true;
  plan.width = width < 1 ? image_width : width;
  plan.height = height < 1 ? image_height : height;
  plan.constant_alpha = static_cast<std::uint8_t>(std::lround(percent / 100.0 * 255.0));
  plan.per_pixel_alpha = alpha;
  return plan;
}

RenderMethod ChooseRenderMethod(std::uint32_t platform_id, std::uint32_t minor_version,
                                std::uint32_t build_number) {
  if (platform_id != kPlatformWin9x) return RenderMethod::kHalftoneAlphaBlend;
  if (minor_version <= kOldest9xMaxMinor && (build_number & 0xFFFF) <= kOldest9xMaxBuild) {
    return RenderMethod::kStretchCopy;
  }
  return RenderMethod::kAlphaBlend;
}

}  // namespace movarin::imaging
