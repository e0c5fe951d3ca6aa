// UTF-8 inside the program, UTF-16 where Windows and Jet want it: the one pair of
// converters. Windows code converts std::wstring through these (wchar_t is UTF-16 there).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace movarin::base {

// The UTF-16 form of well-formed UTF-8; nullopt for anything else (stray continuation
// bytes, overlong forms, surrogates, values above U+10FFFF, cut-off sequences).
std::optional<std::u16string> Utf8ToUtf16Strict(std::string_view utf8);
// The same, with every malformed sequence replaced by U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);
// Appends one code point (U+FFFD for a surrogate or a value above U+10FFFF).
void AppendUtf8(char32_t code_point, std::string& out);

}  // namespace movarin::base
