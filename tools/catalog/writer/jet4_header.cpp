#include "tools/catalog/writer/jet4_header.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>
#include <utility>

#include "tools/catalog/writer/byte_writer.h"

namespace movarin::tools::catalog_writer::jet4 {

void Rc4Xor(std::span<const std::uint8_t> key, std::span<std::uint8_t> bytes) {
  std::array<std::uint8_t, 256> state{};
  for (std::size_t i = 0; i < state.size(); ++i) state[i] = static_cast<std::uint8_t>(i);
  std::uint8_t j = 0;
  for (std::size_t i = 0; i < state.size(); ++i) {
    j = static_cast<std::uint8_t>(j + state[i] + key[i % key.size()]);
    std::swap(state[i], state[j]);
  }
  std::uint8_t a = 0;
  std::uint8_t b = 0;
  for (std::uint8_t& byte : bytes) {
    a = static_cast<std::uint8_t>(a + 1);
    b = static_cast<std::uint8_t>(b + state[a]);
    std::swap(state[a], state[b]);
    byte ^= state[static_cast<std::uint8_t>(state[a] + state[b])];
  }
}

Page EncodeHeaderPage(const std::u16string& password, double creation_date) {
  namespace h = header;
  Page page(kPageSize, 0);
  std::copy(h::kMagic.begin(), h::kMagic.end(), page.begin());
  constexpr std::string_view kFormatName = "Standard Jet DB";
  std::copy(kFormatName.begin(), kFormatName.end(), page.begin() + h::kFormatName);
  page[h::kVersion] = h::kVersionJet4;

  std::copy(h::kAccessPreamble.begin(), h::kAccessPreamble.end(), page.begin() + h::kMaskedStart);
  Store16(page, h::kCodePage, h::kCodePageWestern);
  Store32(page, h::kPageEncryptionKey, 0);
  Store16(page, h::kSortOrder, kSortOrderGeneral);
  Store64(page, h::kCreationDate, std::bit_cast<std::uint64_t>(creation_date));

  // The password field is masked with the four bytes of the creation date's whole part.
  const auto whole_days = static_cast<std::uint32_t>(static_cast<std::int32_t>(std::trunc(creation_date)));
  std::array<std::uint8_t, 4> mask{};
  Store32(mask, 0, whole_days);
  std::array<std::uint8_t, h::kPasswordBytes> field{};
  for (std::size_t i = 0; i < password.size() && 2 * i + 1 < field.size(); ++i) {
    Store16(field, 2 * i, static_cast<std::uint16_t>(password[i]));
  }
  for (std::size_t i = 0; i < field.size(); ++i) {
    page[h::kPassword + i] = static_cast<std::uint8_t>(field[i] ^ mask[i % 4]);
  }

  Rc4Xor(h::kMaskKey, std::span(page).subspan(h::kMaskedStart, h::kMaskedLength));
  std::copy(h::kAccessTrailerBytes.begin(), h::kAccessTrailerBytes.end(),
            page.begin() + h::kAccessTrailer);
  return page;
}

}  // namespace movarin::tools::catalog_writer::jet4
