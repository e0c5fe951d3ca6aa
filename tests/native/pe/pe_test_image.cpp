#include "tests/native/pe/pe_test_image.h"

#include <cstring>

namespace movarin::pe::test {

namespace {
constexpr std::uint32_t kNewHeader = 0x80;
constexpr std::uint32_t kFileAlignment = 0x200;
constexpr std::uint32_t kSectionAlignment = 0x1000;
}  // namespace

void PeImage::PutU16(std::size_t at, std::uint16_t value) {
  bytes[at] = static_cast<std::uint8_t>(value);
  bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void PeImage::PutU32(std::size_t at, std::uint32_t value) {
  PutU16(at, static_cast<std::uint16_t>(value));
  PutU16(at + 2, static_cast<std::uint16_t>(value >> 16));
}

std::uint32_t PeImage::U32(std::size_t at) const {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | std::uint32_t{bytes[at + 3]} << 24;
}

PeImage BuildPeImage(const PeImageSpec& spec) {
  PeImage image;
  const std::uint16_t optional_size = spec.pe32plus ? 240 : 224;  // with 16 data directories
  image.file_header = kNewHeader + 4;
  image.optional_header = image.file_header + 20;
  image.section_table = image.optional_header + optional_size;
  const std::uint32_t headers_end = image.section_table + 40u * spec.section_count;
  const std::uint32_t headers_size = (headers_end + kFileAlignment - 1) / kFileAlignment * kFileAlignment;
  image.bytes.assign(headers_size + kFileAlignment * spec.section_count, 0);

  image.PutU16(0, 0x5A4D);  // "MZ"
  image.PutU32(0x3C, kNewHeader);
  image.PutU32(kNewHeader, 0x00004550);  // "PE\0\0"
  image.PutU16(image.file_header, spec.pe32plus ? 0x8664 : 0x014C);  // machine
  image.PutU16(image.SectionCount(), spec.section_count);
  image.PutU16(image.OptionalHeaderSize(), optional_size);
  std::uint16_t characteristics = 0x0002;  // executable image
  characteristics |= spec.pe32plus ? 0x0020 : 0x0100;  // large-address aware / 32-bit machine
  if (spec.dll) characteristics |= 0x2000;
  image.PutU16(image.Characteristics(), characteristics);

  const std::uint32_t o = image.optional_header;
  image.PutU16(o, spec.pe32plus ? 0x20B : 0x10B);
  image.PutU32(o + 32, kSectionAlignment);
  image.PutU32(o + 36, kFileAlignment);
  image.PutU32(o + 56, kSectionAlignment * (spec.section_count + 1));  // SizeOfImage
  image.PutU32(image.SizeOfHeaders(), headers_size);
  image.PutU32(o + (spec.pe32plus ? 108 : 92), 16);  // NumberOfRvaAndSizes

  for (int i = 0; i < spec.section_count; ++i) {
    const std::size_t entry = image.section_table + 40u * i;
    std::memcpy(&image.bytes[entry], i == 0 ? ".text" : ".data", 5);
    image.PutU32(entry + 8, kFileAlignment);                          // VirtualSize
    image.PutU32(entry + 12, kSectionAlignment * (i + 1));             // VirtualAddress
    image.PutU32(image.SectionRawSize(i), kFileAlignment);
    image.PutU32(image.SectionRawPointer(i), headers_size + kFileAlignment * i);
  }
  return image;
}

}  // namespace movarin::pe::test
