#pragma once
// What the test runner passes to a Wine test through the environment, and the mapping
// from the Unix paths it holds to the Windows paths a program under Wine uses.
#include <optional>
#include <string>

namespace movarin::test {

// The variable's value, or nullopt when it is unset.
std::optional<std::string> EnvVar(const std::string& name);

// Unix path -> Windows path as Wine maps it ("/work/x" -> "Z:\work\x"); a path that is
// already a Windows path is returned unchanged.
std::string WindowsPath(const std::string& unix_path);

// MOVARIN_SOURCE / MOVARIN_SHARED / MOVARIN_BUILD as Windows paths (no trailing
// backslash), or nullopt when the variable is unset.
std::optional<std::string> SourceDir();
std::optional<std::string> SharedDir();
std::optional<std::string> BuildDir();

// MOVARIN_TEST_SERVER ("http://127.0.0.1:PORT/", always ending in "/") and
// MOVARIN_TEST_SERVER_ROOT (as a Windows path), set by wine-run.sh --with-server.
std::optional<std::string> TestServerUrl();
std::optional<std::string> TestServerRoot();

// The folder of the running test program (no trailing backslash).
std::string ProgramDir();

}  // namespace movarin::test
