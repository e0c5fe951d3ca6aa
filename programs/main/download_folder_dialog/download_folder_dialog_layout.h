#pragma once
// The download folder dialog's controls: captions, positions in twips and control ids
// (fixed, so the end-to-end tests can find each control).
#include <array>
#include <string_view>

#include "platform/control_layout.h"

namespace movarin::main_program::folder_dialog {

using ui::ControlKind;
using ui::ControlPlacement;

inline constexpr std::string_view kTitle = "Movarin";
// The controls start below the skin's caption bar.
inline constexpr int kClientWidth = 5400, kClientHeight = 2160;
enum Id { kCaptionLabel = 301, kFolderBox, kBrowseButton, kSaveButton };
inline constexpr std::string_view kPickerTitle = "Select a Folder";
inline constexpr std::array<ControlPlacement, 4> kControls{{
    {kCaptionLabel, ControlKind::kLabel, "Download path:", 120, 600, 1800, 255},
    {kFolderBox, ControlKind::kTextBox, "C:\\WINDOWS\\system32", 120, 960, 4560, 315},
    {kBrowseButton, ControlKind::kStyledButton, ":", 4800, 960, 360, 315},
    {kSaveButton, ControlKind::kStyledButton, "Save", 3600, 1440, 1560, 480},
}};
static_assert(ui::LayoutIsValid(kControls));
// The skin: the program's title and icon, no caption buttons (the user leaves with Save).
inline constexpr ui::SkinDescription kSkin{.title = kTitle, .caption_buttons = false, .icon = "#1"};
inline constexpr std::array<ui::ButtonPicture, 1> kButtonPictures{{{kSaveButton, "save.png"}}};

}  // namespace movarin::main_program::folder_dialog
