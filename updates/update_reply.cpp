#include "updates/update_reply.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace movarin::updates {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Digits, an optional fraction and an optional exponent, and nothing else.
bool IsPlainDecimal(std::string_view text) {
  std::size_t i = 0;
  std::size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const std::size_t exponent_start = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    if (i == exponent_start) return false;
  }
  return i == text.size();
}

}  // namespace

std::int16_t LocalVersionNumber(int major, int minor) {
  const long long sum = static_cast<long long>(major) + minor;
  constexpr long long kLow = std::numeric_limits<std::int16_t>::min();
  constexpr long long kHigh = std::numeric_limits<std::int16_t>::max();
  return static_cast<std::int16_t>(sum < kLow ? kLow : (sum > kHigh ? kHigh : sum));
}

std::optional<double> ReadDecimalNumber(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (!IsPlainDecimal(text)) return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return negative ? -value : value;
}

std::optional<double> ServerVersion(std::string_view reply) {
  if (reply.find(kUpdateMarker) == std::string_view::npos) return std::nullopt;
  const std::size_t start = reply.find(kVersionStart);
  if (start == std::string_view::npos) return std::nullopt;
  const std::string_view after = reply.substr(start + kVersionStart.size());
  const std::size_t end = after.find(kVersionEnd);
  if (end == std::string_view::npos) return std::nullopt;
  return ReadDecimalNumber(after.substr(0, end));
}

UpdateCheckStep DecideUpdateCheck(const std::optional<std::string>& reply, std::int16_t local_version) {
  namespace texts = update_check_texts;
  if (!reply) return {UpdateCheckOutcome::kGoOn, texts::kNoNewUpdates};
  const std::optional<double> server = ServerVersion(*reply);
  if (!server) return {UpdateCheckOutcome::kWait, std::nullopt};
  if (*server > static_cast<double>(local_version)) {
    return {UpdateCheckOutcome::kOfferUpdate, texts::kNewUpdates};
  }
  return {UpdateCheckOutcome::kGoOn, texts::kNoNewUpdates};
}

}  // namespace movarin::updates
