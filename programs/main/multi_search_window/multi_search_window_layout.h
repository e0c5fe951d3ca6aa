#pragma once
// The multiple-file search window's controls: kind, caption, position in twips and
// control id (fixed, so the end-to-end tests can find each control), and the buttons'
// pictures.
#include <array>
#include <string_view>

#include "platform/control_layout.h"

namespace movarin::multi_search {

inline constexpr std::string_view kTitle = "Movarin";
inline constexpr int kClientWidthTwips = 7815;
inline constexpr int kClientHeightTwips = 6360;
inline constexpr int kNameColumnTwips = 7500;

enum ControlId { kNameList = 301, kAddButton, kRemoveButton, kClearButton, kSearchButton };

inline constexpr std::array<ui::ControlPlacement, 5> kControls{{
    {kNameList, ui::ControlKind::kReportList, "", 120, 600, 7575, 4815},
    {kAddButton, ui::ControlKind::kStyledButton, "Add", 120, 5520, 1815, 735},
    {kRemoveButton, ui::ControlKind::kStyledButton, "Remove", 2040, 5520, 1815, 735},
    {kClearButton, ui::ControlKind::kStyledButton, "Clear", 3960, 5520, 1815, 735},
    {kSearchButton, ui::ControlKind::kStyledButton, "Search", 5880, 5520, 1815, 735},
}};
static_assert(ui::LayoutIsValid(kControls));

// The picture of each button, in the order of kControls (none for the list).
inline constexpr std::array<std::string_view, 5> kPictures{"", "Add.png", "Remove.png", "Clear.png",
                                                           "Search.png"};

}  // namespace movarin::multi_search
