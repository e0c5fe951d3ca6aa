#pragma once
// run.bat: the batch file that copies one library into the system folder and registers
// the copy with regsvr32. The main program writes it into its own folder, the Register
// program into Adds; both through this one builder, so the lines are the same to the
// byte.
#include <string>
#include <string_view>

#include "registration/options.h"

namespace movarin::registration {

inline constexpr std::string_view kRunBatName = "run.bat";
// The system folder is this fixed text, never looked up: a 32-bit process on 64-bit
// Windows sees it redirected to the 32-bit system folder, where 32-bit libraries belong.
inline constexpr std::string_view kSystemFolder = "c:\\windows\\system32";
// Every path in the batch lines is enclosed in this character.
inline constexpr char kQuote = '"';

// The whole file as UTF-8 text, every line ended by CR LF:
//   copy "<source path>" "c:\windows\system32"
//   regsvr32 "c:\windows\system32\<file name>"      when silent "No" is on
//   regsvr32 /s "c:\windows\system32\<file name>"   when silent "Yes" is on
// With neither on, only the copy line. The Windows side converts it to the ANSI code
// page when it writes the file.
std::string RunBatText(std::string_view source_path, std::string_view file_name,
                       SilentOption silent);

}  // namespace movarin::registration
