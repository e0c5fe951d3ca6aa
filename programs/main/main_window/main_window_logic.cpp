#include "programs/main/main_window/main_window_logic.h"

#include "catalogue/entry_digest.h"
#include "programs/main/command_menu/registration_options.h"

namespace movarin::main_program {

using catalogue::kWholeCatalogueQuery;
using catalogue::ProviderError;
using catalogue::RecordSet;

std::string OpenErrorText(const ProviderError& error) {
  return "Error No.:" + std::to_string(error.number) + "\r\nDescription:" + error.description;
}

std::optional<RecordSet> SearchRows(const catalogue::Connection& connection,
                                   std::string_view text) {
  auto result = connection.Execute(catalogue::SearchQuery(text));
  if (result) return std::move(*result);
  return std::nullopt;
}

std::string DownloadAddressFor(std::string_view server_base_url, std::string_view name) {
  return std::string(server_base_url) + "files/" + std::string(name);
}

MainWindowLogic::MainWindowLogic(MainWindowHost& host, CommandMenuModel& menu, ProgramState& state,
                                 Opener open_catalogue, std::string server_base_url)
    : host_(host),
      menu_(menu),
      state_(state),
      open_catalogue_(std::move(open_catalogue)),
      server_base_url_(std::move(server_base_url)) {}

bool MainWindowLogic::Load(settings::SettingsStore& store) {
  menu_.LoadOptions(store);
  if (!OpenCatalogue()) {
    host_.ShowCannotConnect();
    host_.SetFirstColumnHeader(kInitialFirstHeader);
    return false;
  }
  if (auto rows = Run(kWholeCatalogueQuery)) results_ = std::move(*rows);
  host_.ResultsChanged();
  host_.SetFirstColumnHeader("File name: " + std::to_string(results_.RecordCount()));
  return true;
}

bool MainWindowLogic::OpenCatalogue() {
  // Retry runs the failed step again, as often as the user asks.
  for (;;) {
    auto opened = open_catalogue_();
    if (opened) {
      connection_ = std::move(*opened);
      return true;
    }
    if (!host_.AskRetryAfterOpenError(opened.error())) return false;
  }
}

std::optional<RecordSet> MainWindowLogic::Run(std::string_view sql) const {
  if (!connection_) return std::nullopt;
  auto result = connection_->Execute(sql);
  if (result) return std::move(*result);
  return std::nullopt;
}

void MainWindowLogic::SearchCatalogue() {
  notice_ticks_ = 0;
  const std::string text = host_.SearchBoxText();
  if (text.empty()) {
    host_.ShowInformation(kEmptySearchMessage);
    return;
  }
  // A query that cannot run (no open catalogue) leaves an empty list and counts as a miss.
  auto rows = connection_ ? SearchRows(*connection_, text) : std::nullopt;
  results_ = rows ? std::move(*rows) : RecordSet();
  host_.ResultsChanged();
  const bool found = results_.RecordCount() != 0;
  if (!found) {
    state_.set_search_next(true);
    host_.EnableNoticeTimer(true);
    host_.ShowNotFoundNotice(true);
    ReloadCatalogueList();
    if (menu_.Checked(MenuItem::kFileNotFoundSound)) host_.PlayCue(kNotFoundCueSlot);
    return;
  }
  // Only a hit with exactly one row sounds found and downloads: after a miss the list
  // shows the whole catalogue, and a one-row catalogue must neither play the found cue
  // after the not-found one nor fetch a file nobody searched for.
  if (results_.RecordCount() != 1) return;
  if (menu_.Checked(MenuItem::kFileFoundSound)) host_.PlayCue(kFoundCueSlot);
  if (menu_.Checked(MenuItem::kAutoDownloadYes)) host_.StartDownload(DownloadAddress(RowText(0)), RowDigest(0));
}

void MainWindowLogic::PrepareSearch() {
  if (connection_) connection_->PrepareSearch("Files", "Filename");
}

void MainWindowLogic::EnterPressedInSearchBox() {
  const std::string text = host_.SearchBoxText();
  if (text.find_first_not_of(' ') == std::string::npos) return;
  SearchCatalogue();
}

void MainWindowLogic::NoticeTimerTick() {
  ++notice_ticks_;
  if (notice_ticks_ >= kNoticeTicks) {
    notice_ticks_ = 0;
    host_.ShowNotFoundNotice(false);
    host_.EnableNoticeTimer(false);
  }
}

void MainWindowLogic::ReloadCatalogueList() {
  auto rows = Run(kWholeCatalogueQuery);
  results_ = rows ? std::move(*rows) : RecordSet();
  host_.ResultsChanged();
}

std::string FileNameToRegister(std::string_view path_box, const ChosenFile& last_choice) {
  if (path_box == last_choice.path) return last_choice.title;
  // A drive letter's colon ends a folder as a backslash does ("C:name.dll").
  const std::size_t folder_end = path_box.find_last_of("\\/:");
  return std::string(folder_end == std::string_view::npos ? path_box : path_box.substr(folder_end + 1));
}

void MainWindowLogic::RegisterDownloadedFile(const std::string& name, const std::string& path) {
  host_.RegisterFile(RegistrationOptionsFrom(menu_), path, name);
}

void MainWindowLogic::RegisterFromDisk(const std::string& path_box, const ChosenFile& last_choice) {
  host_.RegisterFile(RegistrationOptionsFrom(menu_), path_box, FileNameToRegister(path_box, last_choice));
}

void MainWindowLogic::SignalFieldChanged(const std::function<std::string()>& read_field,
                                         const std::function<void()>& clear_field,
                                         const std::function<std::string()>& downloaded_name,
                                         const std::function<std::string()>& downloaded_path) {
  if (read_field() == "1") {
    clear_field();
    RegisterDownloadedFile(downloaded_name(), downloaded_path());
  }
  if (read_field() == "2") {
    clear_field();
    SearchCatalogue();
  }
}

std::string_view MainWindowLogic::RowVersion(std::size_t row) const {
  return results_.FieldCount() > 1 ? results_.Field(row, 1) : std::string_view();
}

std::string MainWindowLogic::DownloadAddress(std::string_view row_text) const {
  return DownloadAddressFor(server_base_url_, row_text);
}

download::ExpectedDigest MainWindowLogic::RowDigest(std::size_t row) const {
  if (row >= results_.RecordCount()) return {};
  return download::ExpectedDigest::FromCatalogueText(catalogue::EntrySha256Text(results_, row));
}

}  // namespace movarin::main_program
