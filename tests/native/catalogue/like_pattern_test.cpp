// LIKE as the provider matches through OLE DB.
#include <gtest/gtest.h>

#include "catalogue/query/like_pattern.h"

namespace movarin::catalogue::query {
namespace {

struct LikeCase {
  const char* pattern;
  const char* text;
  bool matches;
};

void PrintTo(const LikeCase& c, std::ostream* out) {
  *out << "'" << c.text << "' LIKE '" << c.pattern << "'";
}

class Like : public ::testing::TestWithParam<LikeCase> {};

TEST_P(Like, Matches) {
  const auto pattern = LikePattern::Compile(GetParam().pattern);
  ASSERT_TRUE(pattern);
  EXPECT_EQ(pattern->Matches(GetParam().text), GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Like,
    ::testing::Values(
        // Prefix searches, as the search box builds them.
        LikeCase{"act%", "actbar.ocx", true}, LikeCase{"act%", "ACTBAR.OCX", true},
        LikeCase{"ACT%", "actbar.ocx", true}, LikeCase{"act%", "act", true},
        LikeCase{"act%", "ac", false}, LikeCase{"act%", "xact.dll", false},
        LikeCase{"%", "anything", true}, LikeCase{"%", "", true}, LikeCase{"", "", true},
        LikeCase{"", "a", false}, LikeCase{"abc", "abc", true}, LikeCase{"abc", "abcd", false},
        // % anywhere, several of them, backtracking.
        LikeCase{"%.ocx", "comdlg32.ocx", true}, LikeCase{"%.ocx", "comdlg32.dll", false},
        LikeCase{"a%b%c", "axxbyyc", true}, LikeCase{"a%b%c", "axxbyy", false},
        LikeCase{"%aab", "aaaab", true}, LikeCase{"%a%a%a%b", "aaaaaaaaaaaaaaaaaaaa", false},
        LikeCase{"a%%b", "ab", true},
        // _ is exactly one character, also a non-ASCII one.
        LikeCase{"m_cx.dll", "mscx.dll", true}, LikeCase{"m_cx.dll", "mcx.dll", false},
        LikeCase{"___", "\xC3\xA4\xC3\xB6\xC3\xBC", true}, LikeCase{"__", "\xC3\xA4\xC3\xB6\xC3\xBC", false},
        // Lists, ranges and negation.
        LikeCase{"[abc]x", "bx", true}, LikeCase{"[abc]x", "dx", false},
        LikeCase{"[a-c]%", "Bravo", true}, LikeCase{"[a-c]%", "delta", false},
        LikeCase{"[!a-c]%", "delta", true}, LikeCase{"[!a-c]%", "alpha", false},
        LikeCase{"[0-9][0-9]%", "42.dll", true}, LikeCase{"[0-9][0-9]%", "4a.dll", false},
        LikeCase{"[-a]b", "-b", true}, LikeCase{"[a-]b", "-b", true}, LikeCase{"[%]%", "%x", true},
        LikeCase{"[_]%", "_x", true}, LikeCase{"[_]%", "ax", false}, LikeCase{"[[]%", "[x", true},
        LikeCase{"a]b", "a]b", true}, LikeCase{"a[]b", "ab", true},
        // Apostrophes are ordinary characters once the query text has been parsed.
        LikeCase{"o'brien%", "O'Brien.dll", true}, LikeCase{"o'brien%", "OBrien.dll", false},
        // Letter case is ignored beyond ASCII too.
        LikeCase{"\xC3\xA4%", "\xC3\x84rger.dll", true}, LikeCase{"\xD0\xB1%", "\xD0\x91\xD0\xB0", true},
        // Characters that other dialects treat as wildcards are literal here.
        LikeCase{"a*", "abc", false}, LikeCase{"a*", "a*", true}, LikeCase{"a?", "ab", false},
        LikeCase{"#", "1", false}));

TEST(Like, UnclosedListIsAnInvalidPattern) {
  EXPECT_FALSE(LikePattern::Compile("[abc"));
  EXPECT_FALSE(LikePattern::Compile("ab["));
  EXPECT_FALSE(LikePattern::Compile("[!"));
}

TEST(Like, OnlyLiteralPrefixesAreIndexable) {
  struct Case {
    const char* pattern;
    std::optional<std::string> prefix;
  };
  const Case cases[] = {
      {"act%", "act"},       {"ACT%", "act"},     {"act%%", "act"},  {"%", ""},
      {"o'b%", "o'b"},       {"\xC3\x84%", "\xC3\xA4"},
      {"act", std::nullopt}, {"a_t%", std::nullopt}, {"a[b]%", std::nullopt},
      {"%act%", std::nullopt}, {"a%b%", std::nullopt}, {"", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LikePattern::Compile(c.pattern)->FoldedPrefix(), c.prefix) << c.pattern;
  }
}

}  // namespace
}  // namespace movarin::catalogue::query
