#include "platform/win32/text.h"

#include "base/utf.h"

namespace movarin::win32 {

// wchar_t is UTF-16 on Windows: the conversions are base/'s.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

std::wstring Widen(std::string_view utf8) {
  const std::u16string wide = base::Utf8ToUtf16(utf8);
  return std::wstring(wide.begin(), wide.end());
}

std::string Narrow(std::wstring_view utf16) {
  return base::Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(utf16.data()), utf16.size()));
}

}  // namespace movarin::win32
