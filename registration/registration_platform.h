#pragma once
// What the register and unregister commands need from the system they run on: message
// boxes, files, the shell and the ANSI code page. registration/win32/ implements it;
// unit tests use a recording fake.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/files.h"
#include "base/result.h"
#include "registration/name_check.h"

namespace movarin::registration {

// The first bytes of a file (as many as were asked for, or the whole file when it is
// shorter) and the size of the whole file.
struct FileStart {
  std::vector<std::uint8_t> bytes;
  std::uint64_t size = 0;
};

class RegistrationPlatform : public AnsiCodePage {
 public:
  // An information box with the program's title and an OK button; returns when closed.
  virtual void ShowInformation(std::string_view text) = 0;
  virtual base::Result<FileStart, base::FileReadError> ReadFileStart(const std::string& path,
                                                                     std::size_t max_bytes) = 0;
  // Leaves the file holding exactly `bytes` (created, or replaced as a whole); false when
  // it could not, and then the file holds what it held before.
  virtual bool WriteFile(const std::string& path, std::string_view bytes) = 0;
  // Removes the file; true when it is gone afterwards (a missing file counts as gone).
  virtual bool RemoveFile(const std::string& path) = 0;
  // Starts a file through the shell: verb "open", no parameters, working directory "C:\",
  // normal window. Does not wait; the outcome is not reported.
  virtual void OpenThroughShell(const std::string& path) = 0;
  // Starts a command line as a new process with its window minimised and given the
  // focus. Does not wait; the outcome is not reported.
  virtual void StartMinimised(const std::string& command_line) = 0;
};

}  // namespace movarin::registration
