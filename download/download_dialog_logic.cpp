#include "download/download_dialog_logic.h"

#include "catalogue/program_state.h"
#include "download/url.h"

namespace movarin::download {

DownloadDialogLogic::DownloadDialogLogic(DownloadDialogHost& host, DownloadEngine& engine)
    : host_(host), engine_(engine) {
  engine_.SetListener(this);
}

DownloadDialogLogic::~DownloadDialogLogic() { engine_.SetListener(nullptr); }

void DownloadDialogLogic::Load() { host_.ShowDownloading(false); }

std::string DownloadDialogLogic::Destination(const std::string& folder, const std::string& address) {
  // Only a plain name is joined to the folder, so nothing is written outside it; an
  // address without one leads to the folder itself, which the engine refuses.
  return folder + "\\" + PlainFileNameFromUrl(address);
}

void DownloadDialogLogic::StartSignalChanged(const std::string& text,
                                             const std::function<void()>& clear_field) {
  if (text != "1") return;
  clear_field();
  Start();
}

void DownloadDialogLogic::Start() {
  // The engine serves one download at a time: a start while one runs is ignored.
  if (engine_.Running()) return;
  const std::string folder = host_.DownloadFolder();
  host_.SetFolderLabel(folder);
  const std::string address = host_.AddressText();
  engine_.Download(address, Destination(folder, address));
}

void DownloadDialogLogic::CancelPressed() {
  engine_.Cancel();
  host_.SetProgress(0);
  host_.ShowDownloading(false);
}

void DownloadDialogLogic::Closing() { engine_.Cancel(); }

void DownloadDialogLogic::OnStatus(const std::string&) {
  host_.SetStartTimeToNow();
  host_.ShowDownloading(true);
  host_.SetFileNameLabel(FileNameFromUrl(host_.AddressText()));
}

void DownloadDialogLogic::OnProgress(int percent) {
  catalogue::SearchNextFlag() = "no";
  host_.SetProgress(percent);
  host_.SetPercentLabel(std::to_string(percent) + " %");
  host_.EnableCancel();
  host_.SetAddressText("");
}

void DownloadDialogLogic::OnError(const std::string&) {
  catalogue::SearchNextFlag() = "yes";
  host_.ShowConnectionError();
  host_.ShowDownloading(false);
}

void DownloadDialogLogic::OnComplete() {
  catalogue::SearchNextFlag() = "yes";
  host_.SetProgress(0);
  host_.SetEndTimeToNow();
  host_.ShowDownloading(false);
  host_.EnableCloseTimer(host_.CloseWhenDoneChecked());
  if (host_.OpenFolderWhenDoneChecked()) host_.ExploreFolder(host_.FolderLabel());
  if (host_.AutoRegisterChecked()) {
    const std::string name = host_.FileNameLabel();
    host_.HandOverForRegistration(name, host_.FolderLabel() + "\\" + name);
  }
}

}  // namespace movarin::download
