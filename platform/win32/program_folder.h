#pragma once
#include <string>

namespace movarin::win32 {

// The folder of the running program, without a trailing backslash (UTF-8).
std::string ProgramFolder();

}  // namespace movarin::win32
