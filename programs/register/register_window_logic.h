#pragma once
// What the Register program decides. It is started elevated, without parameters, after
// the main program wrote the hand-over keys; a 1-millisecond timer drives one run of 60
// ticks: the hand-over is read at tick 20, run.bat is written into the program's own
// folder and started at tick 40, and the program ends at tick 60. The window (hidden)
// shows the counter and the fields; the option window's menu holds the silent toggles.
#include <string>

#include "registration/options.h"
#include "registration/registration_platform.h"
#include "settings/settings_store.h"

namespace movarin::register_program {

inline constexpr int kLoadTick = 20;
inline constexpr int kRegisterTick = 40;
inline constexpr int kEndTick = 60;

class RegisterWindowHost {
 public:
  virtual ~RegisterWindowHost() = default;
  virtual void SetTickCaption(const std::string& text) = 0;
  virtual std::string PathField() = 0;
  virtual void SetPathField(const std::string& text) = 0;
  virtual std::string NameField() = 0;
  virtual void SetNameField(const std::string& text) = 0;
  // The "Yes" and "No" marks of the option window's menu.
  virtual registration::SilentOption SilentToggles() = 0;
  virtual void SetSilentToggles(registration::SilentOption toggles) = 0;
  // Closes the window, which ends the program.
  virtual void CloseWindow() = 0;
};

class RegisterWindowLogic {
 public:
  // `own_folder` is the folder of Register.exe (the Adds folder), without a trailing
  // backslash.
  RegisterWindowLogic(RegisterWindowHost& host, registration::RegistrationPlatform& platform,
                      settings::SettingsStore& store, std::string own_folder);

  // One tick of the step timer. Nothing happens after the window was closed.
  void Tick();
  // The "Register" button: the register step on the texts of the path and name fields.
  void RegisterButtonPressed();
  int ticks() const { return ticks_; }
  bool closed() const { return closed_; }

 private:
  void LoadHandOver();
  // Checks the file, then writes and starts run.bat. The timer's step uses the values as
  // they were read from the store, not as a text box returns them (a single-line box
  // may drop what follows a line break, and a refused name must be seen whole).
  void RegisterStep(const std::string& path, const std::string& name);
  void Close();

  RegisterWindowHost& host_;
  registration::RegistrationPlatform& platform_;
  settings::SettingsStore& store_;
  std::string own_folder_;
  std::string path_, name_;
  int ticks_ = 0;
  bool closed_ = false;
};

}  // namespace movarin::register_program
