#pragma once
// What movarin-cli decides: its arguments, the steps for each name, the line it prints for
// each outcome and its exit code. The Windows part (main.cpp, windows_cli_platform.*) only
// carries out the steps it is asked for: downloads, file reads, copies and regsvr32.
//
// Unlike the windows, the command line waits for every step and reports every result.
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "catalogue/catalogue.h"
#include "download/expected_digest.h"
#include "registration/registration_platform.h"

namespace movarin::cli {

inline constexpr int kExitAllDone = 0;
inline constexpr int kExitSomeFailed = 1;
inline constexpr int kExitBadUsage = 2;

enum class Command { kHelp, kSearch, kGet, kInstall, kUninstall };

struct Invocation {
  Command command = Command::kHelp;
  // The prefix of search, or the names of get, install and uninstall.
  std::vector<std::string> names;
  // --to FOLDER: where get saves the files instead of the download folder.
  std::optional<std::string> to_folder;
};

struct UsageError {
  std::string message;
};

// args: the arguments after the program name, UTF-8.
base::Result<Invocation, UsageError> ParseArguments(std::span<const std::string> args);
std::string_view HelpText();

// How one name ended.
enum class OutcomeKind {
  kDone,            // downloaded, registered or unregistered
  kNotInCatalogue,
  kUnsafeName,      // a catalogue name that cannot safely become a file or an argument
  kDownloadFailed,  // detail: the download engine's message
  kNotALibrary,
  kCopyFailed,      // detail: the system's description
  kRegsvr32Failed,  // code: regsvr32's exit code
};
struct Outcome {
  OutcomeKind kind = OutcomeKind::kDone;
  std::string detail;
  std::int64_t code = 0;
};
inline Outcome MakeOutcome(OutcomeKind kind, std::string detail = {}, std::int64_t code = 0) {
  return Outcome{kind, std::move(detail), code};
}

// The text after "NAME: " for an outcome of a command: "registered", "not in the
// catalogue", "download failed: ...", "not a library", "regsvr32 failed (code N)".
std::string OutcomeText(Command command, const Outcome& outcome);
// 0 when every name was done, 1 otherwise.
int ExitCode(std::span<const Outcome> outcomes);
// The progress line of a download, without its leading carriage return.
std::string ProgressLine(std::string_view name, int percent);

// What the command line needs from the system it runs on.
class CliPlatform {
 public:
  virtual ~CliPlatform() = default;
  // A whole line of the report (standard output).
  virtual void PrintLine(std::string_view text) = 0;
  // Replaces the current line of standard output (carriage return, no line feed).
  virtual void PrintInPlace(std::string_view text) = 0;
  // Downloads `url` to the full path `destination`, checking it against `digest` before
  // it is put in place, reporting whole percentages; the download engine's message when
  // it failed (nothing is left behind then; a mismatch names both digests).
  virtual base::Result<void, std::string> Download(const std::string& url,
                                                   const std::string& destination,
                                                   const download::ExpectedDigest& digest,
                                                   const std::function<void(int)>& progress) = 0;
  virtual base::Result<registration::FileStart, base::FileReadError> ReadFileStart(
      const std::string& path, std::size_t max_bytes) = 0;
  // The system folder, without a trailing backslash.
  virtual std::string SystemFolder() = 0;
  // True when this process may create files in the system folder (leaves nothing there).
  virtual bool CanWriteSystemFolder() = 0;
  // A new empty folder for downloads that are checked before they go anywhere; removed
  // with RemoveFolder. Nullopt when none could be made.
  virtual std::optional<std::string> MakeScratchFolder() = 0;
  virtual void RemoveFolder(const std::string& folder) = 0;
  // Copies a file over `destination` as a whole (CopyOver: Windows headers take CopyFile).
  virtual base::Result<void, base::Failure> CopyOver(const std::string& source,
                                                     const std::string& destination) = 0;
  // Runs regsvr32 of the system folder with these arguments and waits for it; its exit
  // code, or a failure when it could not be started.
  virtual base::Result<std::int64_t, base::Failure> RunRegsvr32(const std::string& arguments) = 0;
};

// Runs a parsed invocation (not kHelp) and returns the exit code.
class CliRunner {
 public:
  // `catalogue` is null when it could not be opened; `download_folder` has no trailing
  // backslash.
  CliRunner(CliPlatform& platform, const catalogue::Connection* catalogue,
            std::string server_base_url, std::string download_folder);

  int Run(const Invocation& invocation);

  static constexpr std::string_view kNoRightsMessage =
      "movarin-cli: cannot write to the system folder; run it as an administrator";
  static constexpr std::string_view kNoCatalogueMessage =
      "movarin-cli: the catalogue (database.mdb in the program folder) cannot be opened";

 private:
  int Search(const std::string& prefix);
  // A catalogue entry: its own spelling of the name and the digest its file must have.
  struct CatalogueHit {
    std::string name;
    download::ExpectedDigest digest;
  };
  // The entry of a name, found without regard to letter case.
  std::optional<CatalogueHit> FindEntry(std::string_view name) const;
  Outcome Get(const std::string& name, const std::string& folder);
  Outcome Install(const std::string& name, const std::string& scratch_folder);
  Outcome Uninstall(const std::string& name);
  Outcome Fetch(const CatalogueHit& entry, const std::string& folder);

  CliPlatform& platform_;
  const catalogue::Connection* catalogue_;
  std::string server_base_url_;
  std::string download_folder_;
};

}  // namespace movarin::cli
