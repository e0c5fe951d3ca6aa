#include "tests/e2e/driver/process.h"

#include <vector>

#include "platform/win32/text.h"

namespace movarin::e2e {

std::optional<Process> Process::Launch(const LaunchArgs& args, std::string* error) {
  auto fail = [&](const std::string& why) -> std::optional<Process> {
    if (error) *error = why + " (error " + std::to_string(GetLastError()) + ")";
    return std::nullopt;
  };
  std::string folder = args.working_folder;
  if (folder.empty()) {
    const auto slash = args.program.find_last_of("\\/");
    if (slash != std::string::npos) folder = args.program.substr(0, slash);
  }
  std::wstring command = L"\"" + win32::Widen(args.program) + L"\"";
  if (!args.arguments.empty()) command += L" " + win32::Widen(args.arguments);
  std::vector<wchar_t> command_buffer(command.begin(), command.end());
  command_buffer.push_back(L'\0');
  const std::wstring wfolder = win32::Widen(folder);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  // Under a heavily loaded machine Wine now and then refuses a start with an internal
  // error that a second attempt does not meet; anything else is reported at once.
  bool started = false;
  for (int attempt = 0; attempt < 3 && !started; ++attempt) {
    if (attempt > 0) Sleep(200);
    started = CreateProcessW(nullptr, command_buffer.data(), nullptr, nullptr, FALSE,
                             CREATE_SUSPENDED | CREATE_NEW_PROCESS_GROUP, nullptr,
                             wfolder.empty() ? nullptr : wfolder.c_str(), &startup, &info);
    if (!started && GetLastError() != ERROR_INTERNAL_ERROR) break;
  }
  if (!started) return fail("cannot start " + args.program);
  Process process;
  process.process_.reset(info.hProcess);
  win32::UniqueKernelHandle thread(info.hThread);
  process.id_ = info.dwProcessId;
  // A job that dies with us takes the program's own children (helper programs, cmd)
  // along. Where jobs are not available the program still runs, unguarded.
  process.job_.reset(CreateJobObjectW(nullptr, nullptr));
  if (process.job_) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(process.job_.get(), JobObjectExtendedLimitInformation, &limits,
                                 sizeof limits) ||
        !AssignProcessToJobObject(process.job_.get(), process.process_.get())) {
      process.job_.reset();
    }
  }
  ResumeThread(thread.get());
  return process;
}

Process& Process::operator=(Process&& other) noexcept {
  if (this != &other) {
    Kill();
    process_ = std::move(other.process_);
    job_ = std::move(other.job_);
    id_ = other.id_;
  }
  return *this;
}

Process::~Process() { Kill(); }

bool Process::Running() const {
  return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> Process::WaitForExit(milliseconds timeout) const {
  if (!process_) return std::nullopt;
  if (WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD code = 0;
  if (!GetExitCodeProcess(process_.get(), &code)) return std::nullopt;
  return code;
}

void Process::Kill() {
  if (job_) TerminateJobObject(job_.get(), 1);
  if (process_ && Running()) {
    TerminateProcess(process_.get(), 1);
    WaitForSingleObject(process_.get(), 10000);
  }
  job_.reset();
}

}  // namespace movarin::e2e
