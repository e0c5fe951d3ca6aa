#include "catalogue/query/like_pattern.h"

#include "base/utf.h"
#include "catalogue/query/text_fold.h"

namespace movarin::catalogue::query {

std::optional<LikePattern> LikePattern::Compile(std::string_view pattern) {
  LikePattern compiled;
  std::size_t pos = 0;
  while (pos < pattern.size()) {
    const char32_t c = NextCodePoint(pattern, pos);
    if (c == U'%') {
      // Consecutive runs match the same as one.
      if (compiled.tokens_.empty() || !std::holds_alternative<AnyRun>(compiled.tokens_.back())) {
        compiled.tokens_.emplace_back(AnyRun{});
      }
    } else if (c == U'_') {
      compiled.tokens_.emplace_back(AnyOne{});
    } else if (c == U'[') {
      CharSet set;
      std::vector<char32_t> members;
      bool closed = false;
      bool first = true;
      while (pos < pattern.size()) {
        char32_t m = NextCodePoint(pattern, pos);
        if (m == U']') {
          closed = true;
          break;
        }
        if (first && m == U'!') {
          set.negated = true;
          first = false;
          continue;
        }
        first = false;
        members.push_back(m);
      }
      if (!closed) return std::nullopt;
      // "a-z" is a range; a hyphen first or last in the list is itself a member.
      for (std::size_t i = 0; i < members.size(); ++i) {
        if (i + 2 < members.size() && members[i + 1] == U'-') {
          set.ranges.emplace_back(FoldCase(members[i]), FoldCase(members[i + 2]));
          i += 2;
        } else {
          set.ranges.emplace_back(FoldCase(members[i]), FoldCase(members[i]));
        }
      }
      // "[]" matches no character at all: it adds nothing to the pattern.
      if (set.ranges.empty() && !set.negated) continue;
      compiled.tokens_.emplace_back(std::move(set));
    } else {
      compiled.tokens_.emplace_back(FoldCase(c));
    }
  }

  // literal... followed only by one trailing run: searchable through an index.
  std::string prefix;
  bool indexable = !compiled.tokens_.empty() && std::holds_alternative<AnyRun>(compiled.tokens_.back());
  for (std::size_t i = 0; indexable && i + 1 < compiled.tokens_.size(); ++i) {
    if (const auto* literal = std::get_if<char32_t>(&compiled.tokens_[i])) {
      base::AppendUtf8(*literal, prefix);
    } else {
      indexable = false;
    }
  }
  if (indexable) compiled.folded_prefix_ = std::move(prefix);
  return compiled;
}

bool LikePattern::MatchOne(const Token& token, char32_t folded) {
  if (const auto* literal = std::get_if<char32_t>(&token)) return *literal == folded;
  if (std::holds_alternative<AnyOne>(token)) return true;
  const auto& set = std::get<CharSet>(token);
  bool inside = false;
  for (const auto& [low, high] : set.ranges) {
    if (folded >= low && folded <= high) {
      inside = true;
      break;
    }
  }
  return inside != set.negated;
}

bool LikePattern::Matches(std::string_view text) const {
  // Every token but a run consumes exactly one character, so the classic greedy match
  // with one backtrack point (the last run seen) is exact and linear per attempt.
  std::size_t t = 0;                      // token index
  std::size_t pos = 0;                    // byte position in text
  std::size_t star_token = std::string::npos;
  std::size_t star_pos = 0;
  while (pos < text.size() || t < tokens_.size()) {
    if (t < tokens_.size()) {
      if (std::holds_alternative<AnyRun>(tokens_[t])) {
        star_token = t++;
        star_pos = pos;
        continue;
      }
      if (pos < text.size()) {
        std::size_t next = pos;
        const char32_t c = FoldCase(NextCodePoint(text, next));
        if (MatchOne(tokens_[t], c)) {
          ++t;
          pos = next;
          continue;
        }
      }
    }
    // Mismatch: let the last run swallow one more character and try again.
    if (star_token == std::string::npos || star_pos >= text.size()) return false;
    NextCodePoint(text, star_pos);
    t = star_token + 1;
    pos = star_pos;
  }
  return true;
}

}  // namespace movarin::catalogue::query
