#pragma once
// The remote file control as a window puts it on itself: InternetFile over WinINet and
// the Windows file system, processing the program's window messages at its steps.
//
//   InternetFileControl remote;
//   remote.file().settings.url = base_url + "database.mdb";
//   remote.file().RequestInformation();
//   const std::int64_t size = remote.file().FileSize();
#include <functional>

#include "download/internet_file.h"
#include "download/win32/wininet_remote_file.h"

namespace movarin::download::win32 {

class InternetFileControl {
 public:
  // process_messages defaults to the program's message pump.
  explicit InternetFileControl(std::function<void()> process_messages = {});
  InternetFileControl(const InternetFileControl&) = delete;
  InternetFileControl& operator=(const InternetFileControl&) = delete;

  InternetFile& file() { return file_; }

 private:
  WinInetApi api_;
  WindowsCopyFiles files_;
  InternetFile file_;
};

}  // namespace movarin::download::win32
