#pragma once
// The program update check step of the start-up: asks the server's "checkversion.php"
// whether a newer program exists, offers NewVersion.exe when one does, and otherwise
// hands over to the catalogue update. See update_check_logic.h.
#include <cstdint>
#include <functional>
#include <string>

#include "download/win32/http_fetch.h"
#include "platform/win32/handles.h"
#include "platform/win32/window.h"
#include "programs/main/update_check_window/update_check_logic.h"
#include "skin/win32/skinned_controls.h"

namespace movarin::main_program {

struct UpdateCheckWindowArgs {
  std::string server_base_url;
  // The folder of the running program, without a trailing backslash.
  std::string program_folder;
  // The running program's version number (its major plus its minor version).
  std::int16_t local_version = 0;
  // Shows the catalogue update window.
  std::function<void()> show_database_update;
};

// The running program's version number from its own version resource; 0 when it has
// none.
std::int16_t RunningProgramVersion();

class UpdateCheckWindow final : public movarin::win32::Window, private UpdateCheckHost {
 public:
  explicit UpdateCheckWindow(UpdateCheckWindowArgs args);
  ~UpdateCheckWindow() override;

  // Creates and shows the window; the check runs as soon as it is on the screen.
  bool Open();

  // The largest reply read.
  static constexpr std::size_t kMaxReplyBytes = 64 * 1024;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  bool OnCreate() override;
  bool OnClose() override;
  void OnDestroy() override;
  bool OnCommand(int id, int code, HWND control) override;

 private:
  // UpdateCheckHost
  std::optional<std::string> FetchReply() override;
  void ProcessMessagesOnce() override;
  void SetLabel(std::string_view text) override;
  void ShowDatabaseUpdate() override;
  void CloseWindow() override;
  void StartUpdater() override;
  void EndProgram() override;

  UpdateCheckWindowArgs args_;
  download::win32::HttpFetch fetch_;
  UpdateCheckLogic logic_;
  skin::win32::SkinnedControls skinned_;
  movarin::win32::UniqueGdiObject font_;
};

}  // namespace movarin::main_program
