// Page 0 of a Jet 4 file: the format name and version, and the masked block that holds the
// code page, the sort order, the creation date and the database password.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "tools/catalog/writer/jet4_table.h"

namespace movarin::tools::catalog_writer::jet4 {

// XORs bytes with the RC4 keystream of key (applying it twice restores the bytes).
void Rc4Xor(std::span<const std::uint8_t> key, std::span<std::uint8_t> bytes);

// The header page. password: at most 20 UTF-16 units (empty: no password).
// creation_date: days since 1899-12-30; its whole part also keys the password mask.
Page EncodeHeaderPage(const std::u16string& password, double creation_date);

}  // namespace movarin::tools::catalog_writer::jet4
