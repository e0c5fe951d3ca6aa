// The header page: which Jet version the file is, and the fields of its masked block
// (page key, database password, sort order, creation date).
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "catalogue/jet/format.h"
#include "catalogue/jet/jet_error.h"

namespace movarin::catalogue::jet {

struct Header {
  JetVersion version = JetVersion::kJet4;
  const Layout* layout = &kJet4Layout;
  std::uint16_t code_page = 0;
  std::uint32_t page_key = 0;       // non-zero: every page after the header is encrypted
  std::u16string password;          // empty: the database has no password
  std::uint16_t sort_order = 0;
  double creation_date = 0;
};

// Decodes the header page of a whole file. Checks the magic text and version; does not
// judge the page key or the password (the caller decides).
base::Result<Header, Error> DecodeHeader(std::span<const std::uint8_t> file);

// The masked block XORed with the header keystream: decoding and encoding are the same.
void ToggleHeaderMask(std::span<std::uint8_t> masked_block);

// The password mask: the little-endian bytes of the truncated creation date.
void TogglePasswordMask(std::span<std::uint8_t> password_field, double creation_date);

// Compares a typed password with the stored one the way the provider does: exact text.
bool PasswordMatches(const Header& header, std::u16string_view typed);

}  // namespace movarin::catalogue::jet
