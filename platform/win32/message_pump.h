#pragma once
// Processes the window messages that are waiting, as long operations on the user-
// interface thread do between their steps so the windows stay responsive.
namespace movarin::win32 {

void ProcessPendingMessages();

// The program's main loop; returns the exit code given to PostQuitMessage.
int RunMessageLoop();

}  // namespace movarin::win32
