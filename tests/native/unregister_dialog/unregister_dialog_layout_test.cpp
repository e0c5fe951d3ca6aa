// The dialog's prompt shows its whole text beside the file box.
#include <gtest/gtest.h>

#include "programs/main/unregister_dialog/unregister_dialog_layout.h"
#include "tests/native/platform/labels_show_their_text.h"

namespace movarin::main_program::unregister_dialog {
namespace {

TEST(UnregisterDialogLayout, PromptShowsItsWholeText) {
  ui::testing::ExpectLabelsShowTheirText(kControls, 975);  // Tahoma 9.75 pt bold
}

}  // namespace
}  // namespace movarin::main_program::unregister_dialog
