#pragma once
// A control's stored design: keyed text values in the order they were written. Keys are
// matched without regard to case; every read names a default for an absent (or
// unreadable) key, and every write stores a value only when it differs from its default.
//
// Value texts: flags "True"/"False", numbers in decimal, colours as 0x00BBGGRR
// (decimal is read too), fonts as "Tahoma, 12, bold" (name, points, then "bold" and
// "italic" in any order), texts as they are.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "skin/canvas.h"
#include "skin/colour.h"

namespace movarin::skin {

struct PropertyEntry {
  std::string key;
  std::string value;
};

class PropertyBag {
 public:
  PropertyBag() = default;
  PropertyBag(std::initializer_list<std::pair<std::string_view, std::string_view>> entries);

  std::optional<std::string_view> Find(std::string_view key) const;
  // Stores the text under the key (replacing a value stored under any spelling of it).
  void Put(std::string_view key, std::string_view value);
  void Remove(std::string_view key);
  const std::vector<PropertyEntry>& Entries() const { return entries_; }

  bool ReadFlag(std::string_view key, bool fallback) const;
  std::int64_t ReadInteger(std::string_view key, std::int64_t fallback) const;
  Colour ReadColour(std::string_view key, Colour fallback) const;
  std::string ReadText(std::string_view key, std::string_view fallback) const;
  Font ReadFont(std::string_view key, const Font& fallback) const;

  // A value equal to its default is not stored (and one stored before is removed).
  void WriteFlag(std::string_view key, bool value, bool fallback);
  void WriteInteger(std::string_view key, std::int64_t value, std::int64_t fallback);
  void WriteColour(std::string_view key, Colour value, Colour fallback);
  void WriteText(std::string_view key, std::string_view value, std::string_view fallback);
  void WriteFont(std::string_view key, const Font& value, const Font& fallback);

 private:
  std::vector<PropertyEntry> entries_;
};

bool SameKey(std::string_view a, std::string_view b);

// The value texts, for setters that take a property by name.
std::optional<bool> ParseFlag(std::string_view text);
std::optional<std::int64_t> ParseInteger(std::string_view text);
std::optional<Colour> ParseColour(std::string_view text);
std::optional<Font> ParseFont(std::string_view text);
std::string FormatFlag(bool value);
std::string FormatColour(Colour value);
std::string FormatFont(const Font& font);

}  // namespace movarin::skin
