#include "catalogue/jet/names.h"

#include "base/ascii.h"

namespace movarin::catalogue::jet {

bool NamesEqual(std::string_view a, std::string_view b) { return base::EqualsIgnoringAsciiCase(a, b); }

}  // namespace movarin::catalogue::jet
