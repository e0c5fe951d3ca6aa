#include "skin/window_skin_design.h"

#include <array>

namespace movarin::skin {
namespace {

constexpr std::array<std::pair<std::string_view, std::string_view>, 19> kShared{{
    {"BorderColor", "0x00800000"},
    {"ShowCaptionArea", "True"},
    {"CaptionColorTo", "0x00000000"},
    {"CaptionColorFrom", "0x00FF8080"},
    {"IconSize", "16"},
    {"Font", "Tahoma, 12, bold"},
    {"ColorTo", "0x00800000"},
    {"ColorFrom", "0x00FFC0C0"},
    {"MinColor", "0x00800000"},
    {"MinColorFrom", "0x00800000"},
    {"MinColorTo", "0x00FF8080"},
    {"ShowMaxButton", "False"},
    {"MaxColor", "0x00800000"},
    {"MaxColorFrom", "0x00800000"},
    {"MaxColorTo", "0x00FF8080"},
    {"CloseColor", "0x00800000"},
    {"CloseColorFrom", "0x00800000"},
    {"CloseColorTo", "0x00FF8080"},
    {"CaptionColor", "0x00000000"},
}};

}  // namespace

std::span<const std::pair<std::string_view, std::string_view>> SharedWindowSkinSettings() {
  return kShared;
}

PropertyBag WindowSkinDesign(const ui::SkinDescription& d) {
  PropertyBag bag;
  for (const auto& [key, value] : kShared) bag.Put(key, value);
  bag.Put("Caption", d.title);
  bag.Put("ShowMinButton", d.caption_buttons ? "True" : "False");
  bag.Put("ShowCloseButton", d.caption_buttons ? "True" : "False");
  if (!d.icon.empty()) bag.Put("Icon", d.icon);
  return bag;
}

}  // namespace movarin::skin
