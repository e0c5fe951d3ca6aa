#pragma once
// Small PE images made byte by byte for tests: a well-formed one to start from, with the
// offsets of the fields that forged variants change.
#include <cstdint>
#include <vector>

namespace movarin::pe::test {

struct ImageSpec {
  bool pe32plus = false;
  bool dll = true;
  std::uint16_t section_count = 2;
};

struct BuiltImage {
  std::vector<std::uint8_t> bytes;
  std::uint32_t file_header = 0;  // the COFF file header, right after "PE\0\0"
  std::uint32_t optional_header = 0;
  std::uint32_t section_table = 0;

  std::size_t Characteristics() const { return file_header + 18; }
  std::size_t SectionCount() const { return file_header + 2; }
  std::size_t OptionalHeaderSize() const { return file_header + 16; }
  std::size_t SectionRawSize(int section) const { return section_table + 40 * section + 16; }
  std::size_t SectionRawPointer(int section) const { return section_table + 40 * section + 20; }
};

// Headers padded to 0x200 bytes, then each section's 0x200 bytes of data.
BuiltImage BuildImage(const ImageSpec& spec = {});

}  // namespace movarin::pe::test
