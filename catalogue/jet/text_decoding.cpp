#include "catalogue/jet/text_decoding.h"

#include <array>

#include "base/utf.h"

namespace movarin::catalogue::jet {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Code page 1252 bytes 0x80..0x9F; the rest of the page equals Latin-1.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

// Collects UTF-16 code units and writes them as UTF-8, pairing surrogates.
class Utf16Sink {
 public:
  explicit Utf16Sink(std::string& out) : out_(out) {}
  ~Utf16Sink() { Flush(); }
  void Put(char16_t unit) {
    if (pending_high_ != 0) {
      if (unit >= 0xDC00 && unit <= 0xDFFF) {
        const char32_t cp = 0x10000 + ((static_cast<char32_t>(pending_high_) - 0xD800) << 10) +
                            (static_cast<char32_t>(unit) - 0xDC00);
        pending_high_ = 0;
        base::AppendUtf8(cp, out_);
        return;
      }
      Flush();
    }
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      pending_high_ = unit;
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
      base::AppendUtf8(kReplacement, out_);
    } else {
      base::AppendUtf8(unit, out_);
    }
  }
  void Flush() {
    if (pending_high_ != 0) base::AppendUtf8(kReplacement, out_);
    pending_high_ = 0;
  }

 private:
  std::string& out_;
  char16_t pending_high_ = 0;
};

}  // namespace

void AppendUtf16LeAsUtf8(std::span<const std::uint8_t> bytes, std::string& out) {
  // Catalogue names are mostly ASCII: the leading run of ASCII units is measured, then
  // copied in one go.
  std::size_t i = 0;
  const std::size_t pairs_end = bytes.size() & ~std::size_t{1};
  while (i < pairs_end && bytes[i + 1] == 0 && bytes[i] < 0x80) i += 2;
  const std::size_t ascii_end = i;
  const std::size_t start = out.size();
  out.resize(start + ascii_end / 2);
  char* to = out.data() + start;
  for (std::size_t k = 0; k < ascii_end; k += 2) *to++ = static_cast<char>(bytes[k]);
  if (i == pairs_end) return;
  Utf16Sink sink(out);
  for (; i < pairs_end; i += 2) {
    sink.Put(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
  }
}

void AppendJet4Text(std::span<const std::uint8_t> bytes, std::string& out) {
  if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
    Utf16Sink sink(out);
    bool one_byte = true;
    std::size_t i = 2;
    while (i < bytes.size()) {
      if (bytes[i] == 0x00) {
        one_byte = !one_byte;
        ++i;
      } else if (one_byte) {
        if (bytes[i] < 0x80) {
          out.push_back(static_cast<char>(bytes[i]));
        } else {
          sink.Put(bytes[i]);
        }
        ++i;
      } else {
        if (i + 1 >= bytes.size()) break;
        sink.Put(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
        i += 2;
      }
    }
    return;
  }
  AppendUtf16LeAsUtf8(bytes, out);
}

std::string DecodeJet4Text(std::span<const std::uint8_t> bytes) {
  std::string out;
  out.reserve(bytes.size());
  AppendJet4Text(bytes, out);
  return out;
}

void AppendCodePage1252(std::span<const std::uint8_t> bytes, std::string& out) {
  for (const auto byte : bytes) {
    if (byte >= 0x80 && byte <= 0x9F) {
      base::AppendUtf8(kCp1252High[byte - 0x80], out);
    } else {
      base::AppendUtf8(byte, out);
    }
  }
}

std::string DecodeCodePage1252(std::span<const std::uint8_t> bytes) {
  std::string out;
  out.reserve(bytes.size());
  AppendCodePage1252(bytes, out);
  return out;
}

}  // namespace movarin::catalogue::jet
