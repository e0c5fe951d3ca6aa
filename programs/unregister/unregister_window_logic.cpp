#include "programs/unregister/unregister_window_logic.h"

#include "registration/messages.h"
#include "registration/name_check.h"
#include "registration/unregister_command_line.h"

namespace movarin::unregister_program {

using settings::Key;

void LoadUnregisterWindow(UnregisterWindowHost& host, registration::RegistrationPlatform& platform,
                          settings::SettingsStore& store) {
  host.HideWindow();
  // A toggle whose stored text is not a truth value keeps its mark: that read is
  // skipped and the load goes on.
  registration::SilentOption toggles = host.SilentToggles();
  if (auto yes = store.ReadSwitch(Key::kYesMovarinFiles1)) toggles.yes = *yes;
  if (auto no = store.ReadSwitch(Key::kNoMovarinFiles1)) toggles.no = *no;
  host.SetSilentToggles(toggles);
  const std::string text = store.Read(Key::kUnregisterMovarin);
  host.SetFileBox(text);
  if (text.empty()) {
    host.EndProgram();
    return;
  }
  UnregisterStep(host, platform, text);
}

void UnregisterStep(UnregisterWindowHost& host, registration::RegistrationPlatform& platform,
                    const std::string& text) {
  if (auto problem = registration::CheckUnregisterName(text)) {
    platform.ShowInformation(registration::CannotUnregisterNameText(text, *problem));
    host.EndProgram();
    return;
  }
  const registration::SilentOption toggles = host.SilentToggles();
  // "No" shows regsvr32's result; "Yes" and neither both run it silently.
  const bool silent = !toggles.no;
  platform.StartMinimised(registration::UnregisterCommandLine(silent, text));
  host.EndProgram();
}

}  // namespace movarin::unregister_program
