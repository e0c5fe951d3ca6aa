// The converters against glibc's iconv, an independent implementation, on edge cases and
// on random byte strings.
#include "base/utf.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <optional>
#include <cstdint>
#include <random>
#include <string>

namespace movarin::base {
namespace {

std::optional<std::u16string> IconvUtf8ToUtf16(const std::string& in) {
  iconv_t cd = iconv_open("UTF-16LE", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out(in.size() * 4 + 8, '\0');
  char* src = const_cast<char*>(in.data());
  size_t src_left = in.size();
  char* dst = out.data();
  size_t dst_left = out.size();
  const size_t done = iconv(cd, &src, &src_left, &dst, &dst_left);
  iconv_close(cd);
  if (done == static_cast<size_t>(-1)) return std::nullopt;
  std::u16string result;
  for (std::size_t i = 0; i + 1 < out.size() - dst_left; i += 2) {
    result.push_back(static_cast<char16_t>(static_cast<unsigned char>(out[i]) |
                                           static_cast<unsigned char>(out[i + 1]) << 8));
  }
  return result;
}

TEST(Utf, StrictConversionAgreesWithIconvOnEdgeCases) {
  const std::string cases[] = {
      "",
      "plain ascii",
      "\xC3\xA9t\xC3\xA9",                  // é
      "\xE2\x82\xAC",                       // €
      "\xF0\x9F\x98\x80",                   // U+1F600, a surrogate pair
      "\xF4\x8F\xBF\xBF",                   // U+10FFFF
      "\xF4\x90\x80\x80",                   // above U+10FFFF
      "\xC0\xAF",                           // overlong "/"
      "\xE0\x80\xAF",                       // overlong
      "\xED\xA0\x80",                       // a UTF-8-encoded surrogate
      "\x80",                               // stray continuation
      "\xC3",                               // cut off
      "ab\xE2\x82",                         // cut off at the end
      "\xFF\xFE",
  };
  for (const std::string& text : cases) {
    SCOPED_TRACE(testing::PrintToString(text));
    EXPECT_EQ(Utf8ToUtf16Strict(text), IconvUtf8ToUtf16(text));
  }
}

TEST(Utf, StrictConversionAgreesWithIconvOnRandomBytes) {
  std::mt19937 random(1234);
  // Bytes biased towards lead and continuation bytes, so that valid multi-byte sequences
  // occur as well as broken ones.
  const unsigned char alphabet[] = {'a', 0x7F, 0x80, 0xBF, 0xC2, 0xC3, 0xDF, 0xE0, 0xE2, 0xED,
                                    0xEF, 0xF0, 0xF4, 0xF5, 0x82, 0xA0, 0x90, 0x8F};
  std::uniform_int_distribution<std::size_t> pick(0, sizeof(alphabet) - 1);
  std::uniform_int_distribution<int> length(0, 8);
  int valid = 0;
  for (int round = 0; round < 20000; ++round) {
    std::string text;
    for (int i = length(random); i > 0; --i) text.push_back(static_cast<char>(alphabet[pick(random)]));
    const auto ours = Utf8ToUtf16Strict(text);
    ASSERT_EQ(ours, IconvUtf8ToUtf16(text)) << testing::PrintToString(text);
    if (ours) ++valid;
  }
  EXPECT_GT(valid, 1000);  // the comparison covered both outcomes
}

TEST(Utf, RoundTripsEveryScalarValueRange) {
  for (char32_t code : {0x0u, 0x7Fu, 0x80u, 0x7FFu, 0x800u, 0xD7FFu, 0xE000u, 0xFFFDu, 0xFFFFu,
                        0x10000u, 0x10FFFFu}) {
    std::string utf8;
    AppendUtf8(code, utf8);
    const auto utf16 = Utf8ToUtf16Strict(utf8);
    ASSERT_TRUE(utf16) << static_cast<std::uint32_t>(code);
    EXPECT_EQ(Utf16ToUtf8(*utf16), utf8) << static_cast<std::uint32_t>(code);
  }
}

TEST(Utf, LenientConversionsReplaceWhatIsMalformed) {
  EXPECT_EQ(Utf8ToUtf16("a\x80z"), u"a\uFFFDz");
  EXPECT_EQ(Utf8ToUtf16("\xE2\x82"), u"\uFFFD\uFFFD");
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800)) + u"x"), "\xEF\xBF\xBDx");
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xDC00))), "\xEF\xBF\xBD");
  std::string out;
  AppendUtf8(0x110000, out);
  EXPECT_EQ(out, "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace movarin::base
