#include "programs/main/database_update_window/database_update_logic.h"

#include "download/url.h"
#include "updates/catalogue_install.h"
#include "updates/catalogue_update.h"

namespace movarin::main_program {

namespace texts = updates::database_update_texts;

download::InternetFileSettings RemoteFileSettingsFor(const ServerConnectionFields& fields) {
  download::InternetFileSettings settings;
  settings.url = fields.remote_address;
  if (auto port = updates::PortFromText(fields.remote_port)) settings.port = *port;
  settings.site_user = fields.remote_user;
  settings.site_password = fields.remote_password;
  settings.connect_type = fields.connection_type;
  settings.proxy_server = fields.proxy_server;
  if (auto port = updates::PortFromText(fields.proxy_port)) settings.proxy_port = *port;
  return settings;
}

std::int64_t ServerCopySize(const download::RemoteFileInformation& information) {
  return information.exists ? information.size : -1;
}

bool InstallCatalogueFile(const std::string& staged_path, const std::string& catalogue_path) {
  return updates::InstallDownloadedCatalogue(staged_path, catalogue_path).ok();
}

DatabaseUpdateLogic::DatabaseUpdateLogic(DatabaseUpdateHost& host, download::DownloadEngine& engine,
                                         std::string catalogue_path, InstallCatalogue install)
    : host_(host), engine_(engine), catalogue_path_(std::move(catalogue_path)), install_(std::move(install)) {
  engine_.SetListener(this);
  const std::size_t last_backslash = catalogue_path_.rfind('\\');
  folder_ = last_backslash == std::string::npos ? std::string() : catalogue_path_.substr(0, last_backslash + 1);
}

DatabaseUpdateLogic::~DatabaseUpdateLogic() { engine_.SetListener(nullptr); }

void DatabaseUpdateLogic::CheckTick() {
  if (checking_ || went_on_ || closing_ || engine_.Running()) return;
  checking_ = true;
  const std::int64_t local_size = host_.LocalCatalogueSize();
  host_.SetLocalSizeField(updates::LocalSizeText(local_size));
  host_.SetStatus(texts::kCheckedLocal);
  const download::RemoteFileInformation server =
      host_.RequestServerInformation(RemoteFileSettingsFor(host_.ConnectionFields()));
  checking_ = false;
  // The window may have been closed while the server was asked.
  if (went_on_ || closing_) return;
  const updates::CatalogueCheck check = updates::CheckCatalogueSizes(local_size, ServerCopySize(server));
  host_.SetRemoteSizeField(check.remote_size_field);
  host_.SetStatus(texts::kCheckedServer);
  host_.StopCheckTimer();
  host_.SetStatus(check.status);
  if (check.decision == updates::CatalogueDecision::kDownload) {
    host_.ShowProgressBar();
    Download();
  } else {
    GoOn();
  }
}

void DatabaseUpdateLogic::Download() {
  if (engine_.Running() || went_on_ || closing_) return;
  failed_ = false;
  host_.SetDestinationFolderField(folder_);
  const std::string address = host_.AddressText();
  const download::ExpectedDigest digest = updates::ExpectedCatalogueDigest(
      host_.FetchCatalogueDigest(address + std::string(updates::kCatalogueDigestSuffix)));
  // The window may have been closed while the digest was asked for.
  if (went_on_ || closing_ || engine_.Running()) return;
  // Never over the working catalogue: the copy lands beside it and takes its place only
  // once it has met the digest and proven to be a catalogue (OnComplete).
  engine_.Download(address, updates::StagedCataloguePath(catalogue_path_), digest);
  if (failed_) GoOn();
}

void DatabaseUpdateLogic::CancelPressed() {
  engine_.Cancel();
  host_.SetProgress(0);
  host_.ShowDownloading(false);
}

void DatabaseUpdateLogic::CloseTimerTick() {
  host_.EnableCloseTimer(false);
  engine_.Cancel();
  GoOn();
}

void DatabaseUpdateLogic::Closing() {
  if (closing_) return;
  closing_ = true;
  engine_.Cancel();
  if (!went_on_) host_.EndProgram();
}

void DatabaseUpdateLogic::GoOn() {
  if (went_on_ || closing_) return;
  went_on_ = true;
  host_.StopCheckTimer();
  host_.GoOn();
}

void DatabaseUpdateLogic::Failed() {
  if (failed_) return;
  failed_ = true;
  host_.ShowConnectionError();
  host_.ShowDownloading(false);
}

void DatabaseUpdateLogic::OnStatus(const std::string&) {
  host_.SetStartTimeToNow();
  host_.ShowDownloading(true);
  host_.SetFileNameField(download::FileNameFromUrl(host_.AddressText()));
}

void DatabaseUpdateLogic::OnProgress(int percent) {
  host_.SetProgress(percent);
  host_.SetPercentageField(updates::PercentageText(percent));
  host_.EnableCancel();
  host_.SetAddressText("");
}

void DatabaseUpdateLogic::OnError(const std::string&) { Failed(); }

void DatabaseUpdateLogic::OnComplete() {
  const std::string staged = updates::StagedCataloguePath(catalogue_path_);
  if (!install_ || !install_(staged, catalogue_path_)) {
    Failed();
    return;
  }
  host_.SetProgress(0);
  host_.SetEndTimeToNow();
  host_.ShowDownloading(false);
  host_.EnableCloseTimer(host_.CloseWhenDoneChecked());
  if (host_.OpenFolderWhenDoneChecked()) host_.ExploreFolder(folder_);
}

}  // namespace movarin::main_program
