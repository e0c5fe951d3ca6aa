#include "catalogue/jet/display_text.h"

#include <cstdio>

#include "catalogue/value_format.h"

namespace movarin::catalogue::jet {
namespace {

std::string CurrencyDisplay(std::int64_t units) {
  std::string text = CurrencyText(units);
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text;
}

std::string DateDisplay(double days) {
  const DateTimeFields f = DateFields(days);
  char buffer[96];
  std::string text;
  const bool has_date = !(days >= 0 && days < 1);
  const bool has_time = f.hour != 0 || f.minute != 0 || f.second != 0;
  if (has_date || !has_time) {
    std::snprintf(buffer, sizeof buffer, "%d/%d/%lld", f.month, f.day,
                  static_cast<long long>(f.year));
    text = buffer;
  }
  if (has_time) {
    const int hour12 = f.hour % 12 == 0 ? 12 : f.hour % 12;
    std::snprintf(buffer, sizeof buffer, "%s%d:%02d:%02d %s", text.empty() ? "" : " ", hour12,
                  f.minute, f.second, (f.hour % 24) < 12 ? "AM" : "PM");
    text += buffer;
  }
  return text;
}

}  // namespace

std::string GuidDisplayText(const std::uint8_t* b) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer,
                "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", b[3],
                b[2], b[1], b[0], b[5], b[4], b[7], b[6], b[8], b[9], b[10], b[11], b[12], b[13],
                b[14], b[15]);
  return buffer;
}

std::string DisplayText(const Value& value) {
  switch (value.kind) {
    case ValueKind::kNull: return {};
    case ValueKind::kBoolean: return value.integer != 0 ? "True" : "False";
    case ValueKind::kInteger: return std::to_string(value.integer);
    case ValueKind::kCurrency: return CurrencyDisplay(value.integer);
    case ValueKind::kFloat: return GeneralNumberText(value.real, 7);
    case ValueKind::kDouble: return GeneralNumberText(value.real, 15);
    case ValueKind::kDate: return DateDisplay(value.real);
    case ValueKind::kText:
    case ValueKind::kBinary:
    case ValueKind::kGuid:
    case ValueKind::kNumeric:
      return std::string(value.text);
  }
  return {};
}

}  // namespace movarin::catalogue::jet
