#pragma once
// A program of ours started for a test; it is killed (with every process it started)
// when the object goes away, so a failing test leaves nothing running.
#include <windows.h>

#include <optional>
#include <string>

#include "platform/win32/handles.h"
#include "tests/e2e/driver/wait.h"

namespace movarin::e2e {

struct LaunchArgs {
  std::string program{};       // Windows path of the .exe
  std::string arguments{};     // appended after the quoted program path
  std::string working_folder{};  // empty: the program's own folder
};

class Process {
 public:
  // Starts the program; nullopt (with *error set) when it cannot be started.
  static std::optional<Process> Launch(const LaunchArgs& args, std::string* error = nullptr);

  Process(Process&&) noexcept = default;
  Process& operator=(Process&& other) noexcept;
  ~Process();

  DWORD id() const { return id_; }
  HANDLE handle() const { return process_.get(); }
  bool Running() const;
  // The exit code once the process has ended within timeout, else nullopt.
  std::optional<DWORD> WaitForExit(milliseconds timeout = kDefaultTimeout) const;
  // Ends the process and everything it started; waits until it is gone.
  void Kill();

 private:
  Process() = default;
  win32::UniqueKernelHandle process_;
  win32::UniqueKernelHandle job_;
  DWORD id_ = 0;
};

}  // namespace movarin::e2e
