// Register.exe (in the Adds folder): started elevated by Movarin after it wrote the
// hand-over keys; copies and registers the handed-over library through run.bat in its
// own folder, then ends by itself.
#include <windows.h>

#include "platform/win32/message_pump.h"
#include "platform/win32/program_folder.h"
#include "programs/register/register_window.h"
#include "settings/win32/registry_settings_store.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace movarin;
  settings::RegistrySettingsStore store;
  register_program::RegisterWindow window(store, win32::ProgramFolder());
  if (!window.Create()) return 1;
  return win32::RunMessageLoop();
}
