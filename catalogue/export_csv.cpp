#include "catalogue/export_csv.h"

#include <cstdio>

#include "catalogue/value_format.h"

namespace movarin::catalogue {
namespace {

using jet::ValueKind;

// mdb-export leaves dates outside [0, 1e6] days (and NaN) as an all-zero calendar entry.
constexpr double kLastExportedDate = 1e6;

std::string DateText(double days) {
  DateTimeFields f;
  const bool in_range = days >= 0 && days <= kLastExportedDate;
  if (in_range) f = DateFields(days);
  // Out of range prints as month 1, day 0, year 1900: "01/00/00 00:00:00".
  const int month = in_range ? f.month : 1;
  const int day = in_range ? f.day : 0;
  const int year = in_range ? static_cast<int>(f.year % 100) : 0;
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%02d/%02d/%02d %02d:%02d:%02d", month, day, year,
                f.hour, f.minute, f.second);
  return buffer;
}

// The GUID without the dash between its last two groups, the form mdb-export prints.
std::string GuidText(std::string_view display) {
  std::string text(display);
  if (text.size() == 38 && text[24] == '-') text.erase(24, 1);
  return text;
}

void AppendQuoted(std::string_view text, std::string& out) {
  out.push_back('"');
  for (const char c : text) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
}

}  // namespace

bool ExportQuoted(const jet::Value& value) {
  switch (value.kind) {
    case ValueKind::kText:
    case ValueKind::kBinary:
    case ValueKind::kGuid:
    case ValueKind::kDate:
      return true;
    default:
      return false;
  }
}

std::string ExportText(const jet::Value& value) {
  switch (value.kind) {
    case ValueKind::kNull: return {};
    case ValueKind::kBoolean: return value.integer != 0 ? "1" : "0";
    case ValueKind::kInteger: return std::to_string(value.integer);
    case ValueKind::kCurrency: return CurrencyText(value.integer);
    case ValueKind::kFloat: return GeneralNumberText(value.real, 8);
    case ValueKind::kDouble: return GeneralNumberText(value.real, 16);
    case ValueKind::kDate: return DateText(value.real);
    case ValueKind::kGuid: return GuidText(value.text);
    case ValueKind::kText:
    case ValueKind::kBinary:
      // mdb-export ends a text, and a binary value, at its first zero byte.
      return std::string(value.text.substr(0, value.text.find('\0')));
    case ValueKind::kNumeric:
      return std::string(value.text);
  }
  return {};
}

std::string ExportCsv(const jet::Table& table) {
  std::string out;
  for (std::size_t c = 0; c < table.columns.size(); ++c) {
    if (c > 0) out.push_back(',');
    out += table.columns[c].name;
  }
  out.push_back('\n');
  for (std::size_t row = 0; row < table.row_count; ++row) {
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
      if (c > 0) out.push_back(',');
      const jet::Value& value = table.Cell(row, c);
      if (value.IsNull()) continue;
      if (value.kind == ValueKind::kBinary && table.columns[c].type == jet::ColumnType::kOle) {
        // OLE objects are printed whole, zero bytes included.
        AppendQuoted(value.text, out);
      } else if (ExportQuoted(value)) {
        // mdb-export prints an empty value as nothing at all, like a NULL.
        const std::string text = ExportText(value);
        if (!text.empty()) AppendQuoted(text, out);
      } else {
        out += ExportText(value);
      }
    }
    out.push_back('\n');
  }
  return out;
}

}  // namespace movarin::catalogue
