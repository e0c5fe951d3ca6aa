// Running other programs from native tests: the independent readers (mdbtools, node),
// compilers and our own tools. POSIX only.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace movarin::test {

struct CommandResult {
  int exit_code = -1;  // -1 when the program could not run or did not exit normally
  std::string out;     // standard output
  std::string err;     // standard error
};

// Runs a program with its arguments, no shell in between; both outputs are captured.
CommandResult Run(const std::vector<std::string>& argv);
// Runs a command line through /bin/sh.
CommandResult RunShell(const std::string& command_line);
// A word quoted for the shell.
std::string ShellQuote(std::string_view word);
bool CommandExists(std::string_view name);

}  // namespace movarin::test
