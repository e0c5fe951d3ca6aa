#pragma once
// The Register program's window: its controls, positions in twips and fixed ids (so the
// end-to-end tests can find each control). The window stays hidden during a run.
#include <array>

#include "platform/control_layout.h"

namespace movarin::register_program {

inline constexpr int kClientWidth = 4800, kClientHeight = 2400;
inline constexpr wchar_t kWindowClass[] = L"MovarinRegisterWindow";

enum ControlId { kTickLabel = 401, kPathField, kNameField, kRegisterButton, kShowButton };

inline constexpr std::array<ui::ControlPlacement, 5> kControls{{
    {kTickLabel, ui::ControlKind::kLabel, "0", 120, 120, 1200, 255},
    {kPathField, ui::ControlKind::kTextBox, "", 120, 480, 4560, 315},
    {kNameField, ui::ControlKind::kTextBox, "", 120, 900, 4560, 315},
    {kRegisterButton, ui::ControlKind::kButton, "Register", 1560, 1560, 1500, 480},
    {kShowButton, ui::ControlKind::kButton, "show", 3180, 1560, 1500, 480},
}};

}  // namespace movarin::register_program
