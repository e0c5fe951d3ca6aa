#pragma once
// The catalogue update step of the start-up: a status label and a progress bar; the
// remote file control asks the server for the size of its catalogue once a second and
// the download engine fetches a larger copy. See database_update_logic.h.
#include <functional>
#include <string>

#include "download/win32/http_fetch.h"
#include "download/win32/inet_download.h"
#include "download/win32/internet_file_control.h"
#include "platform/win32/handles.h"
#include "platform/win32/window.h"
#include "programs/main/database_update_window/database_update_logic.h"
#include "skin/win32/skinned_controls.h"

namespace movarin::main_program {

struct DatabaseUpdateWindowArgs {
  std::string server_base_url;
  // Program folder + "\database.mdb".
  std::string catalogue_path;
  // Shows the next window of the start-up.
  std::function<void()> go_on;
};

class DatabaseUpdateWindow final : public movarin::win32::Window, private DatabaseUpdateHost {
 public:
  explicit DatabaseUpdateWindow(DatabaseUpdateWindowArgs args);
  ~DatabaseUpdateWindow() override;

  // Creates and shows the window; the first check comes a second later.
  bool Open();

 protected:
  bool OnCreate() override;
  bool OnClose() override;
  void OnDestroy() override;
  bool OnCommand(int id, int code, HWND control) override;
  void OnTimer(UINT_PTR id) override;

 private:
  void UpdateProxyBoxes();

  // DatabaseUpdateHost
  ServerConnectionFields ConnectionFields() override;
  std::int64_t LocalCatalogueSize() override;
  download::RemoteFileInformation RequestServerInformation(const download::InternetFileSettings& settings) override;
  updates::CatalogueDigestAnswer FetchCatalogueDigest(const std::string& address) override;
  void SetLocalSizeField(const std::string& text) override;
  void SetRemoteSizeField(const std::string& text) override;
  void SetStatus(std::string_view text) override;
  void StopCheckTimer() override;
  void ShowProgressBar() override;
  std::string AddressText() override;
  void SetAddressText(const std::string& text) override;
  void SetDestinationFolderField(const std::string& text) override;
  void SetFileNameField(const std::string& text) override;
  void SetStartTimeToNow() override;
  void SetEndTimeToNow() override;
  void ShowDownloading(bool downloading) override;
  void EnableCancel() override;
  void SetProgress(int value) override;
  void SetPercentageField(const std::string& text) override;
  void ShowConnectionError() override;
  bool CloseWhenDoneChecked() override;
  bool OpenFolderWhenDoneChecked() override;
  void EnableCloseTimer(bool enabled) override;
  void ExploreFolder(const std::string& folder) override;
  void GoOn() override;
  void EndProgram() override;

  DatabaseUpdateWindowArgs args_;
  download::win32::InternetFileControl remote_;
  download::win32::InetDownload download_;
  download::win32::HttpFetch digest_fetch_;
  DatabaseUpdateLogic logic_;
  skin::win32::SkinnedControls skinned_;
  movarin::win32::UniqueGdiObject font_;
};

}  // namespace movarin::main_program
