#pragma once
// The catalogue update window's controls: captions, positions in twips and control ids
// (fixed, so the end-to-end tests can find each control). Only the status label and the
// progress bar lie inside the client area; every other control is a working field below
// it, out of sight.
#include <array>
#include <string_view>

#include "platform/control_layout.h"
#include "updates/catalogue_update.h"

namespace movarin::main_program::database_update_window {

using ui::ControlKind;
using ui::ControlPlacement;
namespace texts = updates::database_update_texts;

inline constexpr std::string_view kTitle = "Movarin";
inline constexpr int kClientWidth = 5400, kClientHeight = 1800;
enum Id {
  kStatusLabel = 801, kProgressBar,
  kLocalSizeField, kRemoteSizeField, kAddressBox,
  kRemoteAddress, kRemotePort, kRemoteUser, kRemotePassword,
  kConnectionTypeList, kProxyServer, kProxyPort,
  kDownloadInfoFrame, kFileNameCaption, kFileNameField, kTimeCaption, kStartTimeField, kEndTimeField,
  kFolderCaption, kFolderField, kPercentCaption, kPercentField,
  kOpenFolderCheck, kCloseWindowCheck, kDownloadButton, kCancelButton,
};
inline constexpr std::array<ControlPlacement, 26> kControls{{
    {kStatusLabel, ControlKind::kLabel, texts::kChecking, 240, 720, 4920, 375},
    {kProgressBar, ControlKind::kBlockProgressBar, "", 240, 1200, 4920, 330},
    // The working fields.
    {kLocalSizeField, ControlKind::kTextBox, "", 240, 2400, 2400, 315},
    {kRemoteSizeField, ControlKind::kTextBox, "", 2760, 2400, 2400, 315},
    {kAddressBox, ControlKind::kTextBox, "", 240, 2820, 4920, 315},
    {kRemoteAddress, ControlKind::kTextBox, "", 240, 3240, 4920, 315},
    {kRemotePort, ControlKind::kTextBox, texts::kDefaultRemotePort, 240, 3660, 1200, 315},
    {kRemoteUser, ControlKind::kTextBox, "", 1560, 3660, 1800, 315},
    {kRemotePassword, ControlKind::kTextBox, "", 3480, 3660, 1680, 315},
    {kConnectionTypeList, ControlKind::kDropDownList, "", 240, 4080, 2400, 1200},
    {kProxyServer, ControlKind::kTextBox, "", 2760, 4080, 1680, 315},
    {kProxyPort, ControlKind::kTextBox, "", 4560, 4080, 600, 315},
    {kDownloadInfoFrame, ControlKind::kFrame, texts::kDownloadInfo, 240, 4560, 4920, 1560},
    {kFileNameCaption, ControlKind::kLabel, texts::kFileNameCaption, 360, 4860, 2040, 255},
    {kFileNameField, ControlKind::kLabel, "", 2520, 4860, 2520, 255},
    {kTimeCaption, ControlKind::kLabel, texts::kDownloadTimeCaption, 360, 5160, 2040, 255},
    {kStartTimeField, ControlKind::kLabel, "", 2520, 5160, 1200, 255},
    {kEndTimeField, ControlKind::kLabel, "", 3840, 5160, 1200, 255},
    {kFolderCaption, ControlKind::kLabel, texts::kDestinationFolderCaption, 360, 5460, 2040, 255},
    {kFolderField, ControlKind::kLabel, "", 2520, 5460, 2520, 255},
    {kPercentCaption, ControlKind::kLabel, texts::kDownloadPercentageCaption, 360, 5760, 2040, 255},
    {kPercentField, ControlKind::kLabel, "0", 2520, 5760, 2520, 255},
    {kOpenFolderCheck, ControlKind::kCheckBox, texts::kOpenFolderAfterDownload, 240, 6360, 4920, 285},
    {kCloseWindowCheck, ControlKind::kCheckBox, texts::kCloseAfterDownload, 240, 6720, 4920, 285},
    {kDownloadButton, ControlKind::kStyledButton, "Download", 240, 7140, 2160, 480},
    {kCancelButton, ControlKind::kStyledButton, "cancel", 2640, 7140, 2160, 480},
}};
static_assert(ui::LayoutIsValid(kControls));

}  // namespace movarin::main_program::database_update_window
