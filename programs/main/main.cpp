// Movarin.exe: starts with the start-up chain of windows, which leads to the main window,
// and runs until the main window closes.
#include <windows.h>
#include <commctrl.h>

#include "platform/win32/message_pump.h"
#include "platform/win32/program_folder.h"
#include "programs/main/command_menu/command_menu.h"
#include "programs/main/download_dialog/download_dialog.h"
#include "programs/main/download_folder_dialog/download_folder_dialog.h"
#include "programs/main/main_window/main_window.h"
#include "programs/main/program_state.h"
#include "programs/main/startup_chain.h"
#include "programs/main/unregister_dialog/unregister_dialog.h"
#include "registration/commands.h"
#include "registration/win32/windows_registration_platform.h"
#include "settings/win32/registry_settings_store.h"
#include "settings/win32/server_base_url.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
  INITCOMMONCONTROLSEX controls{sizeof(controls),
                                ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);

  using namespace movarin;
  using namespace movarin::main_program;
  settings::RegistrySettingsStore store;
  const std::string server_base_url = settings::LoadServerBaseUrl();
  ProgramState state;
  CommandMenu menu;
  // The operating-system marks are read as the choice window does, so that the main
  // window's close writes back what was stored rather than two False values.
  menu.model().LoadOperatingSystem(store);

  MainWindow* main_window = nullptr;
  DownloadFolderDialog folder_dialog(store);
  DownloadDialog download_dialog({
      .folder_dialog = &folder_dialog,
      .state = &state,
      .server_base_url = server_base_url,
      .auto_register_checked = [&menu] { return menu.model().Checked(MenuItem::kAutoRegisterYes); },
      .register_file =
          [&main_window](const std::string& name, const std::string& path) {
            if (main_window) main_window->RegisterDownloadedFile(name, path);
          },
  });

  // The register command's boxes and shell starts belong to the main window.
  const std::string program_folder = win32::ProgramFolder();
  registration::win32::WindowsRegistrationPlatform registration_platform;
  registration::RegistrationCommands registration(registration_platform, store, program_folder);
  UnregisterDialog unregister_dialog({.store = &store, .menu = &menu.model(), .program_folder = program_folder});

  MainWindowArgs args;
  args.menu = &menu;
  args.store = &store;
  args.state = &state;
  args.catalogue_path = program_folder + "\\database.mdb";
  args.server_base_url = server_base_url;
  args.start_download = [&download_dialog](const std::string& address) {
    download_dialog.DownloadAddress(address);
  };
  args.show_download_folder_dialog = [&folder_dialog] { folder_dialog.ShowDialog(); };
  args.registration = &registration;
  args.show_unregister_dialog = [&unregister_dialog] { unregister_dialog.ShowDialog(); };
  args.on_destroyed = [&download_dialog] { download_dialog.CancelDownload(); };
  MainWindow window(std::move(args));
  main_window = &window;
  // The start-up chain (sponsor page, update check, catalogue update) opens the main
  // window once the catalogue is up to date.
  StartupChain chain({.server_base_url = server_base_url,
                      .program_folder = program_folder,
                      .finished = [&window, &registration_platform] {
                        if (!window.Create()) {
                          PostQuitMessage(1);
                          return;
                        }
                        registration_platform.SetOwner(window.hwnd());
                        window.Load();
                        window.Show();
                        window.PrepareSearchWhenIdle();
                      }});
  if (!chain.Start(show)) return 1;
  return win32::RunMessageLoop();
}
