#pragma once
// Where the catalogue server is: ServerBaseUrl, the base address every server path is
// appended to. A compiled-in default (no public server exists yet, so it lies under the
// reserved .invalid domain), overridden by Movarin.ini in the program folder:
//   [Server]
//   BaseUrl=http://127.0.0.1:8080/
#include <string>
#include <string_view>

namespace movarin::settings {

inline constexpr std::string_view kDefaultServerBaseUrl = "http://movarin.invalid/";
inline constexpr std::string_view kServerIniFile = "Movarin.ini";

// The BaseUrl value of the [Server] section of an ini file's text, ending in "/";
// the default when the file has none (or an empty one).
std::string ServerBaseUrlFromIni(std::string_view ini_text);

}  // namespace movarin::settings
