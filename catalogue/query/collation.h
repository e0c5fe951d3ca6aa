// The "General" sort order used by ORDER BY on text: letter case is ignored, digits come
// before letters, a space before digits, and hyphens and apostrophes are ignored unless
// two texts are otherwise equal.
#pragma once

#include <string>
#include <string_view>

namespace movarin::catalogue::query {

// The first level of the collation as bytes whose plain (memcmp) order is the first-level
// order (one byte per ASCII character). Texts that differ only in case, accents,
// hyphens or apostrophes have equal primary keys; CompareCollated decides between them.
void AppendPrimaryKey(std::string_view utf8, std::string& key);

// All levels: <0, 0, >0 as a sorts before, with, or after b. Only identical texts tie.
int CompareCollated(std::string_view a, std::string_view b);

}  // namespace movarin::catalogue::query
