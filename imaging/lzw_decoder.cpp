#include "imaging/lzw_decoder.h"

#include <algorithm>
#include <array>

namespace movarin::imaging {
namespace {

constexpr unsigned kMaxCodeBits = 12;
constexpr unsigned kTableSize = 1u << kMaxCodeBits;

}  // namespace

base::Result<std::vector<std::uint8_t>, ImageError> DecodeGifLzw(std::span<const std::uint8_t> data,
                                                                  unsigned min_code_size,
                                                                  std::size_t max_pixels) {
  std::vector<std::uint8_t> out;
  if (min_code_size < 1 || min_code_size > 8) return ImageError::kBadLzwCode;
  out.reserve(std::min<std::size_t>(max_pixels, data.size() * 8 + 64));
  const unsigned clear = 1u << min_code_size;
  const unsigned end = clear + 1;

  std::array<std::uint16_t, kTableSize> prefix{};
  std::array<std::uint8_t, kTableSize> suffix{};
  std::array<std::uint8_t, kTableSize> first{};  // first byte of each entry's string
  std::array<std::uint8_t, kTableSize> stack{};
  for (unsigned i = 0; i < clear; ++i) {
    suffix[i] = static_cast<std::uint8_t>(i);
    first[i] = static_cast<std::uint8_t>(i);
  }

  unsigned code_size = min_code_size + 1;
  unsigned next = clear + 2;
  int prev = -1;
  std::uint32_t bitbuf = 0;
  unsigned bitcount = 0;
  std::size_t pos = 0;

  while (out.size() < max_pixels) {
    while (bitcount < code_size && pos < data.size()) {
      bitbuf |= std::uint32_t(data[pos++]) << bitcount;
      bitcount += 8;
    }
    if (bitcount < code_size) break;  // data ended early
    const unsigned code = bitbuf & ((1u << code_size) - 1);
    bitbuf >>= code_size;
    bitcount -= code_size;

    if (code == clear) {
      code_size = min_code_size + 1;
      next = clear + 2;
      prev = -1;
      continue;
    }
    if (code == end) break;
    if (prev < 0) {
      if (code >= clear) return ImageError::kBadLzwCode;
      out.push_back(static_cast<std::uint8_t>(code));
      prev = static_cast<int>(code);
      continue;
    }
    if (code > next || (code == next && next >= kTableSize)) return ImageError::kBadLzwCode;

    // The string of `code`, or for the code about to be defined, prev's string plus its
    // own first byte.
    unsigned sp = 0;
    unsigned c = code;
    std::uint8_t head;
    if (code == next) {
      stack[sp++] = first[prev];
      c = static_cast<unsigned>(prev);
    }
    while (c >= clear) {
      stack[sp++] = suffix[c];
      c = prefix[c];
    }
    stack[sp++] = static_cast<std::uint8_t>(c);
    head = static_cast<std::uint8_t>(c);
    while (sp > 0 && out.size() < max_pixels) out.push_back(stack[--sp]);

    if (next < kTableSize) {
      prefix[next] = static_cast<std::uint16_t>(prev);
      suffix[next] = head;
      first[next] = first[prev];
      ++next;
      if (next == (1u << code_size) && code_size < kMaxCodeBits) ++code_size;
    }
    prev = static_cast<int>(code);
  }
  return out;
}

}  // namespace movarin::imaging
