#include "base/utf.h"

#include <cstdint>

namespace movarin::base {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one sequence at `i`; `length` receives the bytes it took (1 for a malformed
// lead byte, so decoding resumes right after it). nullopt when malformed.
std::optional<char32_t> DecodeOne(std::string_view utf8, std::size_t i, std::size_t& length) {
  const auto lead = static_cast<std::uint8_t>(utf8[i]);
  length = 1;
  if (lead < 0x80) return lead;
  if (lead < 0xC2 || lead >= 0xF5) return std::nullopt;
  const std::size_t need = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  if (need > utf8.size() - i) return std::nullopt;
  char32_t code = lead & (0x3F >> (need - 1));
  for (std::size_t k = 1; k < need; ++k) {
    const auto next = static_cast<std::uint8_t>(utf8[i + k]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    code = (code << 6) | (next & 0x3F);
  }
  const char32_t smallest = need == 2 ? 0x80 : need == 3 ? 0x800 : 0x10000;
  if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return std::nullopt;
  length = need;
  return code;
}

void AppendUtf16(char32_t code, std::u16string& out) {
  if (code >= 0x10000) {
    code -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
  } else {
    out.push_back(static_cast<char16_t>(code));
  }
}

}  // namespace

std::optional<std::u16string> Utf8ToUtf16Strict(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    std::size_t length = 1;
    const auto code = DecodeOne(utf8, i, length);
    if (!code) return std::nullopt;
    AppendUtf16(*code, out);
    i += length;
  }
  return out;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    // ASCII runs are the common case (file names, paths).
    const auto byte = static_cast<std::uint8_t>(utf8[i]);
    if (byte < 0x80) {
      out.push_back(static_cast<char16_t>(byte));
      ++i;
      continue;
    }
    std::size_t length = 1;
    AppendUtf16(DecodeOne(utf8, i, length).value_or(kReplacement), out);
    i += length;
  }
  return out;
}

void AppendUtf8(char32_t code, std::string& out) {
  if ((code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) code = kReplacement;
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (code >> 18)));
    out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    const char16_t unit = utf16[i];
    if (unit < 0x80) {
      out.push_back(static_cast<char>(unit));
      continue;
    }
    char32_t code = unit;
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
      ++i;
    }
    AppendUtf8(code, out);  // a lone surrogate becomes U+FFFD there
  }
  return out;
}

}  // namespace movarin::base
