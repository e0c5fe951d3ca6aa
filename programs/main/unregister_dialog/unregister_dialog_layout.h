#pragma once
// The unregister dialog's controls: kind, caption, position in twips and fixed ids (the
// end-to-end tests find each control by its id).
#include <array>
#include <string_view>

#include "platform/control_layout.h"

namespace movarin::main_program::unregister_dialog {

inline constexpr std::string_view kTitle = "Movarin";
inline constexpr wchar_t kWindowClass[] = L"MovarinUnregisterDialog";
inline constexpr int kClientWidth = 7020, kClientHeight = 2160;
enum ControlId { kPrompt = 601, kFileBox, kBrowseButton, kUnregisterButton };

inline constexpr std::array<ui::ControlPlacement, 4> kControls{{
    {kPrompt, ui::ControlKind::kLabel, "Type dll or ocx file name:", 120, 720, 3060, 375},
    {kFileBox, ui::ControlKind::kTextBox, "", 3180, 720, 3315, 375},
    {kBrowseButton, ui::ControlKind::kStyledButton, ":", 6540, 720, 255, 375},
    {kUnregisterButton, ui::ControlKind::kStyledButton, "UnRegister", 4980, 1260, 1815, 735},
}};

static_assert(ui::LayoutIsValid(kControls));
// The skin: the program's title and icon, minimise and close.
inline constexpr ui::SkinDescription kSkin{.title = kTitle, .icon = "#1"};
// The "UnRegister" button shows the register picture of the Images folder.
inline constexpr std::array<ui::ButtonPicture, 1> kButtonPictures{{{kUnregisterButton, "Regsiter.gif"}}};

}  // namespace movarin::main_program::unregister_dialog
