#pragma once
// Starting the batch file, the helper programs and regsvr32.
#include <windows.h>

#include <string>

namespace movarin::registration::win32 {

// ShellExecute with verb "open", no parameters, working directory "C:\" and a normal
// window. The shell asks for administrator rights when the program's manifest requires
// them. False when the shell refused; callers do not report it.
bool OpenThroughShell(HWND owner, const std::string& path);

// Starts a command line (the program is looked up on the system search path) as a new
// process whose window is minimised and given the focus. Does not wait for it.
bool StartMinimised(const std::string& command_line);

// Information box with the program's title.
void ShowInformation(HWND owner, const std::string& text);

}  // namespace movarin::registration::win32
