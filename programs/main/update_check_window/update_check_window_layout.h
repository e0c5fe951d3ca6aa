#pragma once
// The program update check window's controls: captions, pictures, positions in twips and
// control ids (fixed, so the end-to-end tests can find each control).
#include <array>
#include <string_view>

#include "platform/control_layout.h"

namespace movarin::main_program::update_check_window {

using ui::ControlKind;
using ui::ControlPlacement;

inline constexpr std::string_view kTitle = "Movarin";
inline constexpr int kClientWidth = 5040, kClientHeight = 2400;
enum Id { kStatusLabel = 701, kCheckButton, kUpdateButton };
inline constexpr std::array<ControlPlacement, 3> kControls{{
    {kStatusLabel, ControlKind::kLabel, "Checking For Updates", 240, 720, 4560, 375},
    {kCheckButton, ControlKind::kStyledButton, "Check", 240, 1320, 2160, 735},
    {kUpdateButton, ControlKind::kStyledButton, "Update", 2640, 1320, 2160, 735},
}};
static_assert(ui::LayoutIsValid(kControls));

// The buttons' pictures in the program's Images folder.
inline constexpr std::string_view kCheckPicture = "Update.png";
inline constexpr std::string_view kUpdatePicture = "Downloadupdate.png";

}  // namespace movarin::main_program::update_check_window
