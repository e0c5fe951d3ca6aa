#pragma once
// The main window's controls: role, caption, position in twips and control id. The
// ids are fixed so the end-to-end tests can find each control.
#include <array>
#include <string_view>

namespace movarin::catalogue {

inline constexpr std::string_view kProgramTitle = "Movarin";
inline constexpr int kMainClientWidthTwips = 8895;
inline constexpr int kMainClientHeightTwips = 7335;

enum class MainControl {
  MenuLabel,
  LanguageLabel,
  SearchPrompt,
  SearchBox,
  SearchButton,
  PathPrompt,
  PathBox,
  BrowseButton,
  RegisterButton,
  ResultsList,
  NotFoundNotice,
  // Hidden fields, below the visible client area.
  QuoteField,
  SignalField,
  DownloadedNameField,
  DownloadedPathField,
  Count
};

enum class ControlKind { ClickableLabel, Label, TextBox, Button, ListView, Panel, HiddenField };

struct ControlPlacement {
  MainControl role;
  ControlKind kind;
  std::string_view caption;
  int id;
  int left, top, width, height;  // twips
};

inline constexpr std::array<ControlPlacement, static_cast<std::size_t>(MainControl::Count)>
    kMainControls{{
        {MainControl::MenuLabel, ControlKind::ClickableLabel, "Menu", 101, 120, 600, 615, 255},
        {MainControl::LanguageLabel, ControlKind::ClickableLabel, "Language", 102, 840, 600, 1095, 255},
        {MainControl::SearchPrompt, ControlKind::Label, "Type dll or ocx file name:", 103, 120, 1200, 4575, 375},
        {MainControl::SearchBox, ControlKind::TextBox, "", 104, 2520, 1200, 4335, 375},
        {MainControl::SearchButton, ControlKind::Button, "Search", 105, 6960, 840, 1815, 735},
        {MainControl::PathPrompt, ControlKind::Label, "Path of file:", 106, 120, 1920, 2415, 375},
        {MainControl::PathBox, ControlKind::TextBox, "", 107, 2520, 1920, 4095, 375},
        {MainControl::BrowseButton, ControlKind::Button, ":", 108, 6600, 1920, 255, 375},
        {MainControl::RegisterButton, ControlKind::Button, "Register", 109, 6960, 1680, 1815, 735},
        {MainControl::ResultsList, ControlKind::ListView, "", 110, 120, 2520, 8655, 4695},
        {MainControl::NotFoundNotice, ControlKind::Panel, "File not found", 111, 3240, 4080, 2535, 495},
        {MainControl::QuoteField, ControlKind::HiddenField, "\"", 112, 120, 7500, 1000, 300},
        {MainControl::SignalField, ControlKind::HiddenField, "", 113, 1200, 7500, 1000, 300},
        {MainControl::DownloadedNameField, ControlKind::HiddenField, "", 114, 2400, 7500, 1000, 300},
        {MainControl::DownloadedPathField, ControlKind::HiddenField, "", 115, 3600, 7500, 1000, 300},
    }};

constexpr const ControlPlacement& Placement(MainControl role) {
  return kMainControls[static_cast<std::size_t>(role)];
}

inline constexpr int kFileNameColumnTwips = 5500;
inline constexpr int kFileVersionColumnTwips = 2500;
inline constexpr std::string_view kFileVersionHeader = "File Version";

// Menu command ids: kFirstMenuCommandId + the item's position in the menu table.
inline constexpr int kFirstMenuCommandId = 1000;

inline constexpr std::string_view kOpenDialogTitle = "Select OCX or DLL";
inline constexpr std::string_view kExitQuestion = "Do you want to exit?";
inline constexpr std::string_view kExitTitle = "Exit?";
inline constexpr std::string_view kOpenErrorTitle = "Error Connecting to DB";

}  // namespace movarin::catalogue
