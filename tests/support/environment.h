// What the test runner passes to a test through the environment: the source, build and
// shared folders. Under Wine they arrive as Unix paths and are handed out as the Windows
// paths a program there uses.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace movarin::test {

// The variable's value (UTF-8), or nullopt when it is unset.
std::optional<std::string> EnvVar(std::string_view name);

// MOVARIN_SOURCE, MOVARIN_BUILD and MOVARIN_SHARED in the platform's path form, without
// a trailing separator. The source and build folders fall back to the trees the tests
// were built from; the shared folder to the one beside the source folder.
std::optional<std::string> SourceDir();
std::optional<std::string> BuildDir();
std::optional<std::string> SharedDir();

// <shared>/data/mdb, the sample Access files, or nullopt when that folder is absent.
std::optional<std::string> SampleMdbDir();

// Skips the calling test when the sample files are not present.
#define MOVARIN_REQUIRE_SAMPLES()                                                  \
  do {                                                                             \
    if (!::movarin::test::SampleMdbDir()) {                                        \
      GTEST_SKIP() << "no sample .mdb files: $MOVARIN_SHARED/data/mdb is absent"; \
    }                                                                              \
  } while (0)

// `base` + the platform's separator + `relative` (whose own separators are '/').
std::string JoinPath(const std::string& base, std::string_view relative);

}  // namespace movarin::test
