// Unregister.exe (in the Adds folder): started elevated by Movarin after it wrote the
// hand-over keys; starts regsvr32 /u on the handed-over name and ends by itself.
#include <windows.h>

#include "platform/win32/message_pump.h"
#include "programs/unregister/unregister_window.h"
#include "settings/win32/registry_settings_store.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace movarin;
  settings::RegistrySettingsStore store;
  unregister_program::UnregisterWindow window(store);
  if (!window.Create()) return 1;
  window.Load();
  return win32::RunMessageLoop();
}
