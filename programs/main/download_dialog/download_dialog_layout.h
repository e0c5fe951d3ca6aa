#pragma once
// The download dialog's controls: captions, positions in twips and control ids (fixed,
// so the end-to-end tests can find each control).
#include <array>
#include <string_view>

#include "platform/control_layout.h"

namespace movarin::main_program::download_dialog {

using ui::ControlKind;
using ui::ControlPlacement;

inline constexpr std::string_view kTitle = "Movarin";
// The controls start below the skin's caption bar.
inline constexpr int kClientWidth = 6600, kClientHeight = 4920;
enum Id {
  kAddressBox = 201, kStartSignal, kDownloadButton, kCancelButton, kProgressBar,
  kOpenFolderCheck, kCloseWindowCheck, kFrame, kPercentCaption, kPercentLabel,
  kFileNameCaption, kFileNameLabel, kTimeCaption, kStartTimeLabel, kEndTimeLabel,
  kFolderCaption, kFolderLabel,
};
// The address box's text before any caller replaces it: ServerBaseUrl + this.
inline constexpr std::string_view kInitialFile = "files/ACTSKIN4.OCX";
inline constexpr std::array<ControlPlacement, 17> kControls{{
    {kAddressBox, ControlKind::kTextBox, "", 120, 600, 6360, 315},
    {kStartSignal, ControlKind::kHiddenField, "", 120, 5160, 1000, 315},
    {kFrame, ControlKind::kFrame, "Download Info", 120, 1080, 6360, 2400},
    {kPercentCaption, ControlKind::kLabel, "Download Percentage :", 240, 1380, 2400, 255},
    {kPercentLabel, ControlKind::kLabel, "0", 2760, 1380, 1500, 255},
    {kFileNameCaption, ControlKind::kLabel, "File name :", 240, 1740, 2400, 255},
    {kFileNameLabel, ControlKind::kLabel, "", 2760, 1740, 3600, 255},
    {kTimeCaption, ControlKind::kLabel, "Download time :", 240, 2100, 2400, 255},
    {kStartTimeLabel, ControlKind::kLabel, "", 2760, 2100, 1700, 255},
    {kEndTimeLabel, ControlKind::kLabel, "", 4560, 2100, 1700, 255},
    {kFolderCaption, ControlKind::kLabel, "Destination Folder :", 240, 2460, 2400, 255},
    {kFolderLabel, ControlKind::kLabel, "", 2760, 2460, 3600, 255},
    {kProgressBar, ControlKind::kBlockProgressBar, "", 240, 2940, 6120, 300},
    {kOpenFolderCheck, ControlKind::kCheckBox, "After download open destination folder", 120, 3660, 4500, 285},
    {kCloseWindowCheck, ControlKind::kCheckBox, "After download close this window", 120, 4020, 4500, 285},
    {kDownloadButton, ControlKind::kStyledButton, "Download", 2880, 4380, 1680, 420},
    {kCancelButton, ControlKind::kStyledButton, "cancel", 4800, 4380, 1680, 420},
}};
static_assert(ui::LayoutIsValid(kControls));
// The skin: the program's title and icon, minimise and close.
inline constexpr ui::SkinDescription kSkin{.title = kTitle, .icon = "#1"};

}  // namespace movarin::main_program::download_dialog
