#include "registration/win32/ansi_code_page.h"

#include <windows.h>

#include <climits>

#include "base/utf.h"

namespace movarin::registration::win32 {

std::optional<std::string> ToAnsiCodePage(std::string_view utf8) {
  const auto utf16 = base::Utf8ToUtf16Strict(utf8);
  if (!utf16) return std::nullopt;
  if (utf16->empty()) return std::string();
  if (utf16->size() > INT_MAX / 4) return std::nullopt;
  const auto* wide = reinterpret_cast<const wchar_t*>(utf16->data());
  const int length = static_cast<int>(utf16->size());

  // With UTF-8 as the ANSI code page every character has a form (lone surrogates were
  // refused above); there Windows takes neither the flag nor the default-char report.
  const bool utf8_code_page = GetACP() == CP_UTF8;
  const DWORD flags = utf8_code_page ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL used_default = FALSE;
  BOOL* used_default_out = utf8_code_page ? nullptr : &used_default;
  const int size = WideCharToMultiByte(CP_ACP, flags, wide, length, nullptr, 0, nullptr, used_default_out);
  if (size <= 0 || used_default) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (WideCharToMultiByte(CP_ACP, flags, wide, length, bytes.data(), size, nullptr, used_default_out) != size ||
      used_default)
    return std::nullopt;

  // The bytes must read back as the same text: a code page without best-fit control
  // could still have substituted a character.
  const int back = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (back != length) return std::nullopt;
  std::wstring round_trip(static_cast<std::size_t>(back), L'\0');
  MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), size, round_trip.data(), back);
  if (round_trip.compare(0, round_trip.size(), wide, static_cast<std::size_t>(length)) != 0)
    return std::nullopt;
  return bytes;
}

}  // namespace movarin::registration::win32
