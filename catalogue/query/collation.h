// The "General" sort order used by ORDER BY on text: letter case is ignored, digits come
// before letters, a space before digits, and hyphens and apostrophes are ignored unless
// two texts are otherwise equal.
#pragma once

#include <string>
#include <string_view>

namespace movarin::catalogue::query {

// A key whose plain comparison orders texts by this collation. Texts that differ only in
// case, accents, hyphens or apostrophes get different keys (later levels decide), so the
// order is total; only identical texts tie.
std::u32string CollationKey(std::string_view utf8);

// <0, 0, >0 as a sorts before, with, or after b.
int CompareCollated(std::string_view a, std::string_view b);

}  // namespace movarin::catalogue::query
