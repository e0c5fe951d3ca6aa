#pragma once
// UTF-8 inside the program, UTF-16 at the Windows API: base/utf.h's conversions for
// std::wstring. Malformed input becomes U+FFFD.
#include <string>
#include <string_view>

namespace movarin::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace movarin::win32
