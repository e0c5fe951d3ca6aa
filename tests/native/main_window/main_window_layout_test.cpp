// The main window's layout table stands in the order of its roles. (Every layout table
// checks at compile time that its ids are unique and its controls have a size.)
#include <gtest/gtest.h>

#include "programs/main/main_window/main_window_layout.h"
#include "tests/native/platform/labels_show_their_text.h"

namespace movarin::main_program {
namespace {

TEST(Layouts, MainWindowTableFollowsTheRoles) {
  using ui::ControlKind;
  EXPECT_EQ(Placement(MainControl::kSearchBox).kind, ControlKind::kTextBox);
  EXPECT_EQ(Placement(MainControl::kSearchButton).caption, "Search");
  EXPECT_EQ(Placement(MainControl::kResultsList).kind, ControlKind::kReportList);
  EXPECT_EQ(Placement(MainControl::kNotFoundNotice).caption, "File not found");
  EXPECT_EQ(Placement(MainControl::kQuoteField).caption, "\"");
  EXPECT_EQ(Placement(MainControl::kDownloadedPathField).kind, ControlKind::kHiddenField);
  // The hidden fields lie below the visible client area.
  for (MainControl role : {MainControl::kQuoteField, MainControl::kSignalField,
                           MainControl::kDownloadedNameField, MainControl::kDownloadedPathField})
    EXPECT_GE(Placement(role).top, kMainClientHeightTwips);
}

// "Type dll or ocx file name:" once hid its end under the search box.
TEST(Layouts, MainWindowLabelsShowTheirWholeText) {
  ui::testing::ExpectLabelsShowTheirText(kMainControls, 975);  // Tahoma 9.75 pt bold
  // The text boxes keep their row and their right edge.
  EXPECT_EQ(Placement(MainControl::kSearchBox).top, Placement(MainControl::kSearchPrompt).top);
  EXPECT_EQ(Placement(MainControl::kSearchBox).left, Placement(MainControl::kPathBox).left);
}

}  // namespace
}  // namespace movarin::main_program
