#pragma once
// What the Unregister program decides. It is started elevated, without parameters, after
// the main program wrote the hand-over keys; all its work happens while its (hidden)
// window loads: it reads the keys, starts regsvr32 /u on the handed-over name and ends.
#include <string>

#include "registration/options.h"
#include "registration/registration_platform.h"
#include "settings/settings_store.h"

namespace movarin::unregister_program {

class UnregisterWindowHost {
 public:
  virtual ~UnregisterWindowHost() = default;
  virtual void HideWindow() = 0;
  virtual std::string FileBox() = 0;
  virtual void SetFileBox(const std::string& text) = 0;
  // The "Yes" and "No" marks of the option window's menu.
  virtual registration::SilentOption SilentToggles() = 0;
  virtual void SetSilentToggles(registration::SilentOption toggles) = 0;
  virtual void EndProgram() = 0;
};

// The window's load: hide, read the hand-over, unregister, end. A missing name ends the
// program without a word.
void LoadUnregisterWindow(UnregisterWindowHost& host, registration::RegistrationPlatform& platform,
                          settings::SettingsStore& store);

// The unregister step on `file_text`: with neither toggle on, or with "Yes", regsvr32
// runs silently; with "No" it shows its result. The program ends after the start, and
// after refusing a name that would change the command line. The load passes the text as
// read from the store (a single-line box may drop what follows a line break); the
// "Unregister" button passes the file box's text.
void UnregisterStep(UnregisterWindowHost& host, registration::RegistrationPlatform& platform,
                    const std::string& file_text);

}  // namespace movarin::unregister_program
