// Number and date texts shared by the CSV export and the record set's field texts.
#pragma once

#include <cstdint>
#include <string>

namespace movarin::catalogue {

// A currency amount (units of 1/10000) with four decimals, e.g. "-3.5000".
std::string CurrencyText(std::int64_t units);

// printf's %.*g, independent of the process locale's decimal point.
std::string GeneralNumberText(double value, int significant_digits);

// A Jet date (days since 1899-12-30, the fraction the time of day) as calendar fields.
struct DateTimeFields {
  std::int64_t year = 0;
  int month = 0;   // 1..12
  int day = 0;     // 1..31
  int hour = 0;    // 0..24: a time that rounds up to midnight stays on its day as 24:00:00
  int minute = 0;
  int second = 0;
};
DateTimeFields DateFields(double days);

}  // namespace movarin::catalogue
