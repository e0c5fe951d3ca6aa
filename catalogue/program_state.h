#pragma once
// The program-wide flag the multiple-file search waits on: "yes" when the last name has
// been dealt with (a miss, or a transfer that ended), "no" while a download reports
// progress. One per process, shared by the main window, the download dialog and the
// multiple-file search window.
#include <string>

namespace movarin::catalogue {

std::string& SearchNextFlag();

}  // namespace movarin::catalogue
