#pragma once
// Address helpers shared by the download dialog, the database update, the remote file
// control and the transfer. A server address is "http://" or "https://"; which of the
// two, and so the port and whether the connection is encrypted, is decided here once.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace movarin::download {

// The file name at the end of an "http://" or "https://" address: the text after its
// last "/" (the last character itself is not searched), when that text holds a "."
// before its last character; otherwise empty text. "http://h/files/ACTSKIN4.OCX" gives
// "ACTSKIN4.OCX". The scheme is compared case-sensitively.
std::string FileNameFromUrl(std::string_view address);

// Splits "http://host:8080/dir/f.mdb" (or "https://...") into the host part
// "host:8080", left in `address`, and the path "/dir/f.mdb" in `path`. Without a "/"
// after the host only the scheme prefix is removed and `path` is left as it was.
void SplitUrl(std::string& address, std::string& path);

// True when the address starts with "https://" (case-sensitively, as SplitUrl removes it).
bool IsSecureAddress(std::string_view address);

// A port written in decimal digits, 0 to 65535; nullopt for anything else (a sign, a
// blank, a number too large).
std::optional<std::uint16_t> ParsePortNumber(std::string_view digits);

inline constexpr std::uint16_t kHttpPort = 80;
inline constexpr std::uint16_t kHttpsPort = 443;

// The parts of an address that a request needs.
struct ServerAddress {
  bool secure = false;  // "https": the connection is encrypted and its certificate checked
  std::string host;     // without a user name, and without the brackets of an IPv6 address
  std::uint16_t port = kHttpPort;  // the port written in the address, else 80 or 443
  std::string path;     // from the first "/" or "?" after the host on; "/" when none
};

// An "http://" or "https://" address (the scheme in any case, as the Internet functions
// take it) taken apart; nullopt for another scheme, no host, or a port that is not a
// number from 1 to 65535. A fragment ("#...") is not part of the request and is dropped.
std::optional<ServerAddress> ParseServerAddress(std::string_view url);

// The text before its first NUL character; the whole text when it has none.
std::string TrimAtNul(std::string_view text);

// True when `name` can only name a file inside the folder it is joined to: not empty,
// not "." or "..", and without "\", "/", ":" or control characters. A file name taken
// from an address must pass this before it is joined to the download folder.
bool IsPlainFileName(std::string_view name);

// FileNameFromUrl, but empty text unless the name is plain (see IsPlainFileName).
std::string PlainFileNameFromUrl(std::string_view address);

}  // namespace movarin::download
