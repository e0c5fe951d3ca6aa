#include "catalogue/query/collation.h"

#include <array>

#include "catalogue/query/text_fold.h"

namespace movarin::catalogue::query {
namespace {

// First-level weight classes, lowest first.
constexpr char32_t kSpaceClass = 0x0100000;
constexpr char32_t kSymbolClass = 0x0200000;
constexpr char32_t kDigitClass = 0x0300000;
constexpr char32_t kLetterClass = 0x0400000;
// Separates the levels inside one key; below every weight.
constexpr char32_t kLevelSeparator = 1;

// Latin-1 letters 0xC0..0xFF without their accents (folded); 0 for the two symbols.
constexpr std::array<char, 64> kLatin1Base = {
    'a', 'a', 'a', 'a', 'a', 'a', 'a', 'c', 'e', 'e', 'e', 'e', 'i', 'i', 'i', 'i',
    'd', 'n', 'o', 'o', 'o', 'o', 'o', 0,   'o', 'u', 'u', 'u', 'u', 'y', 't', 's',
    'a', 'a', 'a', 'a', 'a', 'a', 'a', 'c', 'e', 'e', 'e', 'e', 'i', 'i', 'i', 'i',
    'd', 'n', 'o', 'o', 'o', 'o', 'o', 0,   'o', 'u', 'u', 'u', 'u', 'y', 't', 'y'};

bool IgnoredAtFirstLevel(char32_t c) { return c == U'-' || c == U'\''; }

bool IsLetter(char32_t folded) {
  return (folded >= U'a' && folded <= U'z') || (folded >= 0xC0 && folded != 0xD7 && folded != 0xF7);
}

// The first-level weight of one folded character.
char32_t PrimaryWeight(char32_t folded) {
  if (folded == U' ' || folded == U'\t' || folded == 0xA0) return kSpaceClass;
  if (folded >= U'0' && folded <= U'9') return kDigitClass + (folded - U'0');
  if (folded >= 0xC0 && folded <= 0xFF && kLatin1Base[folded - 0xC0] != 0) {
    return kLetterClass + static_cast<char32_t>(kLatin1Base[folded - 0xC0]);
  }
  if (IsLetter(folded)) return kLetterClass + folded;
  return kSymbolClass + folded;
}

}  // namespace

std::u32string CollationKey(std::string_view utf8) {
  std::u32string primary;
  std::u32string secondary;  // every folded character, accents and hyphens included
  std::u32string tertiary;   // letter case: lower case first
  primary.reserve(utf8.size() + 1);
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const char32_t c = NextCodePoint(utf8, pos);
    const char32_t folded = FoldCase(c);
    if (!IgnoredAtFirstLevel(folded)) {
      primary.push_back(PrimaryWeight(folded));
      // German sharp s sorts as "ss".
      if (folded == 0xDF) primary.push_back(PrimaryWeight(U's'));
    }
    secondary.push_back(folded + 2);
    tertiary.push_back(folded == c ? 2 : 3);
  }
  std::u32string key = std::move(primary);
  key.push_back(kLevelSeparator);
  key += secondary;
  key.push_back(kLevelSeparator);
  key += tertiary;
  return key;
}

int CompareCollated(std::string_view a, std::string_view b) {
  const auto ka = CollationKey(a);
  const auto kb = CollationKey(b);
  return ka < kb ? -1 : (kb < ka ? 1 : 0);
}

}  // namespace movarin::catalogue::query
