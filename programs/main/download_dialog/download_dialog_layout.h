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
inline constexpr int kClientWidth = 6600, kClientHeight = 4560;
enum Id {
  kAddressBox = 201, kStartSignal, kDownloadButton, kCancelButton, kProgressBar,
  kOpenFolderCheck, kCloseWindowCheck, kFrame, kPercentCaption, kPercentLabel,
  kFileNameCaption, kFileNameLabel, kTimeCaption, kStartTimeLabel, kEndTimeLabel,
  kFolderCaption, kFolderLabel,
};
// The address box's text before any caller replaces it: ServerBaseUrl + this.
inline constexpr std::string_view kInitialFile = "files/ACTSKIN4.OCX";
inline constexpr std::array<ControlPlacement, 17> kControls{{
    {kAddressBox, ControlKind::kTextBox, "", 120, 240, 6360, 315},
    {kStartSignal, ControlKind::kHiddenField, "", 120, 4800, 1000, 315},
    {kFrame, ControlKind::kFrame, "Download Info", 120, 720, 6360, 2400},
    {kPercentCaption, ControlKind::kLabel, "Download Percentage :", 240, 1020, 2400, 255},
    {kPercentLabel, ControlKind::kLabel, "0", 2760, 1020, 1500, 255},
    {kFileNameCaption, ControlKind::kLabel, "File name :", 240, 1380, 2400, 255},
    {kFileNameLabel, ControlKind::kLabel, "", 2760, 1380, 3600, 255},
    {kTimeCaption, ControlKind::kLabel, "Download time :", 240, 1740, 2400, 255},
    {kStartTimeLabel, ControlKind::kLabel, "", 2760, 1740, 1700, 255},
    {kEndTimeLabel, ControlKind::kLabel, "", 4560, 1740, 1700, 255},
    {kFolderCaption, ControlKind::kLabel, "Destination Folder :", 240, 2100, 2400, 255},
    {kFolderLabel, ControlKind::kLabel, "", 2760, 2100, 3600, 255},
    {kProgressBar, ControlKind::kProgressBar, "", 240, 2580, 6120, 300},
    {kOpenFolderCheck, ControlKind::kCheckBox, "After download open destination folder", 120, 3300, 4500, 285},
    {kCloseWindowCheck, ControlKind::kCheckBox, "After download close this window", 120, 3660, 4500, 285},
    {kDownloadButton, ControlKind::kButton, "Download", 2880, 4020, 1680, 420},
    {kCancelButton, ControlKind::kButton, "cancel", 4800, 4020, 1680, 420},
}};
static_assert(ui::LayoutIsValid(kControls));

}  // namespace movarin::main_program::download_dialog
