#pragma once
// The two download windows' controls: captions, positions in twips and control ids
// (fixed, so the end-to-end tests can find each control).
#include <array>
#include <string_view>

namespace movarin::download {

enum class DialogControlKind { Label, TextBox, HiddenField, Button, CheckBox, Frame, ProgressBar };

struct DialogControl {
  int id;
  DialogControlKind kind;
  std::string_view caption;
  int left, top, width, height;  // twips
};

inline constexpr std::string_view kDialogTitle = "Movarin";

namespace download_dialog {
inline constexpr int kClientWidth = 6600, kClientHeight = 4560;
enum Id {
  kAddressBox = 201, kStartSignal, kDownloadButton, kCancelButton, kProgressBar,
  kOpenFolderCheck, kCloseWindowCheck, kFrame, kPercentCaption, kPercentLabel,
  kFileNameCaption, kFileNameLabel, kTimeCaption, kStartTimeLabel, kEndTimeLabel,
  kFolderCaption, kFolderLabel,
};
// The address box's text before any caller replaces it: ServerBaseUrl + this.
inline constexpr std::string_view kInitialFile = "files/ACTSKIN4.OCX";
inline constexpr std::array<DialogControl, 17> kControls{{
    {kAddressBox, DialogControlKind::TextBox, "", 120, 240, 6360, 315},
    {kStartSignal, DialogControlKind::HiddenField, "", 120, 4800, 1000, 315},
    {kFrame, DialogControlKind::Frame, "Download Info", 120, 720, 6360, 2400},
    {kPercentCaption, DialogControlKind::Label, "Download Percentage :", 240, 1020, 2400, 255},
    {kPercentLabel, DialogControlKind::Label, "0", 2760, 1020, 1500, 255},
    {kFileNameCaption, DialogControlKind::Label, "File name :", 240, 1380, 2400, 255},
    {kFileNameLabel, DialogControlKind::Label, "", 2760, 1380, 3600, 255},
    {kTimeCaption, DialogControlKind::Label, "Download time :", 240, 1740, 2400, 255},
    {kStartTimeLabel, DialogControlKind::Label, "", 2760, 1740, 1700, 255},
    {kEndTimeLabel, DialogControlKind::Label, "", 4560, 1740, 1700, 255},
    {kFolderCaption, DialogControlKind::Label, "Destination Folder :", 240, 2100, 2400, 255},
    {kFolderLabel, DialogControlKind::Label, "", 2760, 2100, 3600, 255},
    {kProgressBar, DialogControlKind::ProgressBar, "", 240, 2580, 6120, 300},
    {kOpenFolderCheck, DialogControlKind::CheckBox, "After download open destination folder", 120, 3300, 4500, 285},
    {kCloseWindowCheck, DialogControlKind::CheckBox, "After download close this window", 120, 3660, 4500, 285},
    {kDownloadButton, DialogControlKind::Button, "Download", 2880, 4020, 1680, 420},
    {kCancelButton, DialogControlKind::Button, "cancel", 4800, 4020, 1680, 420},
}};
}  // namespace download_dialog

namespace folder_dialog {
inline constexpr int kClientWidth = 5400, kClientHeight = 1800;
enum Id { kCaptionLabel = 301, kFolderBox, kBrowseButton, kSaveButton };
inline constexpr std::string_view kPickerTitle = "Select a Folder";
inline constexpr std::array<DialogControl, 4> kControls{{
    {kCaptionLabel, DialogControlKind::Label, "Download path:", 120, 240, 1800, 255},
    {kFolderBox, DialogControlKind::TextBox, "C:\\WINDOWS\\system32", 120, 600, 4560, 315},
    {kBrowseButton, DialogControlKind::Button, ":", 4800, 600, 360, 315},
    {kSaveButton, DialogControlKind::Button, "Save", 3600, 1080, 1560, 480},
}};
}  // namespace folder_dialog

}  // namespace movarin::download
