#include <gtest/gtest.h>

#include <set>

#include "catalogue/main_window_layout.h"
#include "download/dialogs_layout.h"

namespace movarin {
namespace {

// End-to-end tests and the windows find controls by id: within a window every id is
// unique, and the main window's table stands in the order of its roles.
template <typename Table>
void ExpectUniqueIds(const Table& table) {
  std::set<int> ids;
  for (const ui::ControlPlacement& p : table) {
    EXPECT_TRUE(ids.insert(p.id).second) << p.id;
    EXPECT_GT(p.width, 0) << p.id;
    EXPECT_GT(p.height, 0) << p.id;
  }
}

TEST(Layouts, IdsAreUniqueWithinEachWindow) {
  ExpectUniqueIds(catalogue::kMainControls);
  ExpectUniqueIds(download::download_dialog::kControls);
  ExpectUniqueIds(download::folder_dialog::kControls);
}

TEST(Layouts, MainWindowTableFollowsTheRoles) {
  using catalogue::MainControl;
  using ui::ControlKind;
  EXPECT_EQ(catalogue::Placement(MainControl::SearchBox).kind, ControlKind::kTextBox);
  EXPECT_EQ(catalogue::Placement(MainControl::SearchButton).caption, "Search");
  EXPECT_EQ(catalogue::Placement(MainControl::ResultsList).kind, ControlKind::kReportList);
  EXPECT_EQ(catalogue::Placement(MainControl::NotFoundNotice).caption, "File not found");
  EXPECT_EQ(catalogue::Placement(MainControl::QuoteField).caption, "\"");
  EXPECT_EQ(catalogue::Placement(MainControl::DownloadedPathField).kind, ControlKind::kHiddenField);
  // The hidden fields lie below the visible client area.
  for (MainControl role : {MainControl::QuoteField, MainControl::SignalField,
                           MainControl::DownloadedNameField, MainControl::DownloadedPathField})
    EXPECT_GE(catalogue::Placement(role).top, catalogue::kMainClientHeightTwips);
}

}  // namespace
}  // namespace movarin
