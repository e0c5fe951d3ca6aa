// Jet 4 text fields: plain UTF-16LE and the compressed form (FF FE, then one-byte runs and
// two-byte runs switched by 00 bytes), compared with base's own UTF-16 conversion.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "base/utf.h"
#include "catalogue/jet/text_decoding.h"

namespace movarin::catalogue::jet {
namespace {

std::vector<std::uint8_t> Utf16Le(const std::u16string& text) {
  std::vector<std::uint8_t> bytes;
  for (const char16_t unit : text) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  return bytes;
}

// Units that are ASCII and units that are not, mixed at every position, so the ASCII
// run the decoder copies in one go ends anywhere.
TEST(Jet4Text, Utf16LeAgreesWithBaseConversionAndAppendsToWhatIsThere) {
  const std::vector<char16_t> units = {u'a', u'Z', u'.', u'0', u'\u00e4', u'\u00df', u'\u20ac',
                                       u'\u03a9', u'\xd83d', u'\xde00'};
  std::mt19937 random(3);
  for (int i = 0; i < 3000; ++i) {
    std::u16string text;
    const int length = static_cast<int>(random() % 10);
    for (int k = 0; k < length; ++k) text += units[random() % units.size()];
    const std::vector<std::uint8_t> bytes = Utf16Le(text);
    ASSERT_EQ(DecodeJet4Text(bytes), base::Utf16ToUtf8(text)) << i;
    std::string out = "before|";
    AppendJet4Text(bytes, out);
    ASSERT_EQ(out, "before|" + base::Utf16ToUtf8(text)) << i;
  }
}

TEST(Jet4Text, CompressedRunsAndAnOddTrailingByte) {
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
    std::string utf8;
  };
  const std::vector<Case> cases = {
      {"one-byte run", {0xFF, 0xFE, 'a', 'b', 'c'}, "abc"},
      {"one-byte Latin-1", {0xFF, 0xFE, 'c', 0xF4, 't', 'e'}, "c\xC3\xB4te"},
      {"switch to two-byte and back", {0xFF, 0xFE, 'a', 0x00, 0xAC, 0x20, 0x00, 'b'}, "a\xE2\x82\xAC" "b"},
      {"two-byte run cut short", {0xFF, 0xFE, 0x00, 0xAC}, ""},
      {"plain text with an odd last byte", {'a', 0x00, 'b'}, "a"},
      {"empty", {}, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(DecodeJet4Text(c.bytes), c.utf8) << c.what;
}

}  // namespace
}  // namespace movarin::catalogue::jet
