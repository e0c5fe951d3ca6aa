#include "programs/register/register_window_logic.h"

#include "registration/register_step.h"
#include "registration/run_bat.h"

namespace movarin::register_program {

using settings::Key;

RegisterWindowLogic::RegisterWindowLogic(RegisterWindowHost& host,
                                         registration::RegistrationPlatform& platform,
                                         settings::SettingsStore& store, std::string own_folder)
    : host_(host), platform_(platform), store_(store), own_folder_(std::move(own_folder)) {}

void RegisterWindowLogic::Tick() {
  if (closed_) return;
  ++ticks_;
  host_.SetTickCaption(std::to_string(ticks_));
  if (ticks_ == kLoadTick) LoadHandOver();
  if (closed_) return;
  if (ticks_ == kRegisterTick) RegisterStep(path_, name_);
  if (ticks_ == kEndTick) Close();
}

void RegisterWindowLogic::LoadHandOver() {
  // A toggle whose stored text is not a truth value keeps its mark, as the main window
  // treats such a value.
  registration::SilentOption toggles = host_.SilentToggles();
  if (auto yes = store_.ReadSwitch(Key::kYesMovarinFiles1)) toggles.yes = *yes;
  if (auto no = store_.ReadSwitch(Key::kNoMovarinFiles1)) toggles.no = *no;
  host_.SetSilentToggles(toggles);
  path_ = store_.Read(Key::kRegisterLink);
  name_ = store_.Read(Key::kRegisterName);
  host_.SetPathField(path_);
  host_.SetNameField(name_);
  if (path_.empty() || name_.empty()) Close();
}

void RegisterWindowLogic::RegisterButtonPressed() { RegisterStep(host_.PathField(), host_.NameField()); }

void RegisterWindowLogic::RegisterStep(const std::string& path, const std::string& name) {
  if (path.empty()) return;
  if (auto refusal = registration::RefusalToRegister(platform_, path, name)) {
    platform_.ShowInformation(*refusal);
    return;
  }
  registration::WriteAndStartRunBat(platform_, own_folder_ + "\\" + std::string(registration::kRunBatName),
                                    path, name, host_.SilentToggles());
}

void RegisterWindowLogic::Close() {
  closed_ = true;
  host_.CloseWindow();
}

}  // namespace movarin::register_program
