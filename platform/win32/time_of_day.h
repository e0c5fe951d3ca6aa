#pragma once
#include <string>

namespace movarin::win32 {

// The current time of day in the user's format ("14:05:09"), as the download windows
// show when a transfer starts and ends; empty when the system cannot format it.
std::string TimeOfDayNow();

}  // namespace movarin::win32
