// movarin-catalog: builds catalogue databases and reads them through the same reader and
// query code the program uses. Portable; main.cpp and win_main.cpp only hand over the
// arguments (as UTF-8) and the output streams.
#pragma once

#include <ostream>
#include <span>
#include <string>

namespace movarin::tools {

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // the command ran and failed (message on err)
inline constexpr int kExitUsage = 2;   // bad arguments (usage text on err)

// args: the arguments after the program name, UTF-8.
int RunCatalogTool(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace movarin::tools
