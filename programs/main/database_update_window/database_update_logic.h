#pragma once
// What the catalogue update window does. Once a second it measures the local catalogue
// and asks the server for the size of its copy; a larger server copy is downloaded
// beside the catalogue with the download engine, checked, and only then put in the
// catalogue's place. Then, or at once when there is nothing to fetch, the start-up goes
// on to the next window. The size rule lives in updates/catalogue_update.h, the safe
// replacement in updates/catalogue_install.h.
//
// When the server publishes the catalogue's digest beside it ("database.mdb.sha256"),
// the copy must match it. A failed download (or a server copy that does not match, or is
// no catalogue) shows the "Connection error" box and the start-up goes on with the old
// catalogue, which is never touched.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "download/download_engine.h"
#include "download/internet_file.h"
#include "download/remote_file_headers.h"
#include "updates/catalogue_digest.h"

namespace movarin::main_program {

// The working fields that say how the server is asked for its size, as the window holds
// them (texts as typed).
struct ServerConnectionFields {
  std::string remote_address;
  std::string remote_port;
  std::string remote_user;
  std::string remote_password;
  int connection_type = 0;  // the chosen entry of the connection-type list
  std::string proxy_server;
  std::string proxy_port;
};

// The remote file control's settings for these fields. A port text that is no port
// leaves the control's default.
download::InternetFileSettings RemoteFileSettingsFor(const ServerConnectionFields& fields);

// The size of the server copy as the check counts it: the reported size of a file the
// server has; -1 for a missing one (any 404: the size is that of an error page).
std::int64_t ServerCopySize(const download::RemoteFileInformation& information);

class DatabaseUpdateHost {
 public:
  virtual ~DatabaseUpdateHost() = default;
  virtual ServerConnectionFields ConnectionFields() = 0;
  // The size of the local catalogue, -1 when it cannot be opened.
  virtual std::int64_t LocalCatalogueSize() = 0;
  // Sets the remote file control from `settings`, asks the server and returns what it
  // learnt. Window messages are processed while it waits.
  virtual download::RemoteFileInformation RequestServerInformation(
      const download::InternetFileSettings& settings) = 0;
  // Asks for the digest file at `address` (at most updates::kMaxCatalogueDigestBytes).
  // Window messages are processed while it waits.
  virtual updates::CatalogueDigestAnswer FetchCatalogueDigest(const std::string& address) = 0;
  virtual void SetLocalSizeField(const std::string& text) = 0;
  virtual void SetRemoteSizeField(const std::string& text) = 0;
  virtual void SetStatus(std::string_view text) = 0;
  virtual void StopCheckTimer() = 0;
  virtual void ShowProgressBar() = 0;

  virtual std::string AddressText() = 0;
  virtual void SetAddressText(const std::string& text) = 0;
  virtual void SetDestinationFolderField(const std::string& text) = 0;
  virtual void SetFileNameField(const std::string& text) = 0;
  virtual void SetStartTimeToNow() = 0;
  virtual void SetEndTimeToNow() = 0;
  // Idle: "Download" and the address box on, "cancel" off; downloading: the reverse.
  virtual void ShowDownloading(bool downloading) = 0;
  virtual void EnableCancel() = 0;
  virtual void SetProgress(int value) = 0;
  virtual void SetPercentageField(const std::string& text) = 0;
  // The critical-stop box "Connection error" / "Not downloaded"; returns when closed.
  virtual void ShowConnectionError() = 0;
  virtual bool CloseWhenDoneChecked() = 0;
  virtual bool OpenFolderWhenDoneChecked() = 0;
  virtual void EnableCloseTimer(bool enabled) = 0;
  virtual void ExploreFolder(const std::string& folder) = 0;

  // Shows the next window of the start-up (modeless) and closes this one.
  virtual void GoOn() = 0;
  virtual void EndProgram() = 0;
};

// Puts a downloaded copy in the catalogue's place when it is a good catalogue; false
// (and the catalogue untouched) otherwise. updates::InstallDownloadedCatalogue.
using InstallCatalogue = std::function<bool(const std::string& staged_path, const std::string& catalogue_path)>;
bool InstallCatalogueFile(const std::string& staged_path, const std::string& catalogue_path);

class DatabaseUpdateLogic final : public download::DownloadListener {
 public:
  // catalogue_path: program folder + "\database.mdb".
  DatabaseUpdateLogic(DatabaseUpdateHost& host, download::DownloadEngine& engine, std::string catalogue_path,
                      InstallCatalogue install = &InstallCatalogueFile);
  ~DatabaseUpdateLogic() override;

  // One tick of the check timer. A tick that arrives while the server is being asked
  // (its messages are processed meanwhile) is skipped.
  void CheckTick();
  // "Download" (the check runs it by itself): the address box's file is downloaded
  // beside the catalogue and, when it is a good catalogue, takes its place.
  void Download();
  // "cancel": stops a running download; the old catalogue stays.
  void CancelPressed();
  // The close timer's tick after a completed download.
  void CloseTimerTick();
  // The window is closing: any download stops. Unless the start-up went on, nothing of
  // the program would be left to see, so the program ends.
  void Closing();

  bool Downloading() const { return engine_.Running(); }
  bool WentOn() const { return went_on_; }

  // download::DownloadListener
  void OnError(const std::string& message) override;
  void OnStatus(const std::string& status) override;
  void OnComplete() override;
  void OnProgress(int percent) override;

 private:
  void GoOn();
  // The download did not give a good catalogue: the box, then on with the old one.
  void Failed();

  DatabaseUpdateHost& host_;
  download::DownloadEngine& engine_;
  std::string catalogue_path_;
  InstallCatalogue install_;
  std::string folder_;
  bool checking_ = false;
  bool failed_ = false;
  bool went_on_ = false;
  bool closing_ = false;
};

}  // namespace movarin::main_program
