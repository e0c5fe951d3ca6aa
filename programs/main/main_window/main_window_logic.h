#pragma once
// What the main window decides: the load sequence, the search, the not-found notice,
// the Enter key, the signal field and the results list's content. The Windows window
// only shows what this says and forwards the user's actions.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "catalogue/catalogue.h"
#include "download/expected_digest.h"
#include "programs/main/command_menu/command_menu_model.h"
#include "programs/main/program_state.h"
#include "registration/options.h"
#include "settings/settings_store.h"

namespace movarin::main_program {


inline constexpr std::string_view kEmptySearchMessage = "The dll or ocx file field is empty.";
inline constexpr std::string_view kCannotConnectMessage =
    "Error in connecting to database.Please check connection!";
inline constexpr std::string_view kInitialFirstHeader = "File Name";
inline constexpr int kNoticeTicks = 50;

// The two sound cues: their slots of the sound player and their files in the program
// folder, loaded when the window loads.
inline constexpr int kNotFoundCueSlot = 1;
inline constexpr int kFoundCueSlot = 2;
inline constexpr std::string_view kNotFoundCueFile = "\\Sounds\\Notfound.wav";
inline constexpr std::string_view kFoundCueFile = "\\Sounds\\Found.wav";

class MainWindowHost {
 public:
  virtual ~MainWindowHost() = default;
  virtual std::string SearchBoxText() = 0;
  // An information box with the program's title.
  virtual void ShowInformation(std::string_view text) = 0;
  // The critical-stop Retry/Cancel box of a failed open; true for Retry.
  virtual bool AskRetryAfterOpenError(const catalogue::ProviderError& error) = 0;
  // The critical-stop box shown when the user gave up opening the catalogue.
  virtual void ShowCannotConnect() = 0;
  // The results list now shows Results().
  virtual void ResultsChanged() = 0;
  virtual void SetFirstColumnHeader(std::string_view text) = 0;
  virtual void ShowNotFoundNotice(bool shown) = 0;
  virtual void EnableNoticeTimer(bool enabled) = 0;
  // Shows the download dialog with this address and starts it, checking the file against
  // the catalogue's digest when the entry has one; returns when it ended.
  virtual void StartDownload(const std::string& address, const download::ExpectedDigest& digest) = 0;
  // Plays the cue loaded into this slot of the sound player (nothing when it is empty).
  virtual void PlayCue(int slot) = 0;
  // The register command on one file, with the options of this moment.
  virtual void RegisterFile(const registration::RegistrationOptions& options,
                            const std::string& source_path, const std::string& file_name) = 0;
};

// The open-file dialog's last choice: the full path and the file title (no folder).
struct ChosenFile {
  std::string path;
  std::string title;
};

// The file name the Register button registers under. While the path box holds the path
// chosen in the open-file dialog, that choice's file title. A path typed by hand is
// copied as typed, and regsvr32 must then register that same file, not the dialog's
// earlier choice (or the bare system folder when there was none): the name at the end of
// the typed path.
std::string FileNameToRegister(std::string_view path_box, const ChosenFile& last_choice);

// The Retry/Cancel box's text for a provider error.
std::string OpenErrorText(const catalogue::ProviderError& error);

// The search rule, shared with the command line: the rows of every catalogue entry whose
// name begins with `text` under the catalogue's LIKE rules, in catalogue order. Nullopt
// when the query cannot run.
std::optional<catalogue::RecordSet> SearchRows(const catalogue::Connection& connection,
                                               std::string_view text);
// Where a catalogue entry is downloaded from: ServerBaseUrl + "files/" + the name.
std::string DownloadAddressFor(std::string_view server_base_url, std::string_view name);

class MainWindowLogic {
 public:
  using Opener = std::function<base::Result<catalogue::Connection, catalogue::ProviderError>()>;

  MainWindowLogic(MainWindowHost& host, CommandMenuModel& menu, ProgramState& state,
                  Opener open_catalogue, std::string server_base_url);

  // The load steps that are the main window's own: check marks from the store with
  // the pair defaults, OpenCatalogue (asking Retry/Cancel on each failure), and the
  // start-up listing with its header. False when the user gave up opening.
  bool Load(settings::SettingsStore& store);

  void SearchCatalogue();
  // Builds the search index of the catalogue; run once the window waits for the user,
  // so that the first search answers as fast as every later one.
  void PrepareSearch();
  // Enter in the search box: a text of blanks does nothing.
  void EnterPressedInSearchBox();
  void NoticeTimerTick();
  void ReloadCatalogueList();
  // A downloaded file to register: its name and full path.
  void RegisterDownloadedFile(const std::string& name, const std::string& path);
  // The Register button: the path box's text, and the open-file dialog's last choice.
  void RegisterFromDisk(const std::string& path_box, const ChosenFile& last_choice);
  // A write into the signal field, the adapter for other windows and programs: "1"
  // registers the file named by the downloaded-file fields, "2" searches. `clear`
  // empties the field (which raises the change once more, doing nothing).
  void SignalFieldChanged(const std::function<std::string()>& read_field,
                          const std::function<void()>& clear_field,
                          const std::function<std::string()>& downloaded_name,
                          const std::function<std::string()>& downloaded_path);

  const catalogue::RecordSet& Results() const { return results_; }
  std::size_t ResultCount() const { return results_.RecordCount(); }
  std::string_view RowText(std::size_t row) const { return results_.Field(row, 0); }
  std::string_view RowVersion(std::size_t row) const;
  // The address a download of this row fetches: ServerBaseUrl + "files/" + the name.
  std::string DownloadAddress(std::string_view row_text) const;
  // What a download of this row must hash to (none when the catalogue has no digest).
  download::ExpectedDigest RowDigest(std::size_t row) const;
  bool CatalogueOpen() const { return connection_.has_value(); }
  int NoticeTickCounter() const { return notice_ticks_; }

 private:
  bool OpenCatalogue();
  std::optional<catalogue::RecordSet> Run(std::string_view sql) const;

  MainWindowHost& host_;
  CommandMenuModel& menu_;
  ProgramState& state_;
  Opener open_catalogue_;
  std::string server_base_url_;
  std::optional<catalogue::Connection> connection_;
  catalogue::RecordSet results_;
  int notice_ticks_ = 0;
};

}  // namespace movarin::main_program
