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
inline constexpr int kClientWidth = 5400, kClientHeight = 1800;
enum Id { kCaptionLabel = 301, kFolderBox, kBrowseButton, kSaveButton };
inline constexpr std::string_view kPickerTitle = "Select a Folder";
inline constexpr std::array<ControlPlacement, 4> kControls{{
    {kCaptionLabel, ControlKind::kLabel, "Download path:", 120, 240, 1800, 255},
    {kFolderBox, ControlKind::kTextBox, "C:\\WINDOWS\\system32", 120, 600, 4560, 315},
    {kBrowseButton, ControlKind::kButton, ":", 4800, 600, 360, 315},
    {kSaveButton, ControlKind::kButton, "Save", 3600, 1080, 1560, 480},
}};
static_assert(ui::LayoutIsValid(kControls));

}  // namespace movarin::main_program::folder_dialog
