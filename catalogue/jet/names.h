// Object names (tables, columns) compare without regard to letter case, as in Jet.
#pragma once

#include <string_view>

namespace movarin::catalogue::jet {

// Case-insensitive for ASCII letters; other bytes compare exactly.
bool NamesEqual(std::string_view a, std::string_view b);

}  // namespace movarin::catalogue::jet
