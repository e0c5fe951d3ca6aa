#include "catalogue/jet/header.h"

#include <array>
#include <cmath>
#include <vector>

#include "base/byte_reader.h"
#include "catalogue/jet/rc4.h"

namespace movarin::catalogue::jet {

void ToggleHeaderMask(std::span<std::uint8_t> masked_block) {
  Rc4 rc4(header::kMaskKey);
  rc4.Apply(masked_block);
}

void TogglePasswordMask(std::span<std::uint8_t> password_field, double creation_date) {
  // An absurd date (NaN, out of range) cannot have been written by Jet; treat it as 0
  // rather than converting it with undefined behaviour.
  std::int32_t days = 0;
  if (std::isfinite(creation_date) && creation_date > -2147483648.0 &&
      creation_date < 2147483648.0) {
    days = static_cast<std::int32_t>(std::trunc(creation_date));
  }
  const auto bits = static_cast<std::uint32_t>(days);
  const std::array<std::uint8_t, 4> mask = {
      static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
      static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)};
  for (std::size_t i = 0; i < password_field.size(); ++i) password_field[i] ^= mask[i % 4];
}

base::Result<Header, Error> DecodeHeader(std::span<const std::uint8_t> file) {
  base::ByteReader reader(file);
  if (!reader.Covers(0, kJet3Layout.page_size)) return Error::kFileTooSmall;
  auto type = reader.U8(page::kTypeOffset);
  auto magic = reader.Sub(header::kMagicOffset, header::kMagic.size());
  if (!type || *type != static_cast<std::uint8_t>(PageType::kHeader) || !magic ||
      std::string_view(reinterpret_cast<const char*>(magic->bytes().data()), magic->size()) !=
          header::kMagic) {
    return Error::kNotJetDatabase;
  }
  Header result;
  const auto version = *reader.U8(header::kVersionOffset);
  if (version == header::kVersionJet4) {
    result.version = JetVersion::kJet4;
    result.layout = &kJet4Layout;
  } else if (version == header::kVersionJet3) {
    result.version = JetVersion::kJet3;
    result.layout = &kJet3Layout;
  } else {
    return Error::kUnsupportedVersion;
  }
  if (!reader.Covers(0, result.layout->page_size)) return Error::kFileTooSmall;

  const std::size_t masked_length = result.version == JetVersion::kJet4
                                        ? header::kMaskedLengthJet4
                                        : header::kMaskedLengthJet3;
  // A decoded copy of the block, addressed with file offsets.
  std::vector<std::uint8_t> page(file.begin(), file.begin() + result.layout->page_size);
  ToggleHeaderMask(std::span(page).subspan(header::kMaskedOffset, masked_length));
  base::ByteReader decoded(page);

  result.code_page = *decoded.U16(header::kCodePageOffset);
  result.page_key = *decoded.U32(header::kPageKeyOffset);
  std::size_t password_length = header::kPasswordLengthJet3;
  if (result.version == JetVersion::kJet4) {
    password_length = header::kPasswordLengthJet4;
    result.sort_order = *decoded.U16(header::kSortOrderOffsetJet4);
    result.creation_date = *decoded.F64(header::kCreationDateOffset);
    TogglePasswordMask(std::span(page).subspan(header::kPasswordOffset, password_length),
                       result.creation_date);
    for (std::size_t i = 0; i + 1 < password_length; i += 2) {
      const auto unit = *decoded.U16(header::kPasswordOffset + i);
      if (unit == 0) break;
      result.password.push_back(static_cast<char16_t>(unit));
    }
  } else {
    // Jet 3 keeps the password as bytes of the code page; ours are ASCII in practice.
    for (std::size_t i = 0; i < password_length; ++i) {
      const auto byte = *decoded.U8(header::kPasswordOffset + i);
      if (byte == 0) break;
      result.password.push_back(static_cast<char16_t>(byte));
    }
  }
  return result;
}

bool PasswordMatches(const Header& header, std::u16string_view typed) {
  if (header.password.empty()) return true;
  return header.password == typed;
}

}  // namespace movarin::catalogue::jet
