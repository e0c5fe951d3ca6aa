// The text a value reads as through a record set's field (the provider's conversion of a
// value to a string, US English): what the results list shows for non-text columns.
#pragma once

#include <string>

#include "catalogue/jet/table.h"

namespace movarin::catalogue::jet {

// Integers in decimal; booleans "True"/"False"; currency without trailing zeros ("3.5");
// doubles with 15 significant digits, floats with 7; dates as "9/21/1974",
// "9/21/1974 3:04:05 PM" or "3:04:05 PM"; GUIDs as "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"
// from their 16 stored bytes. Texts, binary and numeric values are already text.
std::string DisplayText(const Value& value);

// The GUID text of 16 stored bytes (the first three groups little-endian).
std::string GuidDisplayText(const std::uint8_t* bytes);

}  // namespace movarin::catalogue::jet
