#pragma once
// The operating-system choice window's controls: kind, caption, position in twips and
// control id (fixed, so the end-to-end tests can find each control), and the pictures
// of its two buttons.
#include <array>
#include <string_view>

#include "platform/control_layout.h"
#include "programs/main/os_choice_window/os_choice_logic.h"

namespace movarin::os_choice {

inline constexpr std::string_view kTitle = "Movarin";
inline constexpr int kClientWidthTwips = 5865;
inline constexpr int kClientHeightTwips = 2130;

enum ControlId { kQuestionLabel = 201, kWindowsXpButton, kWindowsVista7Button };

inline constexpr std::array<ui::ControlPlacement, 3> kControls{{
    {kQuestionLabel, ui::ControlKind::kLabel, kQuestion, 120, 720, 5415, 375},
    {kWindowsXpButton, ui::ControlKind::kStyledButton, kWindowsXpCaption, 120, 1080, 2775, 975},
    {kWindowsVista7Button, ui::ControlKind::kStyledButton, kWindowsVista7Caption, 3000, 1080, 2775, 975},
}};
static_assert(ui::LayoutIsValid(kControls));

inline constexpr std::string_view kWindowsXpPicture = "Windowsxp.png";
inline constexpr std::string_view kWindowsVista7Picture = "Windowsvista.png";

}  // namespace movarin::os_choice
