#include "programs/cli/cli_logic.h"

#include <algorithm>
#include <array>

#include "base/ascii.h"
#include "catalogue/entry_digest.h"
#include "download/url.h"
#include "pe/dll_check.h"
#include "programs/main/main_window/main_window_logic.h"
#include "registration/name_check.h"

namespace movarin::cli {
namespace {

struct CommandName {
  std::string_view word;
  Command command;
};
constexpr std::array<CommandName, 4> kCommands{{
    {"search", Command::kSearch},
    {"get", Command::kGet},
    {"install", Command::kInstall},
    {"uninstall", Command::kUninstall},
}};

constexpr std::string_view kHelp =
    "usage: movarin-cli <command> [arguments]\n"
    "\n"
    "  search PREFIX            list the catalogue's files whose names begin with PREFIX\n"
    "  get NAME... [--to DIR]   download each file into the download folder (or DIR)\n"
    "  install NAME...          download each file, check that it is a whole DLL or OCX\n"
    "                           library, copy it into the system folder and register it\n"
    "                           with regsvr32\n"
    "  uninstall NAME...        unregister each file of the system folder with regsvr32\n"
    "  --help                   this text\n"
    "\n"
    "The catalogue is database.mdb in the program folder, the server comes from\n"
    "Movarin.ini there, and the download folder from Movarin's settings.\n"
    "Exit codes: 0 all done, 1 some name failed, 2 bad usage.\n";

// A catalogue name becomes a file name in a folder and one argument of a regsvr32
// command line: it must not lead out of the folder or split the argument.
bool IsSafeLibraryName(std::string_view name) {
  return download::IsPlainFileName(name) && name.find('"') == std::string_view::npos &&
         !registration::CheckUnregisterName(name).has_value();
}

std::string Quoted(std::string_view path) {
  std::string quoted(1, '"');
  quoted += path;
  quoted += '"';
  return quoted;
}


}  // namespace

std::string_view HelpText() { return kHelp; }

base::Result<Invocation, UsageError> ParseArguments(std::span<const std::string> args) {
  Invocation invocation;
  if (args.empty()) return base::Fail(UsageError{"no command"});
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "/?") {
    if (args.size() != 1) return base::Fail(UsageError{"--help takes no arguments"});
    return invocation;
  }
  const auto found = std::find_if(kCommands.begin(), kCommands.end(),
                                  [&](const CommandName& c) { return c.word == args[0]; });
  if (found == kCommands.end()) return base::Fail(UsageError{"unknown command '" + args[0] + "'"});
  invocation.command = found->command;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--to") {
      if (invocation.command != Command::kGet) return base::Fail(UsageError{"--to belongs to get"});
      if (i + 1 >= args.size() || invocation.to_folder)
        return base::Fail(UsageError{"--to needs one folder"});
      invocation.to_folder = args[++i];
      if (invocation.to_folder->empty()) return base::Fail(UsageError{"--to needs one folder"});
      continue;
    }
    if (arg.size() > 1 && arg[0] == '-') return base::Fail(UsageError{"unknown option '" + arg + "'"});
    invocation.names.push_back(arg);
  }
  if (invocation.command == Command::kSearch) {
    if (invocation.names.size() != 1) return base::Fail(UsageError{"search takes one prefix"});
    // An empty prefix would list everything by accident; "%" does so on purpose.
    if (invocation.names[0].empty()) return base::Fail(UsageError{"the prefix is empty"});
  } else if (invocation.names.empty()) {
    return base::Fail(UsageError{std::string(found->word) + " needs at least one name"});
  }
  return invocation;
}

std::string OutcomeText(Command command, const Outcome& outcome) {
  switch (outcome.kind) {
    case OutcomeKind::kDone:
      if (command == Command::kInstall) return "registered";
      if (command == Command::kUninstall) return "unregistered";
      return "downloaded";
    case OutcomeKind::kNotInCatalogue: return "not in the catalogue";
    case OutcomeKind::kUnsafeName: return "refused: the catalogue name is not a plain file name";
    case OutcomeKind::kDownloadFailed: return "download failed: " + outcome.detail;
    case OutcomeKind::kNotALibrary: return "not a library";
    case OutcomeKind::kCopyFailed: return "copy into the system folder failed: " + outcome.detail;
    case OutcomeKind::kRegsvr32Failed:
      return "regsvr32 failed (code " + std::to_string(outcome.code) + ")";
  }
  return {};
}

int ExitCode(std::span<const Outcome> outcomes) {
  const bool all_done = std::all_of(outcomes.begin(), outcomes.end(),
                                    [](const Outcome& o) { return o.kind == OutcomeKind::kDone; });
  return all_done ? kExitAllDone : kExitSomeFailed;
}

std::string ProgressLine(std::string_view name, int percent) {
  return std::string(name) + ": " + std::to_string(percent) + "%";
}

CliRunner::CliRunner(CliPlatform& platform, const catalogue::Connection* catalogue,
                     std::string server_base_url, std::string download_folder)
    : platform_(platform),
      catalogue_(catalogue),
      server_base_url_(std::move(server_base_url)),
      download_folder_(std::move(download_folder)) {}

int CliRunner::Run(const Invocation& invocation) {
  if (catalogue_ == nullptr && invocation.command != Command::kUninstall) {
    platform_.PrintLine(kNoCatalogueMessage);
    return kExitSomeFailed;
  }
  if (invocation.command == Command::kSearch) return Search(invocation.names[0]);

  const bool system_folder = invocation.command == Command::kInstall ||
                             invocation.command == Command::kUninstall;
  // Checked before anything is downloaded, copied or started, so nothing is touched.
  if (system_folder && !platform_.CanWriteSystemFolder()) {
    platform_.PrintLine(kNoRightsMessage);
    return kExitSomeFailed;
  }
  // A file to install is checked before it may replace anything, so it is downloaded
  // into a folder of its own and not into the download folder, which may be the system
  // folder itself.
  std::optional<std::string> scratch;
  if (invocation.command == Command::kInstall) {
    scratch = platform_.MakeScratchFolder();
    if (!scratch) {
      platform_.PrintLine("movarin-cli: cannot create a temporary folder for the downloads");
      return kExitSomeFailed;
    }
  }

  std::vector<Outcome> outcomes;
  for (const std::string& name : invocation.names) {
    Outcome outcome;
    switch (invocation.command) {
      case Command::kGet:
        outcome = Get(name, invocation.to_folder.value_or(download_folder_));
        break;
      case Command::kInstall: outcome = Install(name, *scratch); break;
      case Command::kUninstall: outcome = Uninstall(name); break;
      default: break;
    }
    platform_.PrintLine(name + ": " + OutcomeText(invocation.command, outcome));
    outcomes.push_back(std::move(outcome));
  }
  if (scratch) platform_.RemoveFolder(*scratch);
  return ExitCode(outcomes);
}

int CliRunner::Search(const std::string& prefix) {
  const auto rows = main_program::SearchRows(*catalogue_, prefix);
  if (!rows) {
    platform_.PrintLine("movarin-cli: the search could not run");
    return kExitSomeFailed;
  }
  const bool has_version = rows->FieldCount() > 1;
  for (std::size_t row = 0; row < rows->RecordCount(); ++row) {
    std::string line(rows->Field(row, 0));
    if (has_version && !rows->Field(row, 1).empty()) {
      line += '\t';
      line += rows->Field(row, 1);
    }
    platform_.PrintLine(line);
  }
  // A search that finds nothing is an answer, not a failure.
  return kExitAllDone;
}

std::optional<CliRunner::CatalogueHit> CliRunner::FindEntry(std::string_view name) const {
  if (catalogue_ == nullptr || name.empty()) return std::nullopt;
  const auto rows = main_program::SearchRows(*catalogue_, name);
  if (!rows) return std::nullopt;
  // The prefix search finds the candidates; only the whole name counts. The exact
  // spelling wins over one that differs in case.
  auto hit = [&](std::size_t row) {
    return CatalogueHit{std::string(rows->Field(row, 0)),
                        download::ExpectedDigest::FromCatalogueText(catalogue::EntrySha256Text(*rows, row))};
  };
  std::optional<CatalogueHit> folded;
  for (std::size_t row = 0; row < rows->RecordCount(); ++row) {
    const std::string_view candidate = rows->Field(row, 0);
    if (candidate == name) return hit(row);
    if (!folded && base::EqualsIgnoringAsciiCase(candidate, name)) folded = hit(row);
  }
  return folded;
}

Outcome CliRunner::Fetch(const CatalogueHit& entry, const std::string& folder) {
  const std::string url = main_program::DownloadAddressFor(server_base_url_, entry.name);
  const std::string destination = folder + "\\" + entry.name;
  auto downloaded = platform_.Download(url, destination, entry.digest, [&](int percent) {
    platform_.PrintInPlace(ProgressLine(entry.name, percent));
  });
  if (!downloaded) return MakeOutcome(OutcomeKind::kDownloadFailed, downloaded.error());
  return {};
}

Outcome CliRunner::Get(const std::string& name, const std::string& folder) {
  const auto entry = FindEntry(name);
  if (!entry) return MakeOutcome(OutcomeKind::kNotInCatalogue);
  if (!IsSafeLibraryName(entry->name)) return MakeOutcome(OutcomeKind::kUnsafeName);
  return Fetch(*entry, folder);
}

Outcome CliRunner::Install(const std::string& name, const std::string& scratch_folder) {
  const auto entry = FindEntry(name);
  if (!entry) return MakeOutcome(OutcomeKind::kNotInCatalogue);
  const std::string* catalogue_name = &entry->name;
  if (!IsSafeLibraryName(*catalogue_name)) return MakeOutcome(OutcomeKind::kUnsafeName);
  Outcome fetched = Fetch(*entry, scratch_folder);
  if (fetched.kind != OutcomeKind::kDone) return fetched;

  const std::string downloaded = scratch_folder + "\\" + *catalogue_name;
  const auto start = platform_.ReadFileStart(downloaded, pe::kDllCheckBytes);
  if (!start || !pe::CheckDll(start->bytes, start->size)) return MakeOutcome(OutcomeKind::kNotALibrary);

  const std::string installed = platform_.SystemFolder() + "\\" + *catalogue_name;
  auto copied = platform_.CopyOver(downloaded, installed);
  if (!copied) return MakeOutcome(OutcomeKind::kCopyFailed, copied.error().description);
  auto code = platform_.RunRegsvr32("/s " + Quoted(installed));
  if (!code) return MakeOutcome(OutcomeKind::kRegsvr32Failed, code.error().description, -1);
  if (*code != 0) return MakeOutcome(OutcomeKind::kRegsvr32Failed, {}, *code);
  return {};
}

Outcome CliRunner::Uninstall(const std::string& name) {
  // Without a catalogue, a plain name is still unregistered: the file is the system's.
  std::optional<std::string> file_name = name;
  if (catalogue_) {
    const auto entry = FindEntry(name);
    file_name = entry ? std::optional(entry->name) : std::nullopt;
  }
  if (!file_name) return MakeOutcome(OutcomeKind::kNotInCatalogue);
  if (!IsSafeLibraryName(*file_name)) return MakeOutcome(OutcomeKind::kUnsafeName);
  const std::string installed = platform_.SystemFolder() + "\\" + *file_name;
  auto code = platform_.RunRegsvr32("/s /u " + Quoted(installed));
  if (!code) return MakeOutcome(OutcomeKind::kRegsvr32Failed, code.error().description, -1);
  if (*code != 0) return MakeOutcome(OutcomeKind::kRegsvr32Failed, {}, *code);
  return {};
}

}  // namespace movarin::cli
