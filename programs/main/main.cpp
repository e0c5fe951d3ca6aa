// Movarin.exe: starts into the main window and runs until it closes.
#include <windows.h>
#include <commctrl.h>

#include "catalogue/win32/command_menu.h"
#include "catalogue/win32/main_window.h"
#include "download/win32/download_dialog.h"
#include "download/win32/download_folder_dialog.h"
#include "platform/win32/message_pump.h"
#include "platform/win32/program_folder.h"
#include "platform/win32/text.h"
#include "settings/win32/registry_settings_store.h"
#include "settings/win32/server_base_url.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
  INITCOMMONCONTROLSEX controls{sizeof(controls),
                                ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);

  using namespace movarin;
  settings::RegistrySettingsStore store;
  const std::string server_base_url = settings::LoadServerBaseUrl();
  catalogue::CommandMenu menu;
  // The operating-system marks are read as the choice window does, so that the main
  // window's close writes back what was stored rather than two False values.
  menu.model().LoadOperatingSystem(store);

  catalogue::MainWindow* main_window = nullptr;
  download::win32::DownloadFolderDialog folder_dialog(store);
  download::win32::DownloadDialog download_dialog({
      .folder_dialog = &folder_dialog,
      .server_base_url = server_base_url,
      .auto_register_checked = [&menu] { return menu.model().Checked(catalogue::MenuItem::RegisterYes); },
      .hand_over =
          [&main_window](const std::string& name, const std::string& path) {
            if (!main_window) return;
            main_window->SetDownloadedFile(win32::Widen(name), win32::Widen(path));
            main_window->SetSignal(L"1");
          },
  });

  catalogue::MainWindowArgs args;
  args.menu = &menu;
  args.store = &store;
  args.catalogue_path = win32::ProgramFolder() + "\\database.mdb";
  args.server_base_url = server_base_url;
  args.start_download = [&download_dialog](const std::string& address) {
    download_dialog.ShowDialog();
    download_dialog.SetAddress(address);
    download_dialog.SetStartSignal("1");
  };
  args.show_download_folder_dialog = [&folder_dialog] { folder_dialog.ShowDialog(); };
  args.on_destroyed = [&download_dialog] { download_dialog.CancelDownload(); };
  catalogue::MainWindow window(std::move(args));
  main_window = &window;
  if (!window.Create()) return 1;
  window.Load();
  window.Show(show);
  window.PrepareSearchWhenIdle();
  return win32::RunMessageLoop();
}
