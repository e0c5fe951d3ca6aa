#pragma once
#include <string>

namespace movarin::settings {

// ServerBaseUrl for this run: Movarin.ini in the program folder, else the default.
std::string LoadServerBaseUrl();

}  // namespace movarin::settings
