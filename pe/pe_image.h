// The headers of a Windows program or library (PE image: .exe, .dll, .ocx): the DOS stub's
// pointer to the PE signature, the file header, the optional header with its data
// directories, and the section table that maps addresses of the loaded image to file
// bytes. The bytes are untrusted: every offset and size is checked before use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "base/byte_reader.h"
#include "base/result.h"

namespace movarin::pe {

enum class PeError : std::uint8_t {
  kNotExecutable,         // no MZ header or no PE signature
  kBadHeaders,            // headers or section table cut off or inconsistent
  kBadResourceDirectory,  // resource tree outside the file, too deep or cut off
  kBadVersionResource,    // version resource malformed
  kCannotRead,            // the file could not be opened or read
  kFileTooLarge,
};
std::string_view PeErrorText(PeError error);

// Indexes of the data directories this code reads.
inline constexpr std::size_t kResourceDirectory = 2;

struct DataDirectory {
  std::uint32_t rva = 0;
  std::uint32_t size = 0;
};

struct Section {
  std::uint32_t virtual_address = 0;
  std::uint32_t raw_size = 0;
  std::uint32_t raw_pointer = 0;
};

class PeImage {
 public:
  // Checks the MZ header, the PE signature, the file header and the optional header's
  // kind (PE32 or PE32+). The section table is read only when asked for. The image is a
  // view: the bytes must outlive it.
  static base::Result<PeImage, PeError> Open(std::span<const std::uint8_t> file);

  const base::ByteReader& file() const { return file_; }
  std::uint16_t machine() const { return machine_; }
  // The file header's flags (0x2000: the image is a library).
  std::uint16_t characteristics() const { return characteristics_; }
  bool pe32_plus() const { return pe32_plus_; }

  // Data directory `index`; nullopt when the header lists fewer directories.
  base::Result<std::optional<DataDirectory>, PeError> Directory(std::size_t index) const;
  base::Result<std::vector<Section>, PeError> Sections() const;

 private:
  base::ByteReader file_;
  base::ByteReader optional_header_;
  std::uint64_t section_table_ = 0;
  std::uint16_t section_count_ = 0;
  std::uint16_t machine_ = 0;
  std::uint16_t characteristics_ = 0;
  bool pe32_plus_ = false;
};

// The file bytes behind [rva, rva + length) of the loaded image, or nullopt when no
// section holds that range in the file.
std::optional<base::ByteReader> BytesAtRva(const base::ByteReader& file,
                                           std::span<const Section> sections, std::uint32_t rva,
                                           std::uint32_t length);

}  // namespace movarin::pe
