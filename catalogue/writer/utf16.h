// UTF-8 to UTF-16 for the text the writer stores: Jet keeps text as UTF-16LE.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace movarin::catalogue::writer {

// The UTF-16 form of well-formed UTF-8; nullopt for anything else (stray continuation
// bytes, overlong forms, surrogates, values above U+10FFFF, cut-off sequences).
std::optional<std::u16string> Utf8ToUtf16(std::string_view utf8);

}  // namespace movarin::catalogue::writer
