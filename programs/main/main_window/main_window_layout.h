#pragma once
// The main window's controls, in the order of their roles: kind, caption, position in
// twips and control id (fixed, so the end-to-end tests can find each control).
#include <array>
#include <string_view>

#include "platform/control_layout.h"

namespace movarin::main_program {

inline constexpr std::string_view kProgramTitle = "Movarin";
inline constexpr int kMainClientWidthTwips = 8895;
inline constexpr int kMainClientHeightTwips = 7335;

enum class MainControl {
  kMenuLabel,
  kLanguageLabel,
  kSearchPrompt,
  kSearchBox,
  kSearchButton,
  kPathPrompt,
  kPathBox,
  kBrowseButton,
  kRegisterButton,
  kResultsList,
  kNotFoundNotice,
  // Hidden fields, below the visible client area.
  kQuoteField,
  kSignalField,
  kDownloadedNameField,
  kDownloadedPathField,
  kCount
};

using ui::ControlKind;
using ui::ControlPlacement;

// In MainControl order. The labels are as wide as their whole text in the window's font
// at any DPI; the search prompt ends where the search box begins, and both text boxes
// start at the same edge and end where the buttons' column begins.
inline constexpr std::array<ControlPlacement, static_cast<std::size_t>(MainControl::kCount)>
    kMainControls{{
        {101, ControlKind::kClickableLabel, "Menu", 120, 600, 690, 255},
        {102, ControlKind::kClickableLabel, "Language", 840, 600, 1215, 255},
        {103, ControlKind::kLabel, "Type dll or ocx file name:", 120, 1200, 3060, 375},
        {104, ControlKind::kTextBox, "", 3180, 1200, 3675, 375},
        {105, ControlKind::kStyledButton, "Search", 6960, 840, 1815, 735},
        {106, ControlKind::kLabel, "Path of file:", 120, 1920, 2415, 375},
        {107, ControlKind::kTextBox, "", 3180, 1920, 3435, 375},
        {108, ControlKind::kStyledButton, ":", 6600, 1920, 255, 375},
        {109, ControlKind::kStyledButton, "Register", 6960, 1680, 1815, 735},
        {110, ControlKind::kReportList, "", 120, 2520, 8655, 4695},
        {111, ControlKind::kPanel, "File not found", 3240, 4080, 2535, 495},
        {112, ControlKind::kHiddenField, "\"", 120, 7500, 1000, 300},
        {113, ControlKind::kHiddenField, "", 1200, 7500, 1000, 300},
        {114, ControlKind::kHiddenField, "", 2400, 7500, 1000, 300},
        {115, ControlKind::kHiddenField, "", 3600, 7500, 1000, 300},
    }};

static_assert(ui::LayoutIsValid(kMainControls));

constexpr const ControlPlacement& Placement(MainControl role) {
  return kMainControls[static_cast<std::size_t>(role)];
}

// The skin: the program's title and icon, minimise and close.
inline constexpr ui::SkinDescription kMainSkin{.title = kProgramTitle, .icon = "#1"};
// The pictures of the styled buttons, from the program's Images folder.
inline constexpr std::array<ui::ButtonPicture, 2> kMainButtonPictures{{
    {Placement(MainControl::kSearchButton).id, "Search.png"},
    {Placement(MainControl::kRegisterButton).id, "Regsiter.gif"},
}};

inline constexpr int kFileNameColumnTwips = 5500;
inline constexpr int kFileVersionColumnTwips = 2500;
inline constexpr std::string_view kFileVersionHeader = "File Version";

inline constexpr std::string_view kExitQuestion = "Do you want to exit?";
inline constexpr std::string_view kExitTitle = "Exit?";
inline constexpr std::string_view kOpenErrorTitle = "Error Connecting to DB";

}  // namespace movarin::main_program
