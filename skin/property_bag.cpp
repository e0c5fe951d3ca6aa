#include "skin/property_bag.h"

#include <charconv>
#include <cstdio>

#include "base/ascii.h"

namespace movarin::skin {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

template <typename T>
std::optional<T> ParseWhole(std::string_view s, int base) {
  T value{};
  const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value, base);
  if (error != std::errc() || end != s.data() + s.size() || s.empty()) return std::nullopt;
  return value;
}

}  // namespace

bool SameKey(std::string_view a, std::string_view b) { return base::EqualsIgnoringAsciiCase(a, b); }

std::optional<bool> ParseFlag(std::string_view text) {
  text = Trim(text);
  if (SameKey(text, "true") || text == "-1" || text == "1") return true;
  if (SameKey(text, "false") || text == "0") return false;
  return std::nullopt;
}

std::optional<std::int64_t> ParseInteger(std::string_view text) {
  text = Trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  return ParseWhole<std::int64_t>(text, 10);
}

std::optional<Colour> ParseColour(std::string_view text) {
  text = Trim(text);
  if (text.size() > 2 && text[0] == '0' && base::LowerAscii(text[1]) == 'x') {
    return ParseWhole<std::uint32_t>(text.substr(2), 16);
  }
  const auto value = ParseInteger(text);
  if (!value || *value < 0 || *value > 0xFFFFFFFFll) return std::nullopt;
  return static_cast<Colour>(*value);
}

std::optional<Font> ParseFont(std::string_view text) {
  Font font;
  font.bold = font.italic = false;
  int field = 0;
  while (true) {
    const std::size_t comma = text.find(',');
    const std::string_view part = Trim(text.substr(0, comma));
    if (field == 0) {
      if (part.empty()) return std::nullopt;
      font.name = std::string(part);
    } else if (field == 1) {
      // Points with up to two decimals: "9.75".
      const std::size_t dot = part.find('.');
      const auto whole = ParseWhole<int>(part.substr(0, dot), 10);
      if (!whole || *whole < 1 || *whole > 500) return std::nullopt;
      int hundredths = 0;
      if (dot != std::string_view::npos) {
        std::string digits(part.substr(dot + 1));
        if (digits.empty() || digits.size() > 2) return std::nullopt;
        if (digits.size() == 1) digits += '0';
        const auto fraction = ParseWhole<int>(digits, 10);
        if (!fraction) return std::nullopt;
        hundredths = *fraction;
      }
      font.hundredths_of_point = *whole * 100 + hundredths;
    } else if (SameKey(part, "bold")) {
      font.bold = true;
    } else if (SameKey(part, "italic")) {
      font.italic = true;
    } else if (!part.empty()) {
      return std::nullopt;
    }
    ++field;
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  if (field < 2) return std::nullopt;
  return font;
}

std::string FormatFlag(bool value) { return value ? "True" : "False"; }

std::string FormatColour(Colour value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
  return text;
}

std::string FormatFont(const Font& font) {
  const int whole = font.hundredths_of_point / 100, fraction = font.hundredths_of_point % 100;
  char size[24];
  if (fraction == 0)
    std::snprintf(size, sizeof size, "%d", whole);
  else if (fraction % 10 == 0)
    std::snprintf(size, sizeof size, "%d.%d", whole, fraction / 10);
  else
    std::snprintf(size, sizeof size, "%d.%02d", whole, fraction);
  std::string text = font.name;
  text += ", ";
  text += size;
  if (font.bold) text += ", bold";
  if (font.italic) text += ", italic";
  return text;
}

PropertyBag::PropertyBag(
    std::initializer_list<std::pair<std::string_view, std::string_view>> entries) {
  for (const auto& [key, value] : entries) Put(key, value);
}

std::optional<std::string_view> PropertyBag::Find(std::string_view key) const {
  for (const PropertyEntry& e : entries_)
    if (SameKey(e.key, key)) return std::string_view(e.value);
  return std::nullopt;
}

void PropertyBag::Put(std::string_view key, std::string_view value) {
  for (PropertyEntry& e : entries_) {
    if (SameKey(e.key, key)) {
      e.value = std::string(value);
      return;
    }
  }
  entries_.push_back({std::string(key), std::string(value)});
}

void PropertyBag::Remove(std::string_view key) {
  std::erase_if(entries_, [&](const PropertyEntry& e) { return SameKey(e.key, key); });
}

bool PropertyBag::ReadFlag(std::string_view key, bool fallback) const {
  const auto text = Find(key);
  return text ? ParseFlag(*text).value_or(fallback) : fallback;
}

std::int64_t PropertyBag::ReadInteger(std::string_view key, std::int64_t fallback) const {
  const auto text = Find(key);
  return text ? ParseInteger(*text).value_or(fallback) : fallback;
}

Colour PropertyBag::ReadColour(std::string_view key, Colour fallback) const {
  const auto text = Find(key);
  return text ? ParseColour(*text).value_or(fallback) : fallback;
}

std::string PropertyBag::ReadText(std::string_view key, std::string_view fallback) const {
  return std::string(Find(key).value_or(fallback));
}

Font PropertyBag::ReadFont(std::string_view key, const Font& fallback) const {
  const auto text = Find(key);
  return text ? ParseFont(*text).value_or(fallback) : fallback;
}

void PropertyBag::WriteFlag(std::string_view key, bool value, bool fallback) {
  value == fallback ? Remove(key) : Put(key, FormatFlag(value));
}

void PropertyBag::WriteInteger(std::string_view key, std::int64_t value, std::int64_t fallback) {
  value == fallback ? Remove(key) : Put(key, std::to_string(value));
}

void PropertyBag::WriteColour(std::string_view key, Colour value, Colour fallback) {
  value == fallback ? Remove(key) : Put(key, FormatColour(value));
}

void PropertyBag::WriteText(std::string_view key, std::string_view value, std::string_view fallback) {
  value == fallback ? Remove(key) : Put(key, value);
}

void PropertyBag::WriteFont(std::string_view key, const Font& value, const Font& fallback) {
  value == fallback ? Remove(key) : Put(key, FormatFont(value));
}

}  // namespace movarin::skin
