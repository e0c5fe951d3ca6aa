#pragma once
// The Unregister program's window: its controls, positions in twips and fixed ids. The
// window is hidden at load and never needed.
#include <array>

#include "platform/control_layout.h"

namespace movarin::unregister_program {

inline constexpr int kClientWidth = 4800, kClientHeight = 1800;
inline constexpr wchar_t kWindowClass[] = L"MovarinUnregisterWindow";

enum ControlId { kFileBox = 451, kUnregisterButton, kShowButton };

inline constexpr std::array<ui::ControlPlacement, 3> kControls{{
    {kFileBox, ui::ControlKind::kTextBox, "", 120, 240, 4560, 315},
    {kUnregisterButton, ui::ControlKind::kButton, "Unregister", 1560, 900, 1500, 480},
    {kShowButton, ui::ControlKind::kButton, "show", 3180, 900, 1500, 480},
}};

}  // namespace movarin::unregister_program
