// Movarin.exe: starts with the start-up chain of windows (sponsor page, update check,
// catalogue update), then the operating-system choice, which opens the main window; runs
// until the main window closes, or until a window before it is closed without going on.
#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "platform/win32/message_pump.h"
#include "platform/win32/program_folder.h"
#include "programs/main/command_menu/command_menu.h"
#include "programs/main/download_dialog/download_dialog.h"
#include "programs/main/download_folder_dialog/download_folder_dialog.h"
#include "programs/main/main_window/main_window.h"
#include "programs/main/multi_search_window/multi_search_window.h"
#include "programs/main/os_choice_window/os_choice_window.h"
#include "programs/main/program_state.h"
#include "programs/main/startup_chain.h"
#include "programs/main/unregister_dialog/unregister_dialog.h"
#include "registration/commands.h"
#include "registration/win32/windows_registration_platform.h"
#include "settings/win32/registry_settings_store.h"
#include "settings/win32/server_base_url.h"
#include "sound/sound_manager.h"
#include "sound/win32/winmm_sound_platform.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
  INITCOMMONCONTROLSEX controls{sizeof(controls),
                                ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);

  using namespace movarin;
  using namespace movarin::main_program;
  settings::RegistrySettingsStore store;
  const std::string server_base_url = settings::LoadServerBaseUrl();
  const std::string program_folder = win32::ProgramFolder();
  ProgramState state;
  CommandMenu menu;
  // The sound player's slots are program-wide; the main window's exit releases them.
  sound::win32::WinmmSoundPlatform sound_platform;
  sound::SoundManager sounds(sound_platform);

  std::unique_ptr<MainWindow> main_window;
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
  MultiSearchWindow multi_search({
      .state = &state,
      .search_in_main_window =
          [&main_window](const std::string& name) {
            if (main_window) main_window->SearchForName(name);
          },
  });

  // The register command's boxes and shell starts belong to the main window.
  registration::win32::WindowsRegistrationPlatform registration_platform;
  registration::RegistrationCommands registration(registration_platform, store, program_folder);
  UnregisterDialog unregister_dialog({.store = &store, .menu = &menu.model(), .program_folder = program_folder});

  auto show_main_window = [&] {
    if (main_window) return;
    MainWindowArgs args;
    args.menu = &menu;
    args.store = &store;
    args.state = &state;
    args.catalogue_path = program_folder + "\\database.mdb";
    args.sounds = &sounds;
    args.program_folder = program_folder;
    args.server_base_url = server_base_url;
    args.start_download = [&download_dialog](const std::string& address,
                                             const download::ExpectedDigest& digest) {
      download_dialog.DownloadAddress(address, digest);
    };
    args.show_download_folder_dialog = [&folder_dialog] { folder_dialog.ShowDialog(); };
    args.show_multi_search_window = [&multi_search] { multi_search.Open(); };
    args.registration = &registration;
    args.show_unregister_dialog = [&unregister_dialog] { unregister_dialog.ShowDialog(); };
    args.on_destroyed = [&download_dialog] { download_dialog.CancelDownload(); };
    main_window = std::make_unique<MainWindow>(std::move(args));
    if (!main_window->Create()) {
      PostQuitMessage(1);
      return;
    }
    registration_platform.SetOwner(main_window->hwnd());
    main_window->Load();
    main_window->Show();
    main_window->PrepareSearchWhenIdle();
  };

  // The last step before the main window: reads the stored choice into the command menu
  // and passes straight on when exactly one system is stored, or asks.
  OsChoiceWindow choice({.menu = &menu.model(), .store = &store, .show_main_window = show_main_window});
  StartupChain chain({.server_base_url = server_base_url,
                      .program_folder = program_folder,
                      .finished = [&choice] {
                        if (!choice.Open()) PostQuitMessage(1);
                      }});
  if (!chain.Start(show)) return 1;
  return win32::RunMessageLoop();
}
