// What the tests of the movarin-catalog executable share: running it, and the seed
// libraries (real PE files with version resources) they build catalogues from.
#pragma once

#include <filesystem>
#include <string>

#include "tests/support/environment.h"
#include "tests/support/run.h"

namespace movarin::tools {

// Runs the tool with already quoted arguments.
inline test::CommandResult Tool(const std::string& arguments) {
  return test::RunShell(test::ShellQuote(MOVARIN_CATALOG_TOOL) + " " + arguments);
}

inline std::filesystem::path Seed(const char* name) {
  return std::filesystem::path(*test::SourceDir()) / "fuzz/pe_version_fuzz/corpus" / name;
}

}  // namespace movarin::tools
