// The "General" sort order used by ORDER BY on text: letter case is ignored, digits come
// before letters, a space before digits, and hyphens and apostrophes are ignored unless
// two texts are otherwise equal.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace movarin::catalogue::query {

// The first level of the collation as bytes whose plain (memcmp) order is the first-level
// order (one byte per ASCII character). Texts that differ only in case, accents,
// hyphens or apostrophes have equal primary keys; CompareCollated decides between them.
void AppendPrimaryKey(std::string_view utf8, std::string& key);

// The first eight bytes of that key as a big-endian number (zeros after a shorter key),
// built without the rest: ordering by it agrees with the keys' order wherever it differs.
std::uint64_t PrimaryKeyHead(std::string_view utf8);

// All levels: <0, 0, >0 as a sorts before, with, or after b. Only identical texts tie.
int CompareCollated(std::string_view a, std::string_view b);

}  // namespace movarin::catalogue::query
