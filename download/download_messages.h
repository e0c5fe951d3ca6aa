#pragma once
// Every text the download engine raises. Hosts show them as they stand.
#include <cstdint>
#include <string>
#include <string_view>

namespace movarin::download::messages {

inline constexpr std::string_view kGettingFileInformation = "Getting file information";
inline constexpr std::string_view kNothingToDownload = "Nothing to download!";
inline constexpr std::string_view kAuthorizationFailed = "Authorization failed!";
inline constexpr std::string_view kCannotEstablishConnection = "Cannot establish connection.";
inline constexpr std::string_view kNotEnoughSpace =
    "There is not enough free space on disk for this file.";
inline constexpr std::string_view kConnectionReset = "The connection with the server was reset.";
inline constexpr std::string_view kUnusableDigest =
    "The catalogue's SHA-256 digest of this file is not valid; the file is not downloaded.";
// Shown instead of an empty first header line.
inline constexpr std::string_view kNothing = "<nothing>";

// "The file, "<address>" was not found!"
std::string NotFound(std::string_view address);
// "The server returned the following response:" CR CR <first line through its CR>
std::string ServerResponse(std::string_view first_line_through_cr);
// "Error: <description> occurred."
std::string RequestFailure(std::string_view description);
// "Cannot write file to disk." CR CR "Error <number>: <description>"
std::string TransferFailure(std::int64_t number, std::string_view description);
// "The downloaded file does not match the catalogue: SHA-256 expected <hex>, received
// <hex>. The file was not kept."
std::string DigestMismatch(std::string_view expected_hex, std::string_view actual_hex);

}  // namespace movarin::download::messages
