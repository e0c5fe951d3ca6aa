#include "base/ascii.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>

namespace movarin::base {
namespace {

using namespace std::string_view_literals;

TEST(Ascii, OnlyCapitalLettersFold) {
  for (int byte = 0; byte < 256; ++byte) {
    const char c = static_cast<char>(byte);
    const char expected = (byte >= 'A' && byte <= 'Z') ? static_cast<char>(byte + 32) : c;
    EXPECT_EQ(LowerAscii(c), expected) << "byte " << byte;
  }
  // Bytes of UTF-8 sequences and code-page letters ("É" in Windows-1252 is 0xC9) stay.
  EXPECT_EQ(LowerAscii("ABC-xyz_09@[`{\xC3\x89\xC9\x80\xFF"sv), "abc-xyz_09@[`{\xC3\x89\xC9\x80\xFF"sv);
  EXPECT_EQ(LowerAscii(""sv), "");
  EXPECT_EQ(LowerAscii("A\0B"sv), "a\0b"sv);
}

struct PairCase {
  std::string_view a, b;
  bool equal;       // EqualsIgnoringAsciiCase(a, b)
  bool starts;      // StartsWithIgnoringAsciiCase(a, b)
};

TEST(Ascii, ComparesAndMatchesPrefixesInEitherCase) {
  const PairCase cases[] = {
      {"", "", true, true},
      {"abc", "", false, true},
      {"", "a", false, false},
      {"Content-Length", "content-length", true, true},
      {"HTTP/1.1 200", "http/", false, true},
      {"http/1.1 200", "HTTP/", false, true},
      {"ht", "http://", false, false},            // prefix longer than the text
      {"@", "`", false, false},                   // neighbours of the letters do not fold
      {"[", "{", false, false},
      {"\xC9", "\xE9", false, false},             // É and é of Windows-1252 are different bytes
      {"\xC3\x89t\xC3\xA9", "\xC3\x89T\xC3\xA9", true, true},
      {"A\0b"sv, "a\0B"sv, true, true},
      {"A\0b"sv, "a"sv, false, true},
      {"True", "true ", false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.a) + " | " + std::string(c.b));
    EXPECT_EQ(EqualsIgnoringAsciiCase(c.a, c.b), c.equal);
    EXPECT_EQ(EqualsIgnoringAsciiCase(c.b, c.a), c.equal);
    EXPECT_EQ(StartsWithIgnoringAsciiCase(c.a, c.b), c.starts);
  }
  static_assert(EqualsIgnoringAsciiCase("OCX", "ocx") && StartsWithIgnoringAsciiCase("HTTPS://", "https:"));
}

TEST(Ascii, OrdersByFoldedUnsignedBytes) {
  struct Case {
    std::string_view a, b;
    bool less;
  } const cases[] = {
      {"", "", false},
      {"", "a", true},
      {"a", "", false},
      {"ABC", "abc", false},       // equivalent both ways
      {"abc", "ABC", false},
      {"abc", "ABD", true},
      {"Zeta.dll", "alpha.dll", false},
      {"alpha.dll", "Zeta.dll", true},
      {"ab", "AbC", true},         // a proper prefix comes first
      {"_x", "ax", true},          // '_' (0x5F) is below 'a' but above 'A': folding matters
      {"Z", "_", false},           // 'z' (0x7A) sorts after '_'
      {"z", "\xC3\xA9", true},     // bytes from 0x80 come after ASCII, not before
      {"\x80", "\x7F", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.a) + " < " + std::string(c.b));
    EXPECT_EQ(LessIgnoringAsciiCase(c.a, c.b), c.less);
    // Against the folded texts compared the standard way, bytes as unsigned.
    const std::string x = LowerAscii(c.a), y = LowerAscii(c.b);
    EXPECT_EQ(LessIgnoringAsciiCase(c.a, c.b),
              std::lexicographical_compare(x.begin(), x.end(), y.begin(), y.end(), [](char p, char q) {
                return static_cast<unsigned char>(p) < static_cast<unsigned char>(q);
              }));
  }
}

}  // namespace
}  // namespace movarin::base
