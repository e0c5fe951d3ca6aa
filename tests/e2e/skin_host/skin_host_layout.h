#pragma once
// The skin test host's window: a skinned window with two styled buttons (the second
// disabled), a progress bar, and a label that counts the buttons' clicks. Shared by the
// host program and the end-to-end test that works it.
#include <array>
#include <string_view>

#include "platform/control_layout.h"

namespace movarin::skin_host {

inline constexpr std::string_view kTitle = "Skin host";
inline constexpr int kClientWidthTwips = 6000, kClientHeightTwips = 3600;
// CloseClicked ends the host with this exit code.
inline constexpr int kClosedExitCode = 42;
inline constexpr int kProgressValue = 50;

enum Id { kSearchButton = 501, kRegisterButton, kProgressBar, kClicksLabel };

inline constexpr std::array<ui::ControlPlacement, 4> kControls{{
    {kSearchButton, ui::ControlKind::kStyledButton, "Search", 600, 900, 1815, 735},
    {kRegisterButton, ui::ControlKind::kStyledButton, "Register", 2700, 900, 1815, 735},
    {kProgressBar, ui::ControlKind::kBlockProgressBar, "", 600, 2040, 4800, 300},
    {kClicksLabel, ui::ControlKind::kLabel, "Search 0, Register 0", 600, 2760, 4800, 300},
}};

}  // namespace movarin::skin_host
