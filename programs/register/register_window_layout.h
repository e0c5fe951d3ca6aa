#pragma once
// The Register program's window: its controls, positions in twips and fixed ids (so the
// end-to-end tests can find each control). The window stays hidden during a run.
#include <array>

#include "platform/control_layout.h"
#include "registration/messages.h"

namespace movarin::register_program {

// The controls start below the skin's caption bar.
inline constexpr int kClientWidth = 4800, kClientHeight = 2880;
inline constexpr wchar_t kWindowClass[] = L"MovarinRegisterWindow";

enum ControlId { kTickLabel = 401, kPathField, kNameField, kRegisterButton, kShowButton };

inline constexpr std::array<ui::ControlPlacement, 5> kControls{{
    {kTickLabel, ui::ControlKind::kLabel, "0", 120, 600, 1200, 255},
    {kPathField, ui::ControlKind::kTextBox, "", 120, 960, 4560, 315},
    {kNameField, ui::ControlKind::kTextBox, "", 120, 1380, 4560, 315},
    {kRegisterButton, ui::ControlKind::kStyledButton, "Register", 1560, 2040, 1500, 480},
    {kShowButton, ui::ControlKind::kStyledButton, "show", 3180, 2040, 1500, 480},
}};

static_assert(ui::LayoutIsValid(kControls));
// The skin: the program's title, minimise and close; the helper programs show no icon.
inline constexpr ui::SkinDescription kSkin{.title = registration::kProgramTitle};

}  // namespace movarin::register_program
