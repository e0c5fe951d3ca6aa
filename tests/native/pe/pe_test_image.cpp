#include "tests/native/pe/pe_test_image.h"

#include <cstring>

#include "tests/support/bytes.h"

namespace movarin::pe::test {

using movarin::test::PutU16;
using movarin::test::PutU32;

namespace {
constexpr std::uint32_t kNewHeader = 0x80;
constexpr std::uint32_t kFileAlignment = 0x200;
constexpr std::uint32_t kSectionAlignment = 0x1000;
}  // namespace

BuiltImage BuildImage(const ImageSpec& spec) {
  BuiltImage image;
  const std::uint16_t optional_size = spec.pe32plus ? 240 : 224;  // with 16 data directories
  image.file_header = kNewHeader + 4;
  image.optional_header = image.file_header + 20;
  image.section_table = image.optional_header + optional_size;
  const std::uint32_t headers_end = image.section_table + 40u * spec.section_count;
  const std::uint32_t headers_size = (headers_end + kFileAlignment - 1) / kFileAlignment * kFileAlignment;
  std::vector<std::uint8_t>& b = image.bytes;
  b.assign(headers_size + kFileAlignment * spec.section_count, 0);

  PutU16(b, 0, 0x5A4D);  // "MZ"
  PutU32(b, 0x3C, kNewHeader);
  PutU32(b, kNewHeader, 0x00004550);  // "PE\0\0"
  PutU16(b, image.file_header, spec.pe32plus ? 0x8664 : 0x014C);  // machine
  PutU16(b, image.SectionCount(), spec.section_count);
  PutU16(b, image.OptionalHeaderSize(), optional_size);
  std::uint16_t characteristics = 0x0002;  // executable image
  characteristics |= spec.pe32plus ? 0x0020 : 0x0100;  // large-address aware / 32-bit machine
  if (spec.dll) characteristics |= 0x2000;
  PutU16(b, image.Characteristics(), characteristics);

  const std::uint32_t o = image.optional_header;
  PutU16(b, o, spec.pe32plus ? 0x20B : 0x10B);
  PutU32(b, o + 32, kSectionAlignment);
  PutU32(b, o + 36, kFileAlignment);
  PutU32(b, o + 56, kSectionAlignment * (spec.section_count + 1u));  // SizeOfImage
  PutU32(b, o + 60, headers_size);                                   // SizeOfHeaders
  PutU32(b, o + (spec.pe32plus ? 108 : 92), 16);                     // NumberOfRvaAndSizes

  for (int i = 0; i < spec.section_count; ++i) {
    const std::size_t entry = image.section_table + 40u * i;
    std::memcpy(&b[entry], i == 0 ? ".text" : ".data", 5);
    PutU32(b, entry + 8, kFileAlignment);                       // VirtualSize
    PutU32(b, entry + 12, kSectionAlignment * (i + 1u));         // VirtualAddress
    PutU32(b, image.SectionRawSize(i), kFileAlignment);
    PutU32(b, image.SectionRawPointer(i), headers_size + kFileAlignment * i);
  }
  return image;
}

}  // namespace movarin::pe::test
