#pragma once
// The sponsor window's controls: captions, positions in twips and control ids (fixed, so
// the end-to-end tests can find each control).
#include <array>
#include <string_view>

#include "platform/control_layout.h"
#include "programs/main/sponsor_window/sponsor_logic.h"

namespace movarin::main_program::sponsor_window {

using ui::ControlKind;
using ui::ControlPlacement;

inline constexpr std::string_view kTitle = "Movarin";
inline constexpr int kClientWidth = 7650, kClientHeight = 7500;
enum Id { kFreeLabel = 601, kSupportLabel, kOpensLabel, kPageView, kRefreshButton };
inline constexpr std::array<ControlPlacement, 4> kControls{{
    {kFreeLabel, ControlKind::kLabel, sponsor_texts::kFree, 150, 660, 7350, 285},
    {kSupportLabel, ControlKind::kLabel, sponsor_texts::kSupport, 150, 960, 7350, 285},
    {kOpensLabel, ControlKind::kLabel, sponsor_texts::kOpensOnClick, 150, 1260, 7350, 285},
    {kRefreshButton, ControlKind::kStyledButton, sponsor_texts::kRefresh, 5700, 6720, 1800, 600},
}};
static_assert(ui::LayoutIsValid(kControls));
// The page view (about 490 by 330 pixels at 96 DPI), id kPageView.
inline constexpr int kPageViewLeft = 150, kPageViewTop = 1620, kPageViewWidth = 7350, kPageViewHeight = 4950;
inline constexpr std::string_view kRefreshPicture = "Update.png";

}  // namespace movarin::main_program::sponsor_window
