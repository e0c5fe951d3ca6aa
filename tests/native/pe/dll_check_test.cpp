#include "pe/dll_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <set>
#include <string>

#include "tests/native/pe/pe_test_image.h"
#include "tests/support/bytes.h"
#include "tests/support/files.h"
#include "tests/support/run.h"

namespace movarin::pe {
namespace {

using movarin::test::GetU32;
using movarin::test::PutU16;
using movarin::test::PutU32;
using test::BuildImage;
using test::BuiltImage;

std::optional<DllCheckError> Check(const std::vector<std::uint8_t>& bytes) {
  auto result = CheckDll(bytes, bytes.size());
  if (result) return std::nullopt;
  return result.error();
}

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
  return movarin::test::ReadBytes(path.string());
}

TEST(DllCheck, AcceptsBothBitnessesAndRefusesPrograms) {
  for (bool pe32plus : {false, true}) {
    EXPECT_EQ(Check(BuildImage({.pe32plus = pe32plus}).bytes), std::nullopt) << pe32plus;
    EXPECT_EQ(Check(BuildImage({.pe32plus = pe32plus, .dll = false}).bytes), DllCheckError::kNotDll);
  }
}

struct Forgery {
  const char* name;
  std::function<void(BuiltImage&)> forge;
  DllCheckError expected;
};

class ForgedImage : public ::testing::TestWithParam<std::tuple<Forgery, bool>> {};

TEST_P(ForgedImage, IsRefused) {
  const auto& [forgery, pe32plus] = GetParam();
  BuiltImage image = BuildImage({.pe32plus = pe32plus});
  forgery.forge(image);
  EXPECT_EQ(Check(image.bytes), forgery.expected) << forgery.name;
}

const Forgery kForgeries[] = {
    {"no MZ", [](BuiltImage& i) { PutU16(i.bytes, 0, 0x4D5A); }, DllCheckError::kNotPeImage},
    {"text file", [](BuiltImage& i) { i.bytes.assign({'<', 'h', 't', 'm', 'l', '>'}); }, DllCheckError::kNotPeImage},
    {"new header past the end", [](BuiltImage& i) { PutU32(i.bytes, 0x3C, static_cast<std::uint32_t>(i.bytes.size())); },
     DllCheckError::kNotPeImage},
    {"new header at 4 GiB", [](BuiltImage& i) { PutU32(i.bytes, 0x3C, 0xFFFFFFFF); }, DllCheckError::kNotPeImage},
    {"no PE signature", [](BuiltImage& i) { PutU32(i.bytes, 0x80, 0x00004E45); }, DllCheckError::kNotPeImage},
    {"ROM optional header", [](BuiltImage& i) { PutU16(i.bytes, i.optional_header, 0x107); }, DllCheckError::kBadHeaders},
    {"optional header past the end", [](BuiltImage& i) { PutU16(i.bytes, i.OptionalHeaderSize(), 0xFFFF); },
     DllCheckError::kBadHeaders},
    {"DLL flag without executable flag", [](BuiltImage& i) { PutU16(i.bytes, i.Characteristics(), 0x2000); },
     DllCheckError::kNotDll},
    {"no sections", [](BuiltImage& i) { PutU16(i.bytes, i.SectionCount(), 0); }, DllCheckError::kBadHeaders},
    {"more sections than the loader takes", [](BuiltImage& i) { PutU16(i.bytes, i.SectionCount(), 97); },
     DllCheckError::kBadHeaders},
    {"section table past the end", [](BuiltImage& i) { PutU16(i.bytes, i.SectionCount(), 96); },
     DllCheckError::kBadHeaders},
    {"section beyond the end", [](BuiltImage& i) { PutU32(i.bytes, i.SectionRawPointer(1), 0x10000); },
     DllCheckError::kTruncated},
    {"section one byte too long", [](BuiltImage& i) { PutU32(i.bytes, i.SectionRawSize(1), GetU32(i.bytes, i.SectionRawSize(1)) + 1); },
     DllCheckError::kTruncated},
    {"section end overflowing 32 bits",
     [](BuiltImage& i) {
       PutU32(i.bytes, i.SectionRawPointer(0), 0xFFFFFF00);
       PutU32(i.bytes, i.SectionRawSize(0), 0x200);
     },
     DllCheckError::kTruncated},
    {"section of 4 GiB", [](BuiltImage& i) { PutU32(i.bytes, i.SectionRawSize(0), 0xFFFFFFFF); }, DllCheckError::kTruncated},
};

INSTANTIATE_TEST_SUITE_P(BothBitnesses, ForgedImage,
                         ::testing::Combine(::testing::ValuesIn(kForgeries), ::testing::Bool()));

TEST(DllCheck, SectionWithoutFileDataMayPointAnywhere) {
  BuiltImage image = BuildImage();
  PutU32(image.bytes, image.SectionRawSize(1), 0);
  PutU32(image.bytes, image.SectionRawPointer(1), 0xFFFFFFFF);
  EXPECT_EQ(Check(image.bytes), std::nullopt);
}

TEST(DllCheck, EveryCutOffCopyIsRefused) {
  for (bool pe32plus : {false, true}) {
    const std::vector<std::uint8_t> whole = BuildImage({.pe32plus = pe32plus}).bytes;
    for (std::size_t size = 0; size < whole.size(); ++size) {
      const std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + size);
      ASSERT_NE(Check(cut), std::nullopt) << "cut to " << size << " bytes";
    }
  }
}

TEST(DllCheck, StartOfALargerFileIsEnough) {
  const std::vector<std::uint8_t> whole = BuildImage().bytes;
  const std::span<const std::uint8_t> headers(whole.data(), 0x200);
  EXPECT_TRUE(CheckDll(headers, whole.size()));
  // The data's sections are checked against the size of the whole file, not the start.
  EXPECT_FALSE(CheckDll(headers, whole.size() - 1));
  // A start longer than the file is a caller's mistake, not a library.
  EXPECT_FALSE(CheckDll(whole, whole.size() - 1));
}

TEST(DllCheck, ErrorsHaveTextsOfTheirOwn) {
  std::set<std::string_view> texts;
  for (auto error : {DllCheckError::kNotPeImage, DllCheckError::kBadHeaders, DllCheckError::kNotDll,
                     DllCheckError::kTruncated}) {
    EXPECT_TRUE(texts.insert(DllCheckErrorText(error)).second);
  }
}

// Libraries and programs the cross compilers built for this test (see CMakeLists.txt).
TEST(DllCheck, CrossCompiledLibrariesPassAndProgramsDoNot) {
  const std::filesystem::path folder = MOVARIN_PE_CROSS_BUILT;
  for (const char* bits : {"32", "64"}) {
    const auto library = ReadFile(folder / (std::string("tiny") + bits + ".dll"));
    EXPECT_EQ(Check(library), std::nullopt) << bits;
    EXPECT_EQ(Check(ReadFile(folder / (std::string("tiny") + bits + ".exe"))), DllCheckError::kNotDll) << bits;
    // Half a download of the library is not a library.
    const std::vector<std::uint8_t> half(library.begin(), library.begin() + library.size() / 2);
    EXPECT_NE(Check(half), std::nullopt) << bits;
  }
}

// Wine's own libraries and programs, as real-world input from another toolchain, against
// an independent reader: file(1) says "(DLL)" exactly for the PE images it sees marked
// as libraries (Wine's ntoskrnl.exe is one).
TEST(DllCheck, AgreesWithFileOnWinesLibrariesAndPrograms) {
  const std::filesystem::path folder = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows";
  ASSERT_TRUE(std::filesystem::is_directory(folder)) << "Wine is not installed: " << folder;
  ASSERT_TRUE(movarin::test::CommandExists("file")) << "file(1) is not installed";
  std::vector<std::filesystem::path> paths;
  std::vector<std::string> command{"file", "-b", "--"};
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    paths.push_back(entry.path());
    command.push_back(entry.path().string());
  }
  const auto described = movarin::test::Run(command);
  ASSERT_EQ(described.exit_code, 0) << described.err;
  std::vector<std::string> verdicts;
  for (std::size_t at = 0, end; (end = described.out.find('\n', at)) != std::string::npos; at = end + 1)
    verdicts.push_back(described.out.substr(at, end - at));
  ASSERT_EQ(verdicts.size(), paths.size()) << "file(1) did not describe every file";
  int libraries = 0, others = 0;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    const bool library = verdicts[i].rfind("PE32", 0) == 0 && verdicts[i].find("(DLL)") != std::string::npos;
    EXPECT_EQ(Check(ReadFile(paths[i])).has_value(), !library) << paths[i] << ": " << verdicts[i];
    ++(library ? libraries : others);
  }
  EXPECT_GT(libraries, 100);
  EXPECT_GT(others, 10);
}

}  // namespace
}  // namespace movarin::pe
