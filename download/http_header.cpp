#include "download/http_header.h"

#include <cmath>
#include <cstdlib>

#include "base/ascii.h"
#include "download/progress.h"

namespace movarin::download {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::string StatusField(std::string_view block) {
  constexpr std::size_t kStatusOffset = 9;  // character 10, counting from 1
  constexpr std::size_t kStatusLength = 3;
  if (block.size() <= kStatusOffset) return {};
  return std::string(block.substr(kStatusOffset, kStatusLength));
}

std::string FirstLineThroughCr(std::string_view block) {
  const std::size_t cr = block.find('\r');
  if (cr == std::string_view::npos) return {};
  return std::string(block.substr(0, cr + 1));
}

std::string HeaderValue(std::string_view block, std::string_view name) {
  bool status_line = true;
  while (!block.empty()) {
    const std::size_t lf = block.find('\n');
    std::string_view line = block.substr(0, lf);
    block = lf == std::string_view::npos ? std::string_view() : block.substr(lf + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (status_line) {
      status_line = false;
      continue;
    }
    if (line.empty()) break;  // the blank line ends the headers
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    if (base::EqualsIgnoringAsciiCase(TrimBlanks(line.substr(0, colon)), name)) {
      return std::string(TrimBlanks(line.substr(colon + 1)));
    }
  }
  return {};
}

ContentLength ParseContentLength(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (IsBlank(text[i]) || text[i] == '\r' || text[i] == '\n')) ++i;
  const std::size_t number_start = i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // Whole part, exactly, with an overflow check.
  std::uint64_t whole = 0;
  bool whole_overflow = false;
  std::size_t digits = 0;
  constexpr std::uint64_t kMax = static_cast<std::uint64_t>(INT64_MAX);
  for (; i < text.size() && IsDigit(text[i]); ++i, ++digits) {
    const auto d = static_cast<std::uint64_t>(text[i] - '0');
    if (whole > (kMax - d) / 10) whole_overflow = true;
    if (!whole_overflow) whole = whole * 10 + d;
  }
  std::string_view fraction;
  if (i < text.size() && text[i] == '.') {
    const std::size_t start = ++i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    fraction = text.substr(start, i - start);
  }
  if (digits == 0 && fraction.empty()) return {};
  // An exponent counts only when at least one digit follows it.
  std::size_t exponent_end = i;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && IsDigit(text[j])) {
      while (j < text.size() && IsDigit(text[j])) ++j;
      exponent_end = j;
    }
  }

  ContentLength result;
  if (exponent_end != i) {
    // Rare enough to go through floating point; strtod wants "E" and no "D".
    std::string number(text.substr(number_start, exponent_end - number_start));
    for (char& c : number) {
      if (c == 'd' || c == 'D') c = 'E';
    }
    const double value = std::strtod(number.c_str(), nullptr);
    constexpr double kLimit = 9223372036854775808.0;  // 2^63
    const double rounded_magnitude = std::fabs(value);
    if (!(rounded_magnitude < kLimit)) {
      result.kind = negative ? ContentLength::Kind::kNegative : ContentLength::Kind::kOverflow;
      return result;
    }
    const std::int64_t rounded = RoundHalfEven(value);
    if (rounded < 0) {
      result.kind = ContentLength::Kind::kNegative;
      return result;
    }
    result.kind = ContentLength::Kind::kValue;
    result.value = rounded;
    return result;
  }

  if (whole_overflow) {
    result.kind = negative ? ContentLength::Kind::kNegative : ContentLength::Kind::kOverflow;
    return result;
  }
  // Round the fraction half to even from its digits, so no precision is lost.
  bool round_up = false;
  if (!fraction.empty()) {
    const char first = fraction.front();
    bool rest_nonzero = false;
    for (std::size_t k = 1; k < fraction.size(); ++k) {
      if (fraction[k] != '0') rest_nonzero = true;
    }
    if (first > '5' || (first == '5' && rest_nonzero)) {
      round_up = true;
    } else if (first == '5') {
      round_up = (whole % 2) == 1;
    }
  }
  if (round_up) {
    if (whole == kMax) {
      result.kind = negative ? ContentLength::Kind::kNegative : ContentLength::Kind::kOverflow;
      return result;
    }
    ++whole;
  }
  if (negative && whole != 0) {
    result.kind = ContentLength::Kind::kNegative;
    return result;
  }
  result.kind = ContentLength::Kind::kValue;
  result.value = static_cast<std::int64_t>(whole);
  return result;
}

std::optional<std::int64_t> ContentRangeSpan(std::string_view text) {
  text = TrimBlanks(text);
  constexpr std::string_view kUnit = "bytes";
  if (text.size() <= kUnit.size() || !base::EqualsIgnoringAsciiCase(text.substr(0, kUnit.size()), kUnit) ||
      !IsBlank(text[kUnit.size()])) {
    return std::nullopt;
  }
  text = TrimBlanks(text.substr(kUnit.size()));
  // The digits at the start of the text, taken off it; nullopt without any or on overflow.
  auto number = [&text]() -> std::optional<std::int64_t> {
    std::size_t digits = 0;
    std::int64_t value = 0;
    while (digits < text.size() && IsDigit(text[digits])) {
      const int d = text[digits] - '0';
      if (value > (INT64_MAX - d) / 10) return std::nullopt;
      value = value * 10 + d;
      ++digits;
    }
    text.remove_prefix(digits);
    if (digits == 0) return std::nullopt;
    return value;
  };
  const auto first = number();
  if (!first || text.empty() || text.front() != '-') return std::nullopt;
  text.remove_prefix(1);
  const auto last = number();
  if (!last || text.empty() || text.front() != '/') return std::nullopt;
  text.remove_prefix(1);
  if (text != "*") {
    const auto total = number();
    if (!total || !text.empty() || *last >= *total) return std::nullopt;
  }
  if (*last < *first) return std::nullopt;
  return *last - *first + 1;
}

}  // namespace movarin::download
