#pragma once
// The regsvr32 command lines that unregister a library. They are started as a process
// (no command interpreter reads them); "Regsvr32" is found on the system search path.
#include <string>
#include <string_view>

namespace movarin::registration {

inline constexpr std::string_view kUnregisterSilently = "Regsvr32 /s /u ";
inline constexpr std::string_view kUnregister = "Regsvr32 /u ";

// "Regsvr32 /s /u " or "Regsvr32 /u " followed by the file text. A text with a blank is
// quoted unless it already is, so that regsvr32 receives it as one argument.
std::string UnregisterCommandLine(bool silent, std::string_view file_text);

// The text as one command-line argument: enclosed in double quotes when it contains a
// blank or a tab and is not enclosed in them already; otherwise unchanged.
std::string AsOneArgument(std::string_view file_text);

}  // namespace movarin::registration
