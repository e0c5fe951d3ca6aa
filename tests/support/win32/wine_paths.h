// Paths under Wine: the Unix paths the runner passes, as the Windows paths a program
// there uses, and the folder of the running program.
#pragma once

#include <string>

namespace movarin::test {

// Unix path -> Windows path as Wine maps it ("/work/x" -> "Z:\work\x"); a path that is
// already a Windows path is returned unchanged.
std::string WindowsPath(const std::string& unix_path);

// The folder of the running test program (no trailing backslash).
std::string ProgramDir();

}  // namespace movarin::test
