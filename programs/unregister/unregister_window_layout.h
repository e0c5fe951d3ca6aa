#pragma once
// The Unregister program's window: its controls, positions in twips and fixed ids. The
// window is hidden at load and never needed.
#include <array>

#include "platform/control_layout.h"
#include "registration/messages.h"

namespace movarin::unregister_program {

// The controls start below the skin's caption bar.
inline constexpr int kClientWidth = 4800, kClientHeight = 2280;
inline constexpr wchar_t kWindowClass[] = L"MovarinUnregisterWindow";

enum ControlId { kFileBox = 451, kUnregisterButton, kShowButton };

inline constexpr std::array<ui::ControlPlacement, 3> kControls{{
    {kFileBox, ui::ControlKind::kTextBox, "", 120, 720, 4560, 315},
    {kUnregisterButton, ui::ControlKind::kStyledButton, "Unregister", 1560, 1380, 1500, 480},
    {kShowButton, ui::ControlKind::kStyledButton, "show", 3180, 1380, 1500, 480},
}};

static_assert(ui::LayoutIsValid(kControls));
// The skin: the program's title, minimise and close; the helper programs show no icon.
inline constexpr ui::SkinDescription kSkin{.title = registration::kProgramTitle};

}  // namespace movarin::unregister_program
