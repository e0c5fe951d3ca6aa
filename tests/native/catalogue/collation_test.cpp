// ORDER BY's "General" sort order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>

#include "catalogue/query/collation.h"

namespace movarin::catalogue::query {
namespace {

struct OrderCase {
  const char* what;
  std::vector<std::string> sorted;  // the expected ascending order
};

void PrintTo(const OrderCase& c, std::ostream* out) { *out << c.what; }

class Collation : public ::testing::TestWithParam<OrderCase> {};

TEST_P(Collation, SortsAsExpectedFromAnyStartingOrder) {
  std::vector<std::string> texts = GetParam().sorted;
  std::mt19937 random(7);
  for (int round = 0; round < 5; ++round) {
    std::shuffle(texts.begin(), texts.end(), random);
    std::stable_sort(texts.begin(), texts.end(),
                     [](const std::string& a, const std::string& b) { return CompareCollated(a, b) < 0; });
    EXPECT_EQ(texts, GetParam().sorted);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Collation,
    ::testing::Values(
        OrderCase{"case is ignored first", {"apple.dll", "Banana.dll", "cherry.dll"}},
        OrderCase{"digits before letters", {"1.dll", "9.dll", "a.dll", "z.dll"}},
        OrderCase{"digits as characters, not numbers", {"10.dll", "2.dll"}},
        OrderCase{"space before digits and letters", {"a b.dll", "a1.dll", "ab.dll"}},
        OrderCase{"punctuation after space, before digits", {"a b", "a.b", "a_b", "a1", "ab"}},
        OrderCase{"hyphen ignored at first", {"co-op", "coop", "cop"}},
        OrderCase{"apostrophe ignored at first", {"abc", "ab'd", "abe"}},
        OrderCase{"hyphen decides only a tie", {"a-b", "ab", "abc"}},
        OrderCase{"lower case before upper case in a tie", {"abc", "Abc", "ABC"}},
        OrderCase{"accents sort with their letter", {"cote", "c\xC3\xB4te", "cotf"}},
        OrderCase{"shorter prefix first", {"act", "act.dll", "actbar.ocx"}},
        OrderCase{"catalogue names", {"ActBar.ocx", "COMCT232.OCX", "comctl32.ocx", "COMDLG32.OCX",
                                      "mscomct2.ocx", "MSCOMCTL.OCX", "msvbvm60.dll"}}));

TEST(Collation, IsATotalOrderOnGeneratedTexts) {
  const std::string alphabet = "aAbB -'1_\xC3\xA4";
  std::mt19937 random(11);
  std::vector<std::string> texts;
  for (int i = 0; i < 300; ++i) {
    std::string text;
    const int length = static_cast<int>(random() % 5);
    for (int k = 0; k < length; ++k) {
      const std::size_t pick = random() % 9;
      text += pick == 8 ? alphabet.substr(9, 2) : alphabet.substr(pick, 1);
    }
    texts.push_back(text);
  }
  for (const auto& a : texts) {
    for (const auto& b : texts) {
      const int ab = CompareCollated(a, b);
      ASSERT_EQ(ab, -CompareCollated(b, a)) << a << " / " << b;
      ASSERT_EQ(ab == 0, a == b) << a << " / " << b;  // only identical texts tie
    }
  }
}

// The sort works on the first eight key bytes alone and builds whole keys only for ties;
// the short cut must give those very bytes, also when a character's code (four bytes for
// non-ASCII, two codes for sharp s) crosses the eighth byte.
TEST(Collation, KeyHeadIsTheWholeKeysFirstEightBytes) {
  const std::vector<std::string> pieces = {"a", "Z", "-", "'", " ", "7", ".", "\xC3\xA4", "\xC3\x9F",
                                           "\xE2\x82\xAC", "\xCE\xA9"};
  std::mt19937 random(5);
  for (int i = 0; i < 2000; ++i) {
    std::string text;
    const int length = static_cast<int>(random() % 12);
    for (int k = 0; k < length; ++k) text += pieces[random() % pieces.size()];
    std::string key;
    AppendPrimaryKey(text, key);
    std::uint64_t expected = 0;
    for (std::size_t b = 0; b < 8; ++b) {
      expected |= static_cast<std::uint64_t>(b < key.size() ? static_cast<unsigned char>(key[b]) : 0)
                  << (56 - 8 * b);
    }
    ASSERT_EQ(PrimaryKeyHead(text), expected) << text;
  }
}

}  // namespace
}  // namespace movarin::catalogue::query
