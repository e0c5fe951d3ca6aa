#include "catalogue/value_format.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace movarin::catalogue {

std::string CurrencyText(std::int64_t units) {
  // Work on the unsigned magnitude so the most negative amount has no overflow.
  const bool negative = units < 0;
  const std::uint64_t magnitude =
      negative ? ~static_cast<std::uint64_t>(units) + 1 : static_cast<std::uint64_t>(units);
  std::string fraction = std::to_string(magnitude % 10000);
  fraction.insert(0, 4 - fraction.size(), '0');
  std::string text;
  if (negative) text.push_back('-');
  text += std::to_string(magnitude / 10000);
  text.push_back('.');
  text += fraction;
  return text;
}

std::string GeneralNumberText(double value, int significant_digits) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*g", significant_digits, value);
  std::string text(buffer);
  // A locale with a decimal comma would change the file format; always use '.'.
  for (auto& c : text) {
    if (c == ',') c = '.';
  }
  return text;
}

namespace {
// Far beyond Jet's year 9999; keeps every conversion below in range.
constexpr double kMaxDateDays = 1e8;
}  // namespace

DateTimeFields DateFields(double days) {
  DateTimeFields fields;
  if (!std::isfinite(days) || std::fabs(days) > kMaxDateDays) return fields;
  const double whole = std::floor(days);
  auto seconds = static_cast<std::int64_t>(std::floor((days - whole) * 86400.0 + 0.5));
  // Days since 1899-12-30 to a civil date (proleptic Gregorian).
  std::int64_t z = static_cast<std::int64_t>(whole) - 25569 + 719468;  // days since 0000-03-01
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  fields.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  fields.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  fields.year = yoe + era * 400 + (fields.month <= 2 ? 1 : 0);
  fields.hour = static_cast<int>(seconds / 3600);
  fields.minute = static_cast<int>(seconds / 60 % 60);
  fields.second = static_cast<int>(seconds % 60);
  return fields;
}

}  // namespace movarin::catalogue
