#include "tests/support/run.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace movarin::test {

CommandResult Run(const std::vector<std::string>& argv) {
  CommandResult result;
  if (argv.empty()) return result;
  // The outputs go to files, so neither pipe can fill up while the other is read.
  TempFolder folder("movarin-run");
  const std::string out = folder / "out";
  const std::string err = folder / "err";
  const pid_t pid = fork();
  if (pid < 0) return result;
  if (pid == 0) {
    const int out_fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err_fd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out_fd < 0 || err_fd < 0) _exit(127);
    dup2(out_fd, STDOUT_FILENO);
    dup2(err_fd, STDERR_FILENO);
    close(out_fd);
    close(err_fd);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  if (waitpid(pid, &status, 0) == pid && WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
  result.out = ReadWholeFile(out).value_or("");
  result.err = ReadWholeFile(err).value_or("");
  return result;
}

CommandResult RunShell(const std::string& command_line) { return Run({"/bin/sh", "-c", command_line}); }

std::string ShellQuote(std::string_view word) {
  std::string quoted = "'";
  for (char ch : word) quoted += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
  return quoted + "'";
}

bool CommandExists(std::string_view name) {
  return RunShell("command -v " + ShellQuote(name)).exit_code == 0;
}

}  // namespace movarin::test
