// LIKE patterns as the provider matches them through OLE DB: % any run of characters,
// _ exactly one, [abc] [a-z] one of a list, [!x] one not in it; letter case is ignored.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace movarin::catalogue::query {

class LikePattern {
 public:
  // nullopt when the pattern is invalid (a '[' without its ']').
  static std::optional<LikePattern> Compile(std::string_view pattern);

  bool Matches(std::string_view text) const;

  // For patterns of the form "literal%" (any number of trailing %, nothing else special):
  // the folded literal, which a sorted index of folded texts can look up. nullopt for
  // every other pattern.
  const std::optional<std::string>& FoldedPrefix() const { return folded_prefix_; }

 private:
  struct AnyRun {};
  struct AnyOne {};
  struct CharSet {
    bool negated = false;
    std::vector<std::pair<char32_t, char32_t>> ranges;  // folded, inclusive
  };
  using Token = std::variant<char32_t, AnyRun, AnyOne, CharSet>;

  static bool MatchOne(const Token& token, char32_t folded);

  std::vector<Token> tokens_;
  std::optional<std::string> folded_prefix_;
};

}  // namespace movarin::catalogue::query
