// movarin-catalog publish: a catalogue server's site, ready for any static web server.
//
//   <site>/database.mdb      the catalogue of the libraries, with each one's sha256
//   <site>/database.mdb.sha256  the catalogue's own sha256, as sha256sum writes it
//   <site>/files/<name>      each library, where the program downloads it from
//   <site>/checkversion.php  the update check's reply, naming the program version
//   <site>/Ads2.htm          the sponsor page the program shows first (written once, to edit)
//   <site>/sponsor.htm       the page its link leads to (written once, to edit)
//
// Everything is written inside the site folder, each file beside its old copy first and
// then put in its place, so a failed publish leaves the old site serving as it was.
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace movarin::tools {

// The program version the update check compares with (major plus minor): a site that
// names it offers no update.
inline constexpr int kCurrentProgramVersion = 2;

// The reply of checkversion.php for a version: "checkupdates ccc<N>ddd".
std::string CheckVersionReply(int version);
// The version named by --version: a decimal number from 0 to 32767 (the program keeps it
// in a 16-bit number); nullopt otherwise.
std::optional<int> ParseSiteVersion(std::string_view text);

struct PublishOptions {
  std::optional<int> version;  // nullopt keeps the site's reply, or writes the current one
  std::optional<std::string> password;
};

// Returns the exit status (kExitOk, kExitFailed); messages go to err, a summary to out.
int PublishSite(const std::filesystem::path& libraries, const std::filesystem::path& site,
                const PublishOptions& options, std::ostream& out, std::ostream& err);

}  // namespace movarin::tools
