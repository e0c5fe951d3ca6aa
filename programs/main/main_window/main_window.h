#pragma once
// The window the user works in: search box, results list, path box, option menus, and
// the hidden fields other windows write into.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/win32/handles.h"
#include "platform/win32/window.h"
#include "programs/main/command_menu/command_menu.h"
#include "programs/main/main_window/main_window_layout.h"
#include "programs/main/main_window/main_window_logic.h"
#include "programs/main/program_state.h"
#include "registration/commands.h"
#include "settings/settings_store.h"
#include "sound/sound_manager.h"
#include "skin/win32/skinned_controls.h"

namespace movarin::main_program {

struct ImageListTraits {
  static HIMAGELIST Invalid() { return nullptr; }
  static void Close(HIMAGELIST h);
};

struct MainWindowArgs {
  CommandMenu* menu = nullptr;
  settings::SettingsStore* store = nullptr;
  ProgramState* state = nullptr;
  std::string catalogue_path;  // program folder + "\database.mdb"
  // The program's sound player and the folder its cues are read from (the program folder).
  sound::SoundManager* sounds = nullptr;
  std::string program_folder;
  std::string server_base_url;
  // Shows the download dialog for an address and runs the download; returns when it ended.
  std::function<void(const std::string& address, const download::ExpectedDigest& digest)> start_download;
  // Shows the download folder dialog.
  std::function<void()> show_download_folder_dialog;
  // Shows the multiple-file search window.
  std::function<void()> show_multi_search_window;
  // The register command; its messages and shell starts belong to this window.
  registration::RegistrationCommands* registration = nullptr;
  // Shows the unregister dialog.
  std::function<void()> show_unregister_dialog;
  // Runs as the window goes away, before the program ends (stops a running download).
  std::function<void()> on_destroyed;
};

class MainWindow final : public movarin::win32::Window, private MainWindowHost, private sound::SoundListener {
 public:
  explicit MainWindow(MainWindowArgs args);
  ~MainWindow() override;
  bool Create();
  // The load sequence: the sound cues, check marks, opening the catalogue, the start-up
  // listing. Runs once, before the window is first shown.
  void Load();
  // Asks for the search index to be built once the window is idle.
  void PrepareSearchWhenIdle();

  HWND Control(MainControl role) const { return controls_[static_cast<std::size_t>(role)]; }
  // A downloaded file to register: shown in the downloaded-file fields (where other
  // windows and programs find it too), then registered before this returns.
  void RegisterDownloadedFile(const std::string& name, const std::string& path);
  // Puts a name into the search box and searches it; returns when the search, and any
  // download it started, has ended.
  void SearchForName(const std::string& name);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  bool OnCreate() override;
  void OnDestroy() override;
  bool OnClose() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnNotify(const NMHDR& header, LRESULT& result) override;
  void OnTimer(UINT_PTR id) override;

 private:
  // MainWindowHost
  std::string SearchBoxText() override;
  void ShowInformation(std::string_view text) override;
  bool AskRetryAfterOpenError(const catalogue::ProviderError& error) override;
  void ShowCannotConnect() override;
  void ResultsChanged() override;
  void SetFirstColumnHeader(std::string_view text) override;
  void ShowNotFoundNotice(bool shown) override;
  void EnableNoticeTimer(bool enabled) override;
  void StartDownload(const std::string& address, const download::ExpectedDigest& digest) override;
  void PlayCue(int slot) override;

  // sound::SoundListener: the main window does nothing on any notification.
  void SoundLoaded(int) override {}
  void SoundPlayStart(int) override {}
  void SoundPlayEnd(int) override {}
  void SoundUnloaded(int) override {}
  void LoadCues();
  void RegisterFile(const registration::RegistrationOptions& options, const std::string& source_path,
                    const std::string& file_name) override;

  void CreateControls();
  void SetUpResultsList(HWND list);
  // A mouse button pressed on the results list (the list is told before it acts itself).
  void ResultsListPressed(UINT button_message, LPARAM where);
  void ResultsListClicked(bool right_button);
  void RunMenuItem(MenuItem item);
  void Browse();
  int SelectedRow() const;
  static LRESULT CALLBACK SearchBoxProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  static LRESULT CALLBACK ResultsListProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

  MainWindowArgs args_;
  MainWindowLogic logic_;
  std::array<HWND, static_cast<std::size_t>(MainControl::kCount)> controls_{};
  movarin::win32::UniqueGdiObject font_;
  skin::win32::SkinnedControls skinned_;  // the skin and the styled buttons
  movarin::win32::UniqueHandle<HIMAGELIST, ImageListTraits> images_;
  ChosenFile last_choice_;         // the open-file dialog's last choice
  std::wstring cell_buffer_;      // text handed to the list view for one cell
  bool loaded_ = false;
};

}  // namespace movarin::main_program
