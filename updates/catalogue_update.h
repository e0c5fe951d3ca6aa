#pragma once
// The catalogue update's decisions: once a second the size of the local catalogue is
// compared with the size the server reports for its copy; a larger server copy is
// downloaded, anything else lets the start-up go on at once. Sizes are 64-bit throughout.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace movarin::updates {

// The catalogue file in the program folder, and its path on the server after
// ServerBaseUrl.
inline constexpr std::string_view kCatalogueFileName = "database.mdb";

// The window's texts.
namespace database_update_texts {
inline constexpr std::string_view kChecking = "Checking For Database Updates";
inline constexpr std::string_view kCheckedLocal = "Checking For Database Updates.";
inline constexpr std::string_view kCheckedServer = "Checking For Database Updates..";
inline constexpr std::string_view kNewUpdates = "New Updates Available!";
inline constexpr std::string_view kNoNewUpdates = "No New Updates Are Available";
// The remote-size field when the server gave no size.
inline constexpr std::string_view kSizeNotAvailable = "Not available";
// The box after a failed download: text and title.
inline constexpr std::string_view kConnectionError = "Connection error";
inline constexpr std::string_view kNotDownloaded = "Not downloaded";
// The connection-type list, in the order of the remote file control's types 0, 1, 2.
inline constexpr std::array<std::string_view, 3> kConnectionTypes = {
    "Internet Explorer Preconfig", "Connection trough Proxy", "Direct Connection!"};
inline constexpr std::string_view kDownloadInfo = "Download Info";
inline constexpr std::string_view kFileNameCaption = "File name :";
inline constexpr std::string_view kDownloadTimeCaption = "Download time :";
inline constexpr std::string_view kDestinationFolderCaption = "Destination Folder :";
inline constexpr std::string_view kDownloadPercentageCaption = "Download Percentage :";
inline constexpr std::string_view kCloseAfterDownload = "After download close this window";
inline constexpr std::string_view kOpenFolderAfterDownload = "After download open destination folder";
inline constexpr std::string_view kDefaultRemotePort = "80";
}  // namespace database_update_texts

// The connection-type entry chosen at load, and the one whose proxy boxes are enabled.
inline constexpr int kInitialConnectionType = 0;
inline constexpr int kProxyConnectionType = 1;
// The proxy server and port boxes are enabled and editable only for the proxy entry.
bool ProxyBoxesEnabled(int connection_type_index);

// The interval of the size check.
inline constexpr unsigned kCheckIntervalMs = 1000;

// A port typed into a box: 0 to 65535, an empty text giving 0; nullopt for anything
// else, which leaves the port the control had.
std::optional<std::uint16_t> PortFromText(std::string_view text);

// The local-size field: the size in decimal, -1 for a file that cannot be opened.
std::string LocalSizeText(std::int64_t local_size);
// The remote-size field: the size in decimal when it is above 0, else "Not available".
std::string RemoteSizeText(std::int64_t server_size);

enum class CatalogueDecision {
  kDownload,  // the server copy is larger: download it
  kNoUpdate,  // equal, smaller or no size: go on at once
};

// The server size as reported (0 or less when it gave none) against the local size (-1
// when there is no local file): only a strictly larger server copy is fetched, so a
// missing local file is replaced by any server copy and a server that gives no size
// never replaces an existing one.
CatalogueDecision DecideCatalogueUpdate(std::int64_t local_size, std::int64_t server_size);

// One tick of the size check, as the window shows it.
struct CatalogueCheck {
  std::string local_size_field;
  std::string remote_size_field;
  CatalogueDecision decision = CatalogueDecision::kNoUpdate;
  std::string_view status;
};
CatalogueCheck CheckCatalogueSizes(std::int64_t local_size, std::int64_t server_size);

// The percentage field during a download: "57 %".
std::string PercentageText(int percent);

}  // namespace movarin::updates
