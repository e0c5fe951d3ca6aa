// The PE version reader: real DLLs compared with binutils' windres (an independent reader
// of resources), and hostile variants of a small image built here.
#include <gtest/gtest.h>

#include <filesystem>

#include <algorithm>
#include <cstring>
#include <functional>
#include <random>
#include <regex>

#include "pe/pe_version.h"
#include "tests/support/bytes.h"
#include "tests/support/environment.h"
#include "tests/support/files.h"
#include "tests/support/run.h"
#include "tests/support/temp_folder.h"

namespace movarin::pe {
namespace {

namespace fs = std::filesystem;
using movarin::test::CommandExists;
using movarin::test::ShellQuote;
using movarin::test::ReadWholeFile;
using movarin::test::RunShell;

std::vector<std::uint8_t> Bytes(const std::string& text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::string VersionOrError(const base::Result<std::string, PeError>& result) {
  if (!result) return "error: " + std::string(PeErrorText(result.error()));
  return *result;
}

// The version windres finds in a file: "a.b.c.d", "" without a version resource, or
// nullopt when windres cannot read the file.
std::optional<std::string> WindresVersion(const fs::path& file) {
  const auto result = RunShell("x86_64-w64-mingw32-windres -i " + ShellQuote(file.string()) + " -O rc");
  if (result.exit_code != 0) return std::nullopt;
  std::smatch match;
  static const std::regex kFileVersion(R"(\n\s*FILEVERSION (\d+), (\d+), (\d+), (\d+))");
  if (!std::regex_search(result.out, match, kFileVersion)) {
    if (result.out.find("VERSIONINFO") != std::string::npos) return std::nullopt;
    return std::string();
  }
  return match[1].str() + "." + match[2].str() + "." + match[3].str() + "." + match[4].str();
}

std::vector<fs::path> WineSystemDlls() {
  const fs::path system32 =
      fs::path(*movarin::test::SourceDir()) / "build/wineprefix/drive_c/windows/system32";
  std::vector<fs::path> dlls;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(system32, error)) {
    if (entry.path().extension() == ".dll") dlls.push_back(entry.path());
  }
  std::sort(dlls.begin(), dlls.end());
  return dlls;
}

TEST(PeVersionOfRealFiles, AgreesWithWindresOnWineSystemLibraries) {
  if (!CommandExists("x86_64-w64-mingw32-windres")) GTEST_SKIP() << "mingw-w64 binutils missing";
  const auto dlls = WineSystemDlls();
  if (dlls.empty()) GTEST_SKIP() << "no Wine prefix (scripts/setup.sh creates it)";
  std::size_t compared = 0;
  std::size_t with_version = 0;
  for (std::size_t i = 0; i < dlls.size(); i += 5) {
    const auto expected = WindresVersion(dlls[i]);
    if (!expected) continue;
    EXPECT_EQ(VersionOrError(ReadFileVersionOfFile(dlls[i])), *expected) << dlls[i];
    ++compared;
    if (!expected->empty()) ++with_version;
  }
  EXPECT_GT(compared, 20u);
  EXPECT_GT(with_version, 10u);
}

// Every prefix and many corrupted copies of a real library: a result or an error, never a
// crash or a read outside the bytes (the sanitizer tree checks the latter).
TEST(PeVersionOfRealFiles, CutAndCorruptedCopiesGiveAResultOrAnError) {
  const auto dlls = WineSystemDlls();
  const auto it = std::find_if(dlls.begin(), dlls.end(),
                               [](const fs::path& p) { return p.filename() == "comctl32.dll"; });
  if (it == dlls.end()) GTEST_SKIP() << "no Wine prefix (scripts/setup.sh creates it)";
  const auto bytes = Bytes(*ReadWholeFile(*it));
  ASSERT_EQ(VersionOrError(ReadFileVersion(bytes)), VersionOrError(ReadFileVersionOfFile(*it)));
  for (std::size_t length = 0; length < bytes.size(); length += 97) {
    (void)ReadFileVersion(std::span(bytes).first(length));
  }
  std::mt19937 random(1234);
  for (int round = 0; round < 300; ++round) {
    auto copy = bytes;
    for (int k = 0; k < 8; ++k) {
      // Mostly in the headers and the resource tree, where offsets live.
      const std::size_t at = random() % (round % 2 ? 4096 : copy.size());
      copy[at] = static_cast<std::uint8_t>(random());
    }
    (void)ReadFileVersion(copy);
  }
}

// Libraries linked by the mingw-w64 cross compilers, 32-bit (PE32) and 64-bit (PE32+),
// with and without a version resource compiled by windres.
TEST(PeVersionOfRealFiles, ReadsLibrariesBuiltByTheCrossCompilers) {
  for (const std::string triple : {"i686-w64-mingw32", "x86_64-w64-mingw32"}) {
    if (!CommandExists(triple + "-gcc") || !CommandExists(triple + "-windres")) {
      GTEST_SKIP() << triple << " compilers are not installed";
    }
    movarin::test::TempFolder folder;
    movarin::test::WriteWholeFile(folder / "library.c", "int Answer(void) { return 42; }\n");
    movarin::test::WriteWholeFile(folder / "version.rc",
                              "1 VERSIONINFO\nFILEVERSION 3,14,15,9265\nPRODUCTVERSION 1,0,0,0\n"
                              "BEGIN\nBLOCK \"StringFileInfo\"\nBEGIN\nBLOCK \"040904B0\"\nBEGIN\n"
                              "VALUE \"FileVersion\", \"free text 1.0\"\nEND\nEND\nEND\n");
    const std::string in = "cd " + ShellQuote(folder.path()) + " && ";
    const auto built = RunShell(
        in + triple + "-windres version.rc -O coff -o version.o && " + triple +
        "-gcc -shared -o versioned.dll library.c version.o && " + triple +
        "-gcc -shared -o plain.dll library.c");
    ASSERT_EQ(built.exit_code, 0) << built.err;
    EXPECT_EQ(VersionOrError(ReadFileVersionOfFile(folder / "versioned.dll")), "3.14.15.9265")
        << triple;
    EXPECT_EQ(VersionOrError(ReadFileVersionOfFile(folder / "plain.dll")), "") << triple;
  }
}

// A minimal PE32 image with one section holding a resource tree with a version resource.
// Offsets are fixed so cases can damage one field at a time.
namespace image {
constexpr std::size_t kNewHeader = 0x40;
constexpr std::size_t kCoff = kNewHeader + 4;
constexpr std::size_t kOptional = kCoff + 20;
constexpr std::size_t kOptionalSize = 224;
constexpr std::size_t kSectionTable = kOptional + kOptionalSize;
constexpr std::size_t kRaw = 0x200;  // the section's bytes in the file
constexpr std::uint32_t kRva = 0x1000;
// Inside the section.
constexpr std::size_t kTypeDirectory = 0x00;
constexpr std::size_t kNameDirectory = 0x18;
constexpr std::size_t kLanguageDirectory = 0x30;
constexpr std::size_t kDataEntry = 0x48;
constexpr std::size_t kVersionInfo = 0x58;
constexpr std::size_t kFixedInfo = kVersionInfo + 40;
constexpr std::size_t kVersionInfoSize = 40 + 52;
constexpr std::size_t kSectionSize = 0x200;

using movarin::test::PutU16;
using movarin::test::PutU32;

std::vector<std::uint8_t> Build() {
  std::vector<std::uint8_t> b(kRaw + kSectionSize, 0);
  b[0] = 'M', b[1] = 'Z';
  PutU32(b, 0x3C, kNewHeader);
  std::memcpy(&b[kNewHeader], "PE\0\0", 4);
  PutU16(b, kCoff, 0x14C);
  PutU16(b, kCoff + 2, 1);  // sections
  PutU16(b, kCoff + 16, kOptionalSize);
  PutU16(b, kOptional, 0x10B);
  PutU32(b, kOptional + 92, 16);  // data directories
  PutU32(b, kOptional + 96 + 2 * 8, kRva);
  PutU32(b, kOptional + 96 + 2 * 8 + 4, kSectionSize);
  std::memcpy(&b[kSectionTable], ".rsrc\0\0\0", 8);
  PutU32(b, kSectionTable + 8, kSectionSize);
  PutU32(b, kSectionTable + 12, kRva);
  PutU32(b, kSectionTable + 16, kSectionSize);
  PutU32(b, kSectionTable + 20, kRaw);
  auto directory = [&](std::size_t at, std::uint32_t id, std::uint32_t target) {
    PutU16(b, kRaw + at + 14, 1);  // one id entry
    PutU32(b, kRaw + at + 16, id);
    PutU32(b, kRaw + at + 20, target);
  };
  directory(kTypeDirectory, 16, 0x80000000u | kNameDirectory);
  directory(kNameDirectory, 1, 0x80000000u | kLanguageDirectory);
  directory(kLanguageDirectory, 0x409, kDataEntry);
  PutU32(b, kRaw + kDataEntry, kRva + kVersionInfo);
  PutU32(b, kRaw + kDataEntry + 4, kVersionInfoSize);
  PutU16(b, kRaw + kVersionInfo, kVersionInfoSize);
  PutU16(b, kRaw + kVersionInfo + 2, 52);
  const std::u16string key = u"VS_VERSION_INFO";
  for (std::size_t i = 0; i < key.size(); ++i) PutU16(b, kRaw + kVersionInfo + 6 + 2 * i, key[i]);
  PutU32(b, kRaw + kFixedInfo, 0xFEEF04BDu);
  PutU32(b, kRaw + kFixedInfo + 8, 0x0001000Au);   // 1.10
  PutU32(b, kRaw + kFixedInfo + 12, 0xFFFF0000u);  // 65535.0
  return b;
}
}  // namespace image

struct ImageCase {
  std::string name;
  std::function<void(std::vector<std::uint8_t>&)> change;
  std::string expected;  // version, or "error: <text>"
};
void PrintTo(const ImageCase& c, std::ostream* out) { *out << c.name; }

class PeVersionOfBuiltImage : public ::testing::TestWithParam<ImageCase> {};

TEST_P(PeVersionOfBuiltImage, ReadsTheVersionOrNamesTheFault) {
  auto bytes = image::Build();
  GetParam().change(bytes);
  EXPECT_EQ(VersionOrError(ReadFileVersion(bytes)), GetParam().expected);
}

using movarin::test::PutU16;
using movarin::test::PutU32;
constexpr std::size_t kRaw = image::kRaw;

std::string Error(PeError e) { return "error: " + std::string(PeErrorText(e)); }

INSTANTIATE_TEST_SUITE_P(
    Cases, PeVersionOfBuiltImage,
    ::testing::Values(
        ImageCase{"intact", [](auto&) {}, "1.10.65535.0"},
        ImageCase{"pe32_plus",
                  [](auto& b) {
                    // The same directories 16 bytes further on in a PE32+ header.
                    PutU16(b, image::kOptional, 0x20B);
                    PutU32(b, image::kOptional + 108, 16);
                    PutU32(b, image::kOptional + 112 + 16, image::kRva);
                    PutU32(b, image::kOptional + 112 + 20, image::kSectionSize);
                  },
                  "1.10.65535.0"},
        ImageCase{"no_resource_directory",
                  [](auto& b) { PutU32(b, image::kOptional + 96 + 16, 0); }, ""},
        ImageCase{"few_data_directories", [](auto& b) { PutU32(b, image::kOptional + 92, 2); }, ""},
        ImageCase{"resources_without_version",
                  [](auto& b) { PutU32(b, kRaw + image::kTypeDirectory + 16, 3); }, ""},
        ImageCase{"version_without_fixed_info",
                  [](auto& b) { PutU16(b, kRaw + image::kVersionInfo + 2, 0); }, ""},
        ImageCase{"empty_file", [](auto& b) { b.clear(); }, Error(PeError::kNotExecutable)},
        ImageCase{"text_file", [](auto& b) { b.assign({'h', 'e', 'l', 'l', 'o'}); },
                  Error(PeError::kNotExecutable)},
        ImageCase{"new_header_past_the_end", [](auto& b) { PutU32(b, 0x3C, 0xFFFFFFF0u); },
                  Error(PeError::kNotExecutable)},
        ImageCase{"cut_in_the_section_table", [](auto& b) { b.resize(image::kSectionTable + 20); },
                  Error(PeError::kBadHeaders)},
        ImageCase{"too_many_sections", [](auto& b) { PutU16(b, image::kCoff + 2, 97); },
                  Error(PeError::kBadHeaders)},
        ImageCase{"optional_header_larger_than_file",
                  [](auto& b) { PutU16(b, image::kCoff + 16, 0xFFFF); }, Error(PeError::kBadHeaders)},
        ImageCase{"unknown_optional_magic", [](auto& b) { PutU16(b, image::kOptional, 0x107); },
                  Error(PeError::kBadHeaders)},
        ImageCase{"resource_rva_outside_every_section",
                  [](auto& b) { PutU32(b, image::kOptional + 96 + 16, 0x9000); },
                  Error(PeError::kBadResourceDirectory)},
        ImageCase{"section_raw_data_past_the_end",
                  [](auto& b) { PutU32(b, image::kSectionTable + 20, 0xFFFFFF00u); },
                  Error(PeError::kBadResourceDirectory)},
        ImageCase{"rva_plus_size_overflows",
                  [](auto& b) { PutU32(b, image::kOptional + 96 + 20, 0xFFFFFFFFu); },
                  Error(PeError::kBadResourceDirectory)},
        ImageCase{"entry_count_past_the_section",
                  [](auto& b) { PutU16(b, kRaw + image::kTypeDirectory + 12, 0xFFFF); },
                  Error(PeError::kBadResourceDirectory)},
        ImageCase{"subdirectory_pointing_at_itself",
                  [](auto& b) {
                    PutU32(b, kRaw + image::kLanguageDirectory + 20,
                          0x80000000u | image::kLanguageDirectory);
                  },
                  Error(PeError::kBadResourceDirectory)},
        ImageCase{"type_entry_is_data_not_a_directory",
                  [](auto& b) { PutU32(b, kRaw + image::kTypeDirectory + 20, image::kDataEntry); },
                  Error(PeError::kBadResourceDirectory)},
        ImageCase{"data_entry_outside_the_section",
                  [](auto& b) { PutU32(b, kRaw + image::kLanguageDirectory + 20, 0x7FFFFFF0u); },
                  Error(PeError::kBadResourceDirectory)},
        ImageCase{"version_data_outside_the_file",
                  [](auto& b) { PutU32(b, kRaw + image::kDataEntry, image::kRva + 0x1F0); },
                  Error(PeError::kBadVersionResource)},
        ImageCase{"version_length_beyond_its_data",
                  [](auto& b) { PutU16(b, kRaw + image::kVersionInfo, 400); },
                  Error(PeError::kBadVersionResource)},
        ImageCase{"wrong_key", [](auto& b) { PutU16(b, kRaw + image::kVersionInfo + 6, 'X'); },
                  Error(PeError::kBadVersionResource)},
        ImageCase{"wrong_fixed_signature", [](auto& b) { PutU32(b, kRaw + image::kFixedInfo, 1); },
                  Error(PeError::kBadVersionResource)},
        ImageCase{"fixed_info_cut_short",
                  [](auto& b) {
                    PutU16(b, kRaw + image::kVersionInfo, 60);
                    PutU32(b, kRaw + image::kDataEntry + 4, 60);
                  },
                  Error(PeError::kBadVersionResource)}),
    [](const auto& info) { return info.param.name; });

// The header fields other checks build on (the library check reads the characteristics).
TEST(PeImageHeaders, ReportMachineKindAndCharacteristics) {
  auto bytes = image::Build();
  PutU16(bytes, image::kCoff + 18, 0x2102);  // executable, 32-bit machine, library
  auto pe32 = PeImage::Open(bytes);
  ASSERT_TRUE(pe32);
  EXPECT_EQ(pe32->machine(), 0x14C);
  EXPECT_EQ(pe32->characteristics(), 0x2102);
  EXPECT_FALSE(pe32->pe32_plus());
  auto sections = pe32->Sections();
  ASSERT_TRUE(sections);
  ASSERT_EQ(sections->size(), 1u);
  EXPECT_EQ((*sections)[0].raw_pointer, image::kRaw);
  EXPECT_FALSE(BytesAtRva(pe32->file(), *sections, image::kRva + 0x1F0, 0x20)) << "runs past the section";
  EXPECT_TRUE(BytesAtRva(pe32->file(), *sections, image::kRva + 0x1E0, 0x20));

  PutU16(bytes, image::kOptional, 0x20B);
  PutU16(bytes, image::kCoff, 0x8664);
  auto pe32_plus = PeImage::Open(bytes);
  ASSERT_TRUE(pe32_plus);
  EXPECT_TRUE(pe32_plus->pe32_plus());
  EXPECT_EQ(pe32_plus->machine(), 0x8664);

  // A section table that runs past the end fails only when it is read.
  bytes.resize(image::kSectionTable + 20);
  auto cut = PeImage::Open(bytes);
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut->Sections().error(), PeError::kBadHeaders);
}

}  // namespace
}  // namespace movarin::pe
