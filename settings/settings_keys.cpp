#include "settings/settings_keys.h"

#include "base/ascii.h"

namespace movarin::settings {

const KeyInfo& Info(Key key) { return kKeys[static_cast<std::size_t>(key)]; }

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// A decimal number as the Boolean conversion accepts it: optional sign, digits,
// optional fraction. Only whether it is zero matters, so no value is computed and
// no length can overflow.
std::optional<bool> ParseNumberAsSwitch(std::string_view s) {
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) s.remove_prefix(1);
  bool digits = false, nonzero = false, seen_point = false;
  for (char c : s) {
    if (c == '.' && !seen_point) {
      seen_point = true;
    } else if (c >= '0' && c <= '9') {
      digits = true;
      nonzero = nonzero || c != '0';
    } else {
      return std::nullopt;
    }
  }
  if (!digits) return std::nullopt;
  return nonzero;
}

}  // namespace

std::optional<bool> ParseSwitch(std::string_view text) {
  const std::string_view t = Trim(text);
  if (base::EqualsIgnoringAsciiCase(t, "True")) return true;
  if (base::EqualsIgnoringAsciiCase(t, "False")) return false;
  return ParseNumberAsSwitch(t);
}

std::string_view SwitchText(bool value) { return value ? "True" : "False"; }

}  // namespace movarin::settings
