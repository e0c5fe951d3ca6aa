#include "programs/main/download_dialog/download_dialog_logic.h"

#include <algorithm>

#include "download/url.h"

namespace movarin::main_program {

DownloadDialogLogic::DownloadDialogLogic(DownloadDialogHost& host, download::DownloadEngine& engine,
                                         ProgramState& state)
    : host_(host), engine_(engine), state_(state) {
  engine_.SetListener(this);
}

DownloadDialogLogic::~DownloadDialogLogic() { engine_.SetListener(nullptr); }

void DownloadDialogLogic::Load() { host_.ShowDownloading(false); }

std::string DownloadDialogLogic::Destination(const std::string& folder, const std::string& address) {
  // Only a plain name is joined to the folder, so nothing is written outside it; an
  // address without one leads to the folder itself, which the engine refuses.
  return folder + "\\" + download::PlainFileNameFromUrl(address);
}

void DownloadDialogLogic::StartSignalChanged(const std::string& text,
                                             const std::function<void()>& clear_field) {
  if (text != "1") return;
  clear_field();
  DownloadButtonPressed();
}

void DownloadDialogLogic::Download(const std::string& address, const download::ExpectedDigest& digest) {
  // The engine serves one download at a time: a start while one runs is ignored.
  if (engine_.Running()) return;
  if (!digest.IsNone()) {
    vouched_address_ = address;
    vouched_digest_ = digest;
  }
  // The close timer a finished download started belongs to that download: left running,
  // it would fire inside this one and cancel it (a multiple search hands over its next
  // hit as soon as the last one is done, before the dialog has closed).
  host_.EnableCloseTimer(false);
  address_ = address;
  folder_ = host_.DownloadFolder();
  host_.SetFolderLabel(folder_);
  engine_.Download(address_, Destination(folder_, address_), digest);
}

void DownloadDialogLogic::DownloadButtonPressed() {
  const std::string address = host_.AddressText();
  Download(address, !vouched_address_.empty() && address == vouched_address_ ? vouched_digest_
                                                                              : download::ExpectedDigest());
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
  file_name_ = download::FileNameFromUrl(address_);
  host_.SetFileNameLabel(file_name_);
}

void DownloadDialogLogic::OnProgress(int percent) {
  state_.set_search_next(false);
  // A body longer than announced reports more than 100: the bar shows at most a full
  // bar, and the label shows what the bar shows.
  const int value = std::clamp(percent, 0, 100);
  host_.SetProgress(value);
  host_.SetPercentLabel(std::to_string(value) + " %");
  host_.EnableCancel();
  host_.SetAddressText("");
}

void DownloadDialogLogic::OnError(const std::string&) {
  state_.set_search_next(true);
  host_.ShowConnectionError();
  host_.ShowDownloading(false);
}

void DownloadDialogLogic::OnComplete() {
  state_.set_search_next(true);
  host_.SetProgress(0);
  host_.SetEndTimeToNow();
  host_.ShowDownloading(false);
  host_.EnableCloseTimer(host_.CloseWhenDoneChecked());
  if (host_.OpenFolderWhenDoneChecked()) host_.ExploreFolder(folder_);
  if (host_.AutoRegisterChecked()) host_.RegisterDownloadedFile(file_name_, folder_ + "\\" + file_name_);
}

}  // namespace movarin::main_program
