#pragma once
// The program update check: what the server's "checkversion.php" reply says, and what the
// check does with it. The reply comes from the network and is treated as hostile: any
// bytes are accepted.
//
// A reply names a version when it holds the marker "checkupdates" somewhere and a decimal
// number between its first "ccc" and the first "ddd" after that ("checkupdates ccc3ddd").
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace movarin::updates {

inline constexpr std::string_view kUpdateMarker = "checkupdates";
inline constexpr std::string_view kVersionStart = "ccc";
inline constexpr std::string_view kVersionEnd = "ddd";

// The server path of the reply, after ServerBaseUrl.
inline constexpr std::string_view kVersionReplyPath = "checkversion.php";
// The updater program in the program folder, started by "Update".
inline constexpr std::string_view kUpdaterProgram = "NewVersion.exe";

// The texts of the status label.
namespace update_check_texts {
inline constexpr std::string_view kChecking = "Checking For Updates";
inline constexpr std::string_view kNewUpdates = "New Updates Available!";
inline constexpr std::string_view kNoNewUpdates = "No New Updates Are Available";
}  // namespace update_check_texts

// The local version number: the program's major plus its minor version number (a sum, not
// a dotted pair: 2.00 gives 2), kept within 16 bits.
std::int16_t LocalVersionNumber(int major, int minor);

// A decimal number filling the whole text but for surrounding blanks ("3", " 10 ",
// "2.5", "1e1"); nullopt for anything else, including an empty text and numbers too
// large to be finite.
std::optional<double> ReadDecimalNumber(std::string_view text);

// The version a reply names; nullopt when it lacks the marker, either delimiter, or a
// readable number between them.
std::optional<double> ServerVersion(std::string_view reply);

enum class UpdateCheckOutcome {
  kWait,         // the window stays and waits for the user
  kOfferUpdate,  // a newer version exists: the window stays and offers "Update"
  kGoOn,         // no newer version: on to the catalogue update, and this window closes
};

struct UpdateCheckStep {
  UpdateCheckOutcome outcome = UpdateCheckOutcome::kWait;
  // The new label text; nullopt keeps the label as it is.
  std::optional<std::string_view> label;
};

// One check. `reply` is the body the server answered with (of any status), or nullopt
// when no answer arrived at all (no connection, time-out).
//  - no answer at all: on to the catalogue update as after "No New Updates Are
//    Available", so a server that is down never locks the user out;
//  - an answer that names no version (no marker, or a damaged number): wait, label kept;
//  - a version greater than the local one: offer the update;
//  - otherwise (equal or smaller): go on.
UpdateCheckStep DecideUpdateCheck(const std::optional<std::string>& reply, std::int16_t local_version);

}  // namespace movarin::updates
