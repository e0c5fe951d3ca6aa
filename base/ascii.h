// ASCII case folding: the one set of helpers for names, keys, headers and schemes that
// compare without regard to case. Only 'A'..'Z' fold; every other byte, including those
// of UTF-8 sequences and code-page characters, stays as it is. Unlike std::tolower this
// does not depend on the C locale, so a file or a header means the same thing everywhere.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace movarin::base {

constexpr char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

inline std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = LowerAscii(c);
  return lower;
}

constexpr bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

// Both sides fold, so a prefix may be written in either case.
constexpr bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

// Lexicographic order of the folded bytes, each taken as unsigned (so bytes from 0x80 sort
// after ASCII); a proper prefix comes first. Texts that differ only in case are equivalent.
constexpr bool LessIgnoringAsciiCase(std::string_view a, std::string_view b) {
  const std::size_t common = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < common; ++i) {
    const auto x = static_cast<unsigned char>(LowerAscii(a[i]));
    const auto y = static_cast<unsigned char>(LowerAscii(b[i]));
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

}  // namespace movarin::base
