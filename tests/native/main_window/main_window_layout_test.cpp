// The main window's layout table stands in the order of its roles. (Every layout table
// checks at compile time that its ids are unique and its controls have a size.)
#include <gtest/gtest.h>

#include "programs/main/main_window/main_window_layout.h"

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

}  // namespace
}  // namespace movarin::main_program
