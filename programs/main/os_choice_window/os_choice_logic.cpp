#include "programs/main/os_choice_window/os_choice_logic.h"

namespace movarin::os_choice {

LoadOutcome Decide(bool windows_xp_checked, bool windows_vista7_checked) {
  return windows_xp_checked != windows_vista7_checked ? LoadOutcome::kPassOn : LoadOutcome::kAsk;
}

LoadOutcome OsChoiceLogic::Load() {
  host_.ReadMarksFromStore();
  const LoadOutcome outcome =
      Decide(host_.Checked(OperatingSystem::kWindowsXp), host_.Checked(OperatingSystem::kWindowsVista7));
  if (outcome == LoadOutcome::kPassOn) {
    host_.ShowMainWindow();
    host_.CloseWindow();
  }
  return outcome;
}

void OsChoiceLogic::Choose(OperatingSystem system) {
  host_.Check(system);
  host_.ShowMainWindow();
  host_.CloseWindow();
}

void OsChoiceLogic::CloseWithoutChoice() {
  host_.CloseWindow();
  host_.EndProgram();
}

}  // namespace movarin::os_choice
