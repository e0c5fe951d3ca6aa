#include "catalogue/query/collation.h"

#include <array>
#include <cstdint>

#include "catalogue/query/text_fold.h"

namespace movarin::catalogue::query {
namespace {

// First-level weight classes, lowest first; each spans every code point, and all stay
// below 2^24 so that a weight fits three bytes.
constexpr char32_t kSpaceClass = 0x0100000;
constexpr char32_t kSymbolClass = 0x0200000;
constexpr char32_t kDigitClass = 0x0400000;
constexpr char32_t kLetterClass = 0x0500000;
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

namespace {

// The levels after the first, as code points: every folded character (accents, hyphens and
// apostrophes included), then letter case with lower case first.
std::u32string LaterLevels(std::string_view utf8) {
  std::u32string secondary;
  std::u32string tertiary;
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const char32_t c = NextCodePoint(utf8, pos);
    const char32_t folded = FoldCase(c);
    secondary.push_back(folded + 2);
    tertiary.push_back(folded == c ? 2 : 3);
  }
  secondary.push_back(kLevelSeparator);
  return secondary + tertiary;
}

}  // namespace

// First-level keys are built from the weights above in a compact form that keeps their
// order under memcmp: one byte for the weights of ASCII characters, and an escape byte plus
// three bytes of code point for the rest. The escape bytes sit where their weights do:
// non-ASCII symbols after the ASCII ones and before the digits, non-ASCII letters after
// 'z'. (Accented Latin-1 letters already weigh as their ASCII base letter.)
namespace {

constexpr std::uint8_t kSpaceCode = 0x01;
constexpr std::uint8_t kFirstSymbolCode = 0x02;  // ASCII symbols and controls, by code point
constexpr std::uint8_t kOtherSymbolEscape = 0x50;
constexpr std::uint8_t kFirstDigitCode = 0x51;
constexpr std::uint8_t kFirstLetterCode = 0x5B;
constexpr std::uint8_t kOtherLetterEscape = 0x75;

// The one-byte codes of ASCII symbols, dense and in code point order.
struct SymbolCodes {
  std::array<std::uint8_t, 128> code{};
  constexpr SymbolCodes() {
    std::uint8_t next = kFirstSymbolCode;
    for (char32_t c = 0; c < 128; ++c) {
      const bool digit = c >= U'0' && c <= U'9';
      const bool letter = (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
      if (c == U' ' || digit || letter) continue;
      code[c] = next++;
    }
  }
};
constexpr SymbolCodes kSymbolCodes;
static_assert(kFirstSymbolCode + 128 - 1 - 10 - 52 <= kOtherSymbolEscape);

// Keys are written through push_back, to a whole std::string or to a KeyHead.
template <typename Key>
void AppendEscaped(std::uint8_t escape, char32_t c, Key& key) {
  key.push_back(static_cast<char>(escape));
  key.push_back(static_cast<char>((c >> 16) & 0xFF));
  key.push_back(static_cast<char>((c >> 8) & 0xFF));
  key.push_back(static_cast<char>(c & 0xFF));
}

template <typename Key>
void AppendCode(char32_t weight, Key& key) {
  if (weight == kSpaceClass) {
    key.push_back(static_cast<char>(kSpaceCode));
  } else if (weight >= kLetterClass) {
    const char32_t c = weight - kLetterClass;
    if (c >= U'a' && c <= U'z') {
      key.push_back(static_cast<char>(kFirstLetterCode + (c - U'a')));
    } else {
      AppendEscaped(kOtherLetterEscape, c, key);
    }
  } else if (weight >= kDigitClass) {
    key.push_back(static_cast<char>(kFirstDigitCode + (weight - kDigitClass)));
  } else {
    const char32_t c = weight - kSymbolClass;
    if (c < 128) {
      key.push_back(static_cast<char>(kSymbolCodes.code[c]));
    } else {
      AppendEscaped(kOtherSymbolEscape, c, key);
    }
  }
}

// The code of every ASCII character, 0 for the two ignored at the first level.
struct AsciiCodes {
  std::array<std::uint8_t, 128> code{};
  AsciiCodes() {
    for (char32_t c = 0; c < 128; ++c) {
      const char32_t folded = FoldCase(c);
      if (IgnoredAtFirstLevel(folded)) continue;
      std::string one;
      AppendCode(PrimaryWeight(folded), one);
      code[c] = static_cast<std::uint8_t>(one[0]);
    }
  }
};

// The first eight bytes of a key, big-endian, zeros after a shorter key.
class KeyHead {
 public:
  void push_back(char byte) {
    if (size_ == 8) return;
    head_ |= static_cast<std::uint64_t>(static_cast<unsigned char>(byte)) << (56 - 8 * size_);
    ++size_;
  }
  bool full() const { return size_ == 8; }
  std::uint64_t head() const { return head_; }

 private:
  std::uint64_t head_ = 0;
  int size_ = 0;
};

bool Full(const std::string&) { return false; }
bool Full(const KeyHead& head) { return head.full(); }

template <typename Key>
void BuildPrimaryKey(std::string_view utf8, Key& key) {
  static const AsciiCodes ascii;
  std::size_t pos = 0;
  while (pos < utf8.size() && !Full(key)) {
    const auto byte = static_cast<unsigned char>(utf8[pos]);
    if (byte < 0x80) {
      if (ascii.code[byte] != 0) key.push_back(static_cast<char>(ascii.code[byte]));
      ++pos;
      continue;
    }
    const char32_t folded = FoldCase(NextCodePoint(utf8, pos));
    if (IgnoredAtFirstLevel(folded)) continue;
    AppendCode(PrimaryWeight(folded), key);
    // German sharp s sorts as "ss".
    if (folded == 0xDF) AppendCode(PrimaryWeight(U's'), key);
  }
}

}  // namespace

void AppendPrimaryKey(std::string_view utf8, std::string& key) { BuildPrimaryKey(utf8, key); }

std::uint64_t PrimaryKeyHead(std::string_view utf8) {
  KeyHead head;
  BuildPrimaryKey(utf8, head);
  return head.head();
}

int CompareCollated(std::string_view a, std::string_view b) {
  std::string ka;
  std::string kb;
  AppendPrimaryKey(a, ka);
  AppendPrimaryKey(b, kb);
  if (const int primary = ka.compare(kb); primary != 0) return primary < 0 ? -1 : 1;
  const auto la = LaterLevels(a);
  const auto lb = LaterLevels(b);
  return la < lb ? -1 : (lb < la ? 1 : 0);
}

}  // namespace movarin::catalogue::query
